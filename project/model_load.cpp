// model_load.cpp: checked model files into raylib Models: OBJ meshes built here, the other kinds
// through raylib with every file read guarded, and the release of what a model holds.
#include "project/model_load.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>

#include "raymath.h"
#include "rlgl.h"
#include "platform/platform.h"
#include "project/image_check.h"

constexpr int kMaterialMapCount = MATERIAL_MAP_BRDF + 1;   // the maps a raylib material names

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
// The checked bytes that raylib's loader is given when it reads the model's own file.
static struct {
    const char *path;
    const unsigned char *data;
    int size;
} sGuard;

static char sReason[96];   // why the last refused load gave nothing, copied: the checks reuse theirs

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static int ObjBuildModel(ObjMesh *mesh, const char *folder, Model *model);
static int LoadObjModel(const char *path, const unsigned char *data, int size, Model *model);
static int LoadLibraryModel(const char *path, const unsigned char *data, int size, int kind, Model *model);
static unsigned char *GuardedReadFile(const char *fileName, int *dataSize);
#if defined(_WIN32)
static unsigned char *RoutedReadFile(const char *fileName, int *dataSize);
static char *RoutedReadText(const char *fileName);
#endif
static int JoinFolder(char *out, const char *folder, const char *file);
static void ReadMaterialLib(const char *folder, const char *file, ObjMaterialLib *lib);
static Material ObjMaterialFor(const ObjMaterialLib *lib, const char *name, const char *folder);
static int ModelHasVertices(const Model *model);
static int Refuse(const char *reason);
static void ModelDefaultMissingTextures(Model *model);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int ModelLoadChecked(const char *path, Model *model)
{
    *model = Model{};
    int kind = ModelKindOfPath(path);
    unsigned char *data = nullptr;
    int size = 0;
    if (kind < 0) return Refuse("unknown model format");
    if (!ModelFileRead(path, kModelFileMaxBytes, &data, &size)) return Refuse(ModelCheckReason());
    // Neither loader changes folder, but a model must never move the editor, whatever it holds.
    PlatformWorkFolder keep;
    int held = PlatformKeepWorkFolder(&keep);
    int ok = kind == MODEL_OBJ ? LoadObjModel(path, data, size, model)
                               : LoadLibraryModel(path, data, size, kind, model);
    if (held) PlatformRestoreWorkFolder(&keep);
    MemFree(data);
    if (!ok) *model = Model{};
    else ModelDefaultMissingTextures(model);
    return ok;
}

const char *ModelLoadReason(void)
{
    return sReason;
}

void ModelRelease(Model model)
{
    // Each texture a material holds was loaded for this model alone; the default texture is rlgl's.
    unsigned int defaultId = rlGetTextureIdDefault();
    for (int i = 0; model.materials && i < model.materialCount; i++) {
        for (int m = 0; model.materials[i].maps && m < kMaterialMapCount; m++) {
            unsigned int id = model.materials[i].maps[m].texture.id;
            if (id == 0 || id == defaultId) continue;
            UnloadTexture(model.materials[i].maps[m].texture);
            // Another map with the same id must not release it again.
            for (int j = i; j < model.materialCount; j++) {
                for (int n = 0; model.materials[j].maps && n < kMaterialMapCount; n++) {
                    if (model.materials[j].maps[n].texture.id == id) model.materials[j].maps[n].texture.id = 0;
                }
            }
        }
    }
    MemFree(model.currentPose);    // the animation state UnloadModel does not free
    MemFree(model.boneMatrices);
    UnloadModel(model);
}

void RouteRaylibFileLoads(void)
{
#if defined(_WIN32)
    SetLoadFileDataCallback(RoutedReadFile);
    SetLoadFileTextCallback(RoutedReadText);
#else
    SetLoadFileDataCallback(nullptr);
#endif
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
static int LoadObjModel(const char *path, const unsigned char *data, int size, Model *model)
{
    ObjMesh mesh;
    if (!ObjParse(data, size, &mesh)) return Refuse(ModelCheckReason());
    char folder[kPlatformPathLen];
    snprintf(folder, sizeof(folder), "%s", GetDirectoryPath(path));   // raylib's buffer is shared
    int ok = ObjBuildModel(&mesh, folder, model);
    ObjMeshFree(&mesh);
    return ok;
}

// A model of one mesh and one material per part holding triangles, taking the parts' arrays (the
// caller still frees mesh); materials come from the mesh's mtllib in folder, or the default. 1, or
// 0 with nothing loaded when no part holds a triangle.
static int ObjBuildModel(ObjMesh *mesh, const char *folder, Model *model)
{
    *model = Model{};
    int n = 0;
    for (int i = 0; i < mesh->partCount; i++) n += mesh->parts[i].vertexCount > 0;
    if (n == 0) return Refuse("no triangles");
    ObjMaterialLib lib;
    memset(&lib, 0, sizeof(lib));
    if (mesh->materialLib[0] != '\0') ReadMaterialLib(folder, mesh->materialLib, &lib);

    model->transform = MatrixIdentity();
    model->meshCount = n;
    model->meshes = (Mesh *)MemAlloc((unsigned int)(n * sizeof(Mesh)));
    model->materialCount = n;
    model->materials = (Material *)MemAlloc((unsigned int)(n * sizeof(Material)));
    model->meshMaterial = (int *)MemAlloc((unsigned int)(n * sizeof(int)));
    int k = 0;
    for (int i = 0; i < mesh->partCount; i++) {
        ObjPart *part = &mesh->parts[i];
        if (part->vertexCount == 0) continue;
        // Plain triangles, no index buffer: a model is not held to 65536 corners.
        Mesh *m = &model->meshes[k];
        m->vertexCount = part->vertexCount;
        m->triangleCount = part->vertexCount / 3;
        m->vertices = part->positions;
        m->normals = part->normals;
        m->texcoords = part->texcoords;
        part->positions = part->normals = part->texcoords = nullptr;   // the mesh owns them now
        UploadMesh(m, false);
        model->materials[k] = ObjMaterialFor(&lib, part->material, folder);
        model->meshMaterial[k] = k;
        k++;
    }
    return 1;
}

// raylib's loader, after the check, with every file it reads going through GuardedReadFile.
static int LoadLibraryModel(const char *path, const unsigned char *data, int size, int kind, Model *model)
{
    if (!ModelFileCheck(data, size, kind, path)) return Refuse(ModelCheckReason());
    sGuard.path = path;
    sGuard.data = data;
    sGuard.size = size;
    SetLoadFileDataCallback(GuardedReadFile);
    *model = LoadModel(path);
    RouteRaylibFileLoads();
    sGuard.path = nullptr;
    if (ModelHasVertices(model)) return 1;
    // A failed load still holds its default material; an empty or vertex-only file is no model either.
    ModelRelease(*model);
    return Refuse("no vertices");
}

#if defined(_WIN32)
// raylib's own file reads (fonts, images, shaders) on Windows, where its reader takes a name in
// the system's code page: ours takes UTF-8 and the wide API, and opens only regular files.
static unsigned char *RoutedReadFile(const char *fileName, int *dataSize)
{
    *dataSize = 0;
    unsigned char *data = nullptr;
    long size = 0;
    if (fileName == nullptr || !PlatformReadRegularFile(fileName, INT_MAX - 1, &data, &size)) {
        TraceLog(LOG_WARNING, "FILEIO: [%s] Failed to open file", fileName ? fileName : "");
        return nullptr;
    }
    // raylib frees what it is given with its own allocator.
    unsigned char *copy = (unsigned char *)MemAlloc((unsigned int)size + 1);
    if (copy != nullptr) memcpy(copy, data, (size_t)size + 1);
    free(data);
    if (copy != nullptr) *dataSize = (int)size;
    return copy;
}

static char *RoutedReadText(const char *fileName)
{
    int size = 0;
    return (char *)RoutedReadFile(fileName, &size);   // the copy ends in the NUL the read put after it
}
#endif

// raylib's file reads during a model load: the checked bytes for the model itself (so the file
// is read once), and only regular files of bounded size for the rest (a texture named by an IQM
// mesh, a glTF buffer or image), never a pipe or a device.
static unsigned char *GuardedReadFile(const char *fileName, int *dataSize)
{
    *dataSize = 0;
    if (fileName == nullptr) return nullptr;
    if (sGuard.path != nullptr && strcmp(fileName, sGuard.path) == 0) {
        unsigned char *copy = (unsigned char *)MemAlloc((unsigned int)sGuard.size);   // raylib frees it
        if (!copy) return nullptr;
        memcpy(copy, sGuard.data, (size_t)sGuard.size);
        *dataSize = sGuard.size;
        return copy;
    }
    unsigned char *data = nullptr;
    int size = 0;
    if (!ModelFileRead(fileName, kModelFileMaxBytes, &data, &size)) return nullptr;
    // raylib's own reader gives nothing for an empty file; an image must fit before it decodes.
    if (size == 0 || !ImageSizeAllowed(data, size, GetFileExtension(fileName))) {
        MemFree(data);
        return nullptr;
    }
    *dataSize = size;
    return data;
}

// folder/file, or file alone when it is absolute (a leading separator of either kind or a drive
// letter, which Windows takes as such); 1, or 0 when it does not fit.
static int JoinFolder(char *out, const char *folder, const char *file)
{
    bool absolute = file[0] == '/' || file[0] == '\\' || (isalpha((unsigned char)file[0]) && file[1] == ':');
    int n = (absolute || folder[0] == '\0') ? snprintf(out, kPlatformPathLen, "%s", file)
                                            : snprintf(out, kPlatformPathLen, "%s%c%s", folder, kPlatformSeparator, file);
    return n >= 0 && n < kPlatformPathLen;
}

// A missing, unreadable or refused material file leaves lib empty: every part gets the default.
static void ReadMaterialLib(const char *folder, const char *file, ObjMaterialLib *lib)
{
    char path[kPlatformPathLen];
    unsigned char *data = nullptr;
    int size = 0;
    if (!JoinFolder(path, folder, file) || !ModelFileRead(path, kModelFileMaxBytes, &data, &size)) return;
    ObjParseMaterials(data, size, lib);
    MemFree(data);
}

// raylib's default material, with the named material's diffuse texture, or else its diffuse colour.
static Material ObjMaterialFor(const ObjMaterialLib *lib, const char *name, const char *folder)
{
    Material material = LoadMaterialDefault();
    int i = ObjFindMaterial(lib, name);
    if (i < 0) return material;
    const ObjMaterial *src = &lib->materials[i];
    char path[kPlatformPathLen];
    if (src->diffuseMap[0] == '\0') {
        material.maps[MATERIAL_MAP_DIFFUSE].color = src->diffuse;
    } else if (JoinFolder(path, folder, src->diffuseMap)) {
        Texture2D texture = LoadCheckedTexture(path);
        if (texture.id != 0) material.maps[MATERIAL_MAP_DIFFUSE].texture = texture;
    }
    return material;
}

Texture2D LoadCheckedTexture(const char *path)
{
    Texture2D texture = {};
    const char *ext = GetFileExtension(path);
    unsigned char *data = nullptr;
    int size = 0;
    if (ext == nullptr) {
        Refuse("no file extension");
        return texture;
    }
    if (!ModelFileRead(path, kImageMaxFileBytes, &data, &size)) {
        Refuse(ModelCheckReason());
        return texture;
    }
    if (!ImageSizeAllowed(data, size, ext)) {
        Refuse(ImageCheckReason());
        MemFree(data);
        return texture;
    }
    Image image = LoadImageFromMemory(ext, data, size);
    MemFree(data);
    if (image.data == nullptr) {
        Refuse("image not decoded");
        return texture;
    }
    texture = LoadTextureFromImage(image);
    UnloadImage(image);
    if (texture.id == 0) Refuse("texture not uploaded");
    return texture;
}

// 1 when any of the model's meshes holds a vertex.
static int ModelHasVertices(const Model *model)
{
    if (model->meshes == nullptr) return 0;
    for (int i = 0; i < model->meshCount; i++) {
        if (model->meshes[i].vertexCount > 0) return 1;
    }
    return 0;
}

// A material whose own image could not be loaded keeps texture id 0, which binds nothing and
// draws the model black; the default white texture lets its colour and tint show, as for a model
// that names no image at all.
static void ModelDefaultMissingTextures(Model *model)
{
    for (int i = 0; model->materials && i < model->materialCount; i++) {
        MaterialMap *albedo = model->materials[i].maps ? &model->materials[i].maps[MATERIAL_MAP_ALBEDO] : nullptr;
        if (albedo == nullptr || albedo->texture.id != 0) continue;
        albedo->texture = Texture2D{ rlGetTextureIdDefault(), 1, 1, 1, PIXELFORMAT_UNCOMPRESSED_R8G8B8A8 };
    }
}

// Keeps the reason for the caller; 0, so that a load can end with `return Refuse(...)`.
static int Refuse(const char *reason)
{
    snprintf(sReason, sizeof(sReason), "%s", reason);
    return 0;
}
