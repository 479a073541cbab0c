// model_check.cpp: reading model files from outside safely: the file itself, OBJ and MTL text,
// and the IQM and glTF layouts raylib's loaders trust.
#include "project/model_check.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cgltf.h"   // declarations only: cgltf itself is compiled into raylib
#include "platform/platform.h"

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
// The IQM header as raylib's loader reads it: 16 magic bytes and 27 little-endian u32 fields.
struct IqmHeader {
    char magic[16];
    uint32_t version, fileSize, flags;
    uint32_t numText, ofsText;
    uint32_t numMeshes, ofsMeshes;
    uint32_t numVertexArrays, numVertexes, ofsVertexArrays;
    uint32_t numTriangles, ofsTriangles, ofsAdjacency;
    uint32_t numJoints, ofsJoints;
    uint32_t numPoses, ofsPoses;
    uint32_t numAnims, ofsAnims;
    uint32_t numFrames, numFrameChannels, ofsFrames, ofsBounds;
    uint32_t numComment, ofsComment;
    uint32_t numExtensions, ofsExtensions;
};
static_assert(sizeof(IqmHeader) == 124, "IQM header is 124 bytes");

struct IqmMesh { uint32_t name, material, firstVertex, numVertexes, firstTriangle, numTriangles; };
struct IqmVertexArray { uint32_t type, flags, format, size, offset; };

static const char kIqmMagic[16] = "INTERQUAKEMODEL";   // with its NUL: 16 bytes
constexpr uint32_t kIqmVersion = 2;
constexpr int kIqmNameLen = 32;          // raylib copies 32 bytes of every mesh, material and joint name
constexpr int kIqmTriangleBytes = 12;    // three u32 vertex indices
constexpr int kIqmJointBytes = 48;       // name, parent, translate[3], rotate[4], scale[3]
constexpr int kIqmPoseBytes = 88;        // parent, mask, 10 channel offsets, 10 channel scales
constexpr int kIqmAnimBytes = 20;        // name, first frame, frame count, rate, flags
constexpr int kIqmBoundsBytes = 32;      // bbmin[3], bbmax[3], xyradius, radius
constexpr int kIqmExtensionBytes = 16;   // name, data count, data offset, next extension
constexpr int kIqmFrameValueBytes = 2;   // one u16 per frame channel
constexpr uint32_t kIqmFormatCount = 9;  // byte, ubyte, short, ushort, int, uint, half, float, double
static const int kIqmFormatBytes[kIqmFormatCount] = { 1, 1, 2, 2, 4, 4, 2, 4, 8 };
// Bytes per vertex raylib copies for each array type it reads (position, texcoord, normal,
// tangent, blend indexes, blend weights, colour), whatever format the file declares; 0: not read.
static const int kIqmReadBytes[7] = { 12, 8, 12, 0, 4, 4, 4 };

// One block of an IQM file: count records of unit bytes from offset.
struct IqmBlock {
    uint32_t offset;
    uint64_t count;
    uint64_t unit;
    const char *name;
};

// One pass over text, line by line.
struct TextCursor {
    const unsigned char *data;
    int size;
    int at;
};

// A corner of an OBJ face: indices into the lists read so far, -1 when the corner gives none.
struct ObjCorner { int v, vt, vn; };

// What each index of an OBJ face corner names, in the order v/vt/vn.
static const char *const kObjCornerIndex[3] = { "face index", "face texture index", "face normal index" };

// The lists an OBJ builds its faces from.
struct ObjLists {
    float *positions, *texcoords, *normals;   // 3, 2 and 3 floats each
    int positionCount, texcoordCount, normalCount;
    int positionCap, texcoordCap, normalCap;
    int corners;                              // triangle corners made so far, all parts
};

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static char sReason[96];   // why the last refusal refused

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static int Refuse(const char *format, ...);
static int BytesReadable(const unsigned char *data, int size, int minSize);
static const char *GltfResultText(cgltf_result result);
static int TextNextLine(TextCursor *c, char *line);
static const char *SkipSpace(const char *p);
static const char *TokenEnd(const char *p);
static int ParseFloats(const char **p, float *out, int n);
static void CopyToken(char *dst, int dstSize, const char *p);
static int ObjParseLine(const char *line, ObjMesh *mesh, ObjLists *lists, char *material);
static int ObjParseCorner(const char **p, const ObjLists *lists, ObjCorner *corner);
static int ObjResolveIndex(long index, int count);
static int ObjListPush(float **list, int *count, int *cap, const float *values, int width);
static int ObjAddTriangle(ObjMesh *mesh, ObjLists *lists, const char *material, const ObjCorner *c);
static ObjPart *ObjPartFor(ObjMesh *mesh, const char *material);
static int ObjPartGrow(ObjPart *part);
static int IqmCheck(const unsigned char *data, int size);
static int IqmBlockInside(uint32_t offset, uint64_t count, uint64_t unit, int size);
static int IqmNameInside(const IqmHeader *h, uint32_t name, const unsigned char *data, int size);
static int IqmMeshesInside(const IqmHeader *h, const unsigned char *data, int size);
static int IqmArraysInside(const IqmHeader *h, const unsigned char *data, int size);
static int GltfCheck(const unsigned char *data, int size, const char *path);
static cgltf_result GltfReadFile(const cgltf_memory_options *memory, const cgltf_file_options *file,
                                 const char *path, cgltf_size *size, void **data);
static void GltfReleaseFile(const cgltf_memory_options *memory, const cgltf_file_options *file, void *data, cgltf_size size);
static int GltfLayoutBounded(const cgltf_data *gltf);
static int GltfMeshesReadable(const cgltf_data *gltf);
static int GltfPositionReadable(const cgltf_accessor *accessor);
static int GltfImagesReadable(const cgltf_data *gltf);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int ModelKindOfPath(const char *path)
{
    if (IsFileExtension(path, ".obj")) return MODEL_OBJ;
    if (IsFileExtension(path, ".iqm")) return MODEL_IQM;
    if (IsFileExtension(path, ".gltf")) return MODEL_GLTF;
    if (IsFileExtension(path, ".glb")) return MODEL_GLB;
    return -1;
}

int ModelFileRead(const char *path, int maxBytes, unsigned char **data, int *size)
{
    long length = 0;
    int ok = PlatformReadRegularFile(path, maxBytes, data, &length);
    *size = (int)length;
    if (!ok) Refuse("%s", PlatformFileRefusal(path, maxBytes));
    return ok;
}

int ModelFileCheck(const unsigned char *data, int size, int kind, const char *path)
{
    if (!BytesReadable(data, size, 1)) return 0;
    switch (kind) {
    case MODEL_OBJ: {
        ObjMesh mesh;
        int ok = ObjParse(data, size, &mesh);
        ObjMeshFree(&mesh);
        return ok;
    }
    case MODEL_IQM: return IqmCheck(data, size);
    case MODEL_GLTF:
    case MODEL_GLB: return GltfCheck(data, size, path);
    default: return Refuse("unknown model format");
    }
}

int ObjParse(const unsigned char *data, int size, ObjMesh *mesh)
{
    memset(mesh, 0, sizeof(*mesh));
    if (!BytesReadable(data, size, 0)) return 0;
    ObjLists lists;
    memset(&lists, 0, sizeof(lists));
    TextCursor cursor = { data, size, 0 };
    char line[kObjMaxLineLen + 1];
    char material[kObjNameLen] = "";
    int ok = 1, got;
    while (ok && (got = TextNextLine(&cursor, line)) != 0) {
        ok = got > 0 && ObjParseLine(line, mesh, &lists, material);
    }
    MemFree(lists.positions);
    MemFree(lists.texcoords);
    MemFree(lists.normals);
    if (!ok) ObjMeshFree(mesh);
    return ok;
}

void ObjMeshFree(ObjMesh *mesh)
{
    for (int i = 0; i < mesh->partCount && i < kObjMaxParts; i++) {
        MemFree(mesh->parts[i].positions);
        MemFree(mesh->parts[i].normals);
        MemFree(mesh->parts[i].texcoords);
    }
    memset(mesh, 0, sizeof(*mesh));
}

int ObjParseMaterials(const unsigned char *data, int size, ObjMaterialLib *lib)
{
    memset(lib, 0, sizeof(*lib));
    if (!BytesReadable(data, size, 0)) return 0;
    TextCursor cursor = { data, size, 0 };
    char line[kObjMaxLineLen + 1];
    ObjMaterial *current = nullptr;   // statements before any newmtl, or past the limit, are skipped
    int got;
    while ((got = TextNextLine(&cursor, line)) != 0) {
        if (got < 0) {
            memset(lib, 0, sizeof(*lib));
            return 0;
        }
        const char *p = SkipSpace(line);
        const char *end = TokenEnd(p);
        int len = (int)(end - p);
        const char *rest = SkipSpace(end);
        if (len == 6 && strncmp(p, "newmtl", 6) == 0) {
            current = nullptr;
            if (lib->count >= kObjMaxParts) continue;
            current = &lib->materials[lib->count++];
            CopyToken(current->name, kObjNameLen, rest);
            current->diffuse = WHITE;
        } else if (current && len == 2 && strncmp(p, "Kd", 2) == 0) {
            float rgb[3];
            if (!ParseFloats(&rest, rgb, 3)) continue;   // a bad colour keeps the default
            unsigned char *channel[3] = { &current->diffuse.r, &current->diffuse.g, &current->diffuse.b };
            for (int k = 0; k < 3; k++) {
                float c = rgb[k] < 0.0f ? 0.0f : (rgb[k] > 1.0f ? 1.0f : rgb[k]);
                *channel[k] = (unsigned char)(c * 255.0f);
            }
        } else if (current && len == 6 && strncmp(p, "map_Kd", 6) == 0) {
            // Options (-s, -o, ...) come first: the file name is the last word.
            const char *name = rest;
            for (const char *q = rest; *q; q = SkipSpace(TokenEnd(q))) name = q;
            current->diffuseMap[0] = '\0';
            if (TokenEnd(name) - name < kObjPathLen) CopyToken(current->diffuseMap, kObjPathLen, name);
        }
    }
    return 1;
}

int ObjFindMaterial(const ObjMaterialLib *lib, const char *name)
{
    for (int i = 0; i < lib->count && i < kObjMaxParts; i++) {
        if (strcmp(lib->materials[i].name, name) == 0) return i;
    }
    return -1;
}

const char *ModelCheckReason(void)
{
    return sReason;
}

//----------------------------------------------------------------------------------
// Internal functions: refusals
//----------------------------------------------------------------------------------
// Keeps the reason for the caller; 0, so that a check can end with `return Refuse(...)`.
static int Refuse(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    vsnprintf(sReason, sizeof(sReason), format, args);
    va_end(args);
    return 0;
}

// Bytes to read: data present, at least minSize and at most a model file's size.
static int BytesReadable(const unsigned char *data, int size, int minSize)
{
    if (size > kModelFileMaxBytes) return Refuse("file too large");
    if (data == nullptr || size < minSize) return Refuse(size == 0 ? "empty file" : "no data");
    return 1;
}

//----------------------------------------------------------------------------------
// Internal functions: text
//----------------------------------------------------------------------------------
// Copies the next line, without its end, into line (kObjMaxLineLen + 1 bytes) and terminates it:
// 1; 0 at the end of the text; -1 for a line that is too long or holds a NUL (no text file does).
static int TextNextLine(TextCursor *c, char *line)
{
    if (c->at >= c->size) return 0;
    int n = 0;
    while (c->at < c->size && c->data[c->at] != '\n') {
        if (c->data[c->at] == '\0') {
            Refuse("NUL byte in text");
            return -1;
        }
        if (n >= kObjMaxLineLen) {
            Refuse("line longer than %d characters", kObjMaxLineLen);
            return -1;
        }
        line[n++] = (char)c->data[c->at++];
    }
    c->at++;   // past the '\n' (or the end)
    line[n] = '\0';
    return 1;
}

static const char *SkipSpace(const char *p)
{
    while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\v' || *p == '\f') p++;
    return p;
}

static const char *TokenEnd(const char *p)
{
    while (*p && *p != ' ' && *p != '\t' && *p != '\r' && *p != '\v' && *p != '\f') p++;
    return p;
}

// Reads n finite numbers; 1 with *p past them, else 0.
static int ParseFloats(const char **p, float *out, int n)
{
    const char *q = *p;
    for (int i = 0; i < n; i++) {
        q = SkipSpace(q);
        char *end = nullptr;
        out[i] = strtof(q, &end);
        if (end == q || !std::isfinite(out[i])) return 0;
        q = end;
    }
    *p = q;
    return 1;
}

// Copies the word at p into dst, cut to fit.
static void CopyToken(char *dst, int dstSize, const char *p)
{
    int len = (int)(TokenEnd(p) - p);
    snprintf(dst, (size_t)dstSize, "%.*s", len, p);
}

//----------------------------------------------------------------------------------
// Internal functions: OBJ
//----------------------------------------------------------------------------------
// One statement; statements the editor has no use for (o, g, s, l, comments...) are skipped. 1, or
// 0 when the line refuses the file.
static int ObjParseLine(const char *line, ObjMesh *mesh, ObjLists *lists, char *material)
{
    const char *p = SkipSpace(line);
    const char *end = TokenEnd(p);
    int len = (int)(end - p);
    const char *rest = SkipSpace(end);
    if (len == 1 && p[0] == 'v') {
        float xyz[3];
        if (!ParseFloats(&rest, xyz, 3)) return Refuse("bad vertex");
        return ObjListPush(&lists->positions, &lists->positionCount, &lists->positionCap, xyz, 3);
    }
    if (len == 2 && p[0] == 'v' && p[1] == 't') {
        float uv[2] = { 0.0f, 0.0f };
        if (!ParseFloats(&rest, uv, 1)) return Refuse("bad texture coordinate");
        const char *more = rest;
        if (!ParseFloats(&more, uv + 1, 1)) uv[1] = 0.0f;   // V may be left out
        return ObjListPush(&lists->texcoords, &lists->texcoordCount, &lists->texcoordCap, uv, 2);
    }
    if (len == 2 && p[0] == 'v' && p[1] == 'n') {
        float n[3];
        if (!ParseFloats(&rest, n, 3)) return Refuse("bad normal");
        return ObjListPush(&lists->normals, &lists->normalCount, &lists->normalCap, n, 3);
    }
    if (len == 1 && p[0] == 'f') {
        // Fanned from the first corner: (0, 1, 2), (0, 2, 3), ... for any corner count.
        ObjCorner fan[3];
        int count = 0;
        const char *q = rest;
        while (*q) {
            ObjCorner c;
            if (!ObjParseCorner(&q, lists, &c)) return 0;
            if (count < 3) {
                fan[count++] = c;
            } else {
                fan[1] = fan[2];
                fan[2] = c;
                count++;
            }
            if (count >= 3 && !ObjAddTriangle(mesh, lists, material, fan)) return 0;
            q = SkipSpace(q);
        }
        return count >= 3 ? 1 : Refuse("face of fewer than 3 corners");
    }
    if (len == 6 && strncmp(p, "usemtl", 6) == 0) {
        CopyToken(material, kObjNameLen, rest);
        return 1;
    }
    if (len == 6 && strncmp(p, "mtllib", 6) == 0) {
        if (mesh->materialLib[0] == '\0' && TokenEnd(rest) - rest < kObjPathLen) {
            CopyToken(mesh->materialLib, kObjPathLen, rest);
        }
        return 1;
    }
    return 1;
}

// One corner: v, v/vt, v//vn or v/vt/vn, each index inside its list as read so far. 1 with *p past
// it, else 0.
static int ObjParseCorner(const char **p, const ObjLists *lists, ObjCorner *corner)
{
    const int counts[3] = { lists->positionCount, lists->texcoordCount, lists->normalCount };
    int out[3] = { -1, -1, -1 };
    const char *q = *p;
    for (int k = 0; k < 3; k++) {
        if (k > 0) {
            if (*q != '/') break;
            q++;
            if (*q == '/' || *q == ' ' || *q == '\t' || *q == '\r' || *q == '\0') continue;   // left out
        }
        char *end = nullptr;
        long index = strtol(q, &end, 10);
        if (end == q) return Refuse("bad face corner");
        out[k] = ObjResolveIndex(index, counts[k]);
        if (out[k] < 0) return Refuse("%s %ld out of range", kObjCornerIndex[k], index);
        q = end;
    }
    if (*q != '\0' && *q != ' ' && *q != '\t' && *q != '\r') return Refuse("bad face corner");
    corner->v = out[0];
    corner->vt = out[1];
    corner->vn = out[2];
    *p = q;
    return 1;
}

// 1-based from the start, or negative from the end of the list read so far; the 0-based index, or
// -1 when it lies outside (0 never names anything).
static int ObjResolveIndex(long index, int count)
{
    if (index > 0 && index <= (long)count) return (int)(index - 1);
    if (index < 0 && index >= -(long)count) return (int)(count + index);
    return -1;
}

static int ObjListPush(float **list, int *count, int *cap, const float *values, int width)
{
    if (*count >= *cap) {
        int grown = *cap ? *cap * 2 : 64;
        if (grown > kModelFileMaxBytes) return Refuse("too many vertices");   // more than the file could hold
        float *bigger = (float *)MemRealloc(*list, (unsigned int)((size_t)grown * (size_t)width * sizeof(float)));
        if (!bigger) return Refuse("out of memory");
        *list = bigger;
        *cap = grown;
    }
    memcpy(*list + (size_t)*count * (size_t)width, values, (size_t)width * sizeof(float));
    (*count)++;
    return 1;
}

// Appends the triangle c[0], c[1], c[2] to the part of the current material.
static int ObjAddTriangle(ObjMesh *mesh, ObjLists *lists, const char *material, const ObjCorner *c)
{
    if (lists->corners > kModelMaxCorners - 3) return Refuse("too many triangles");
    ObjPart *part = ObjPartFor(mesh, material);
    if (part->vertexCount + 3 > part->capacity && !ObjPartGrow(part)) return 0;
    Vector3 pos[3];
    for (int k = 0; k < 3; k++) memcpy(&pos[k], lists->positions + 3 * c[k].v, sizeof(Vector3));
    // The file's normals when every corner gives one, else the triangle's own.
    Vector3 flat = { 0.0f, 1.0f, 0.0f };
    Vector3 e1 = { pos[1].x - pos[0].x, pos[1].y - pos[0].y, pos[1].z - pos[0].z };
    Vector3 e2 = { pos[2].x - pos[0].x, pos[2].y - pos[0].y, pos[2].z - pos[0].z };
    Vector3 n = { e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x };
    float len = sqrtf(n.x * n.x + n.y * n.y + n.z * n.z);
    if (len > 0.0f && std::isfinite(len)) flat = Vector3{ n.x / len, n.y / len, n.z / len };
    bool fileNormals = c[0].vn >= 0 && c[1].vn >= 0 && c[2].vn >= 0;
    for (int k = 0; k < 3; k++) {
        int at = part->vertexCount++;
        memcpy(part->positions + 3 * at, &pos[k], sizeof(Vector3));
        if (fileNormals) memcpy(part->normals + 3 * at, lists->normals + 3 * c[k].vn, 3 * sizeof(float));
        else memcpy(part->normals + 3 * at, &flat, sizeof(Vector3));
        float u = 0.0f, v = 0.0f;
        if (c[k].vt >= 0) {
            u = lists->texcoords[2 * c[k].vt];
            v = 1.0f - lists->texcoords[2 * c[k].vt + 1];   // images are stored top row first
        }
        part->texcoords[2 * at] = u;
        part->texcoords[2 * at + 1] = v;
    }
    lists->corners += 3;
    return 1;
}

// The part of material, made when new; once every part is taken, the first part.
static ObjPart *ObjPartFor(ObjMesh *mesh, const char *material)
{
    for (int i = 0; i < mesh->partCount; i++) {
        if (strcmp(mesh->parts[i].material, material) == 0) return &mesh->parts[i];
    }
    if (mesh->partCount >= kObjMaxParts) return &mesh->parts[0];
    ObjPart *part = &mesh->parts[mesh->partCount++];
    snprintf(part->material, sizeof(part->material), "%s", material);
    return part;
}

static int ObjPartGrow(ObjPart *part)
{
    int grown = part->capacity ? part->capacity * 2 : 192;
    if (grown > kModelMaxCorners) grown = kModelMaxCorners;
    if (grown < part->vertexCount + 3) return Refuse("too many triangles");
    size_t n = (size_t)grown;
    float *positions = (float *)MemRealloc(part->positions, (unsigned int)(n * 3 * sizeof(float)));
    if (positions) part->positions = positions;
    float *normals = (float *)MemRealloc(part->normals, (unsigned int)(n * 3 * sizeof(float)));
    if (normals) part->normals = normals;
    float *texcoords = (float *)MemRealloc(part->texcoords, (unsigned int)(n * 2 * sizeof(float)));
    if (texcoords) part->texcoords = texcoords;
    if (!positions || !normals || !texcoords) return Refuse("out of memory");   // the arrays kept are freed with the mesh
    part->capacity = grown;
    return 1;
}

//----------------------------------------------------------------------------------
// Internal functions: IQM
//----------------------------------------------------------------------------------
// Every block raylib's loader reads, and every block it does not, lies inside the file; names
// are terminated inside the text block; each mesh's vertices and triangles lie inside the file's
// and every triangle of a mesh names a vertex of that mesh.
static int IqmCheck(const unsigned char *data, int size)
{
    if (size < (int)sizeof(IqmHeader)) return Refuse("IQM header cut short");
    IqmHeader h;
    memcpy(&h, data, sizeof(h));
    if (memcmp(h.magic, kIqmMagic, sizeof(kIqmMagic)) != 0 || h.version != kIqmVersion) return Refuse("bad IQM header");
    if (h.numMeshes < 1 || h.numMeshes > (uint32_t)kIqmMaxMeshes) return Refuse("IQM mesh count %u out of range", h.numMeshes);
    if ((uint64_t)h.numVertexes > (uint64_t)kModelMaxCorners) return Refuse("too many vertices");
    if ((uint64_t)h.numTriangles * 3 > (uint64_t)kModelMaxCorners) return Refuse("too many triangles");
    // Bounded by the file's size, which keeps their product small.
    if (h.numFrames > (uint32_t)size || h.numFrameChannels > (uint32_t)size) return Refuse("IQM frame count out of range");
    // Optional blocks with no offset hold nothing.
    const IqmBlock blocks[] = {
        { h.ofsText, h.numText, 1, "text" },
        { h.ofsMeshes, h.numMeshes, sizeof(IqmMesh), "meshes" },
        { h.ofsVertexArrays, h.numVertexArrays, sizeof(IqmVertexArray), "vertex arrays" },
        { h.ofsTriangles, h.numTriangles, kIqmTriangleBytes, "triangles" },
        { h.ofsAdjacency, h.ofsAdjacency ? h.numTriangles : 0u, kIqmTriangleBytes, "adjacency" },
        { h.ofsJoints, h.numJoints, kIqmJointBytes, "joints" },
        { h.ofsPoses, h.numPoses, kIqmPoseBytes, "poses" },
        { h.ofsAnims, h.numAnims, kIqmAnimBytes, "animations" },
        { h.ofsFrames, (uint64_t)h.numFrames * h.numFrameChannels, kIqmFrameValueBytes, "frames" },
        { h.ofsBounds, h.ofsBounds ? h.numFrames : 0u, kIqmBoundsBytes, "bounds" },
        { h.ofsComment, h.numComment, 1, "comment" },
        { h.ofsExtensions, h.numExtensions, kIqmExtensionBytes, "extensions" },
    };
    for (const IqmBlock &b : blocks) {
        if (!IqmBlockInside(b.offset, b.count, b.unit, size)) return Refuse("IQM %s outside the file", b.name);
    }
    for (uint32_t j = 0; j < h.numJoints; j++) {
        uint32_t name;
        memcpy(&name, data + h.ofsJoints + (size_t)j * kIqmJointBytes, sizeof(name));
        if (!IqmNameInside(&h, name, data, size)) return Refuse("IQM joint name outside the text");
    }
    return IqmMeshesInside(&h, data, size) && IqmArraysInside(&h, data, size);
}

// 1 when count records of unit bytes from offset lie inside the file (no records: always).
static int IqmBlockInside(uint32_t offset, uint64_t count, uint64_t unit, int size)
{
    if (count == 0) return 1;
    if (count > (uint64_t)size || unit > (uint64_t)size) return 0;   // keeps the product small
    return (uint64_t)offset + count * unit <= (uint64_t)size;
}

// raylib copies 32 bytes from the name's offset in the text block and uses them as a string.
static int IqmNameInside(const IqmHeader *h, uint32_t name, const unsigned char *data, int size)
{
    if (name >= h->numText) return 0;
    uint64_t at = (uint64_t)h->ofsText + name;
    if (at + kIqmNameLen > (uint64_t)size) return 0;
    uint64_t limit = (uint64_t)h->numText - name < (uint64_t)kIqmNameLen ? (uint64_t)h->numText - name : (uint64_t)kIqmNameLen;
    return memchr(data + at, '\0', (size_t)limit) != nullptr;
}

static int IqmMeshesInside(const IqmHeader *h, const unsigned char *data, int size)
{
    uint64_t vertexTotal = 0, cornerTotal = 0;   // raylib gives every mesh arrays of its own
    for (uint32_t m = 0; m < h->numMeshes; m++) {
        IqmMesh mesh;
        memcpy(&mesh, data + h->ofsMeshes + (size_t)m * sizeof(IqmMesh), sizeof(mesh));
        if (!IqmNameInside(h, mesh.name, data, size) || !IqmNameInside(h, mesh.material, data, size)) {
            return Refuse("IQM mesh name outside the text");
        }
        if ((uint64_t)mesh.firstVertex + mesh.numVertexes > h->numVertexes) return Refuse("IQM mesh vertices out of range");
        if ((uint64_t)mesh.firstTriangle + mesh.numTriangles > h->numTriangles) return Refuse("IQM mesh triangles out of range");
        vertexTotal += mesh.numVertexes;
        cornerTotal += (uint64_t)mesh.numTriangles * 3;
        if (vertexTotal > (uint64_t)kModelMaxCorners) return Refuse("too many vertices");
        if (cornerTotal > (uint64_t)kModelMaxCorners) return Refuse("too many triangles");
        for (uint32_t t = mesh.firstTriangle; t < mesh.firstTriangle + mesh.numTriangles; t++) {
            uint32_t v[3];
            memcpy(v, data + h->ofsTriangles + (size_t)t * kIqmTriangleBytes, sizeof(v));
            for (int k = 0; k < 3; k++) {
                if (v[k] < mesh.firstVertex || v[k] - mesh.firstVertex >= mesh.numVertexes) {
                    return Refuse("IQM triangle vertex %u outside its mesh", v[k]);
                }
            }
        }
    }
    return 1;
}

// Each array's declared extent, and the bytes raylib copies for the types it reads, lie inside;
// a type it reads comes once (a second copy would be allocated over the first and lost).
static int IqmArraysInside(const IqmHeader *h, const unsigned char *data, int size)
{
    unsigned seen = 0;
    for (uint32_t i = 0; i < h->numVertexArrays; i++) {
        IqmVertexArray va;
        memcpy(&va, data + h->ofsVertexArrays + (size_t)i * sizeof(IqmVertexArray), sizeof(va));
        if (va.format >= kIqmFormatCount) return Refuse("IQM vertex format %u unknown", va.format);
        if (!IqmBlockInside(va.offset, h->numVertexes, (uint64_t)va.size * kIqmFormatBytes[va.format], size)) {
            return Refuse("IQM vertex array outside the file");
        }
        if (va.type >= 7 || kIqmReadBytes[va.type] == 0) continue;
        if (seen & (1u << va.type)) return Refuse("IQM vertex array type %u repeated", va.type);
        if (!IqmBlockInside(va.offset, h->numVertexes, (uint64_t)kIqmReadBytes[va.type], size)) {
            return Refuse("IQM vertex array outside the file");
        }
        seen |= 1u << va.type;
    }
    return 1;
}

//----------------------------------------------------------------------------------
// Internal functions: glTF and GLB
//----------------------------------------------------------------------------------
// The file is parsed as raylib's loader parses it (its kind found from the bytes, whatever the
// extension), its buffers loaded, and cgltf's own validation run. Before that validation, what it
// takes for granted: bounded numbers and every buffer's bytes present (it checks the indices only
// in loaded buffers); after it, what raylib's loader dereferences without a check of its own.
static int GltfCheck(const unsigned char *data, int size, const char *path)
{
    cgltf_options options = {};
    options.file.read = GltfReadFile;
    options.file.release = GltfReleaseFile;
    cgltf_data *gltf = nullptr;
    cgltf_result result = cgltf_parse(&options, data, (cgltf_size)size, &gltf);
    if (result != cgltf_result_success) return Refuse("glTF %s", GltfResultText(result));
    int ok = GltfLayoutBounded(gltf);
    // Without a path cgltf refuses every buffer that is not in the bytes themselves.
    if (ok && (result = cgltf_load_buffers(&options, gltf, path)) != cgltf_result_success) {
        ok = Refuse("glTF buffer %s", GltfResultText(result));
    }
    for (cgltf_size i = 0; ok && i < gltf->buffers_count; i++) {
        // No URI, and not a GLB's own: raylib would read nothing.
        if (gltf->buffers[i].data == nullptr) ok = Refuse("glTF buffer without data");
    }
    if (ok && (result = cgltf_validate(gltf)) != cgltf_result_success) {
        // The validation says "too short" for any accessor, view or index past what it refers to.
        ok = Refuse(result == cgltf_result_data_too_short ? "glTF index or accessor out of range" : "glTF layout invalid");
    }
    ok = ok && GltfMeshesReadable(gltf) && GltfImagesReadable(gltf);
    cgltf_free(gltf);
    return ok;
}

// An external buffer is read as the model is: a regular file of bounded size. It must hold the
// whole buffer, since raylib's reader hands cgltf whatever it finds; an empty one it does not hand.
static cgltf_result GltfReadFile(const cgltf_memory_options *, const cgltf_file_options *,
                                 const char *path, cgltf_size *size, void **data)
{
    unsigned char *bytes = nullptr;
    int n = 0;
    if (!ModelFileRead(path, kModelFileMaxBytes, &bytes, &n)) return cgltf_result_io_error;
    if (n == 0 || (cgltf_size)n < *size) {
        MemFree(bytes);
        return cgltf_result_data_too_short;
    }
    *size = (cgltf_size)n;
    *data = bytes;
    return cgltf_result_success;
}

static void GltfReleaseFile(const cgltf_memory_options *, const cgltf_file_options *, void *data, cgltf_size)
{
    MemFree(data);
}

// Every size, offset, count and stride is at most a model file's size: no buffer is allocated
// past it, and no sum cgltf_validate forms wraps round (it would pass a view or an accessor far
// outside its buffer). Sparse accessors are refused: raylib reads only their base values, and
// cgltf_validate reads their indices before it has bounded the view that holds them.
static int GltfLayoutBounded(const cgltf_data *gltf)
{
    const cgltf_size limit = (cgltf_size)kModelFileMaxBytes;
    for (cgltf_size i = 0; i < gltf->buffers_count; i++) {
        if (gltf->buffers[i].size > limit) return Refuse("glTF buffer too large");
    }
    for (cgltf_size i = 0; i < gltf->buffer_views_count; i++) {
        const cgltf_buffer_view *v = &gltf->buffer_views[i];
        if (v->offset > limit || v->size > limit || v->stride > limit) return Refuse("glTF buffer view out of range");
    }
    for (cgltf_size i = 0; i < gltf->accessors_count; i++) {
        const cgltf_accessor *a = &gltf->accessors[i];
        if (a->is_sparse) return Refuse("sparse glTF accessor");
        if (a->offset > limit || a->count > limit || a->stride > limit) return Refuse("glTF accessor out of range");
    }
    return 1;
}

// raylib turns each triangle primitive of each node into a mesh, following every attribute's
// buffer view without looking whether there is one. Its vertex count comes from a position of a
// format it reads; without one the joints and weights it still copies overrun arrays of that
// count. All meshes together stay within kGltfMaxMeshes and kModelMaxCorners, like an IQM's.
static int GltfMeshesReadable(const cgltf_data *gltf)
{
    uint64_t meshes = 0, vertices = 0, corners = 0;
    for (cgltf_size n = 0; n < gltf->nodes_count; n++) {
        const cgltf_mesh *mesh = gltf->nodes[n].mesh;
        for (cgltf_size p = 0; mesh != nullptr && p < mesh->primitives_count; p++) {
            const cgltf_primitive *prim = &mesh->primitives[p];
            if (prim->type != cgltf_primitive_type_triangles) continue;   // raylib skips it
            int positioned = 0;
            for (cgltf_size a = 0; a < prim->attributes_count; a++) {
                const cgltf_attribute *attribute = &prim->attributes[a];
                if (attribute->data->buffer_view == nullptr) return Refuse("glTF attribute without a buffer view");
                if (attribute->type == cgltf_attribute_type_position && GltfPositionReadable(attribute->data)) positioned = 1;
            }
            if (!positioned) return Refuse("glTF primitive without readable positions");
            vertices += prim->attributes[0].data->count;   // every attribute has as many (validated)
            if (prim->indices != nullptr) corners += prim->indices->count;
            if (++meshes > (uint64_t)kGltfMaxMeshes) return Refuse("more than %d glTF meshes", kGltfMaxMeshes);
            if (vertices > (uint64_t)kModelMaxCorners) return Refuse("too many vertices");
            if (corners > (uint64_t)kModelMaxCorners) return Refuse("too many triangles");
        }
    }
    return 1;
}

// The position formats raylib's glTF loader converts: three floats, or three 16-bit integers.
static int GltfPositionReadable(const cgltf_accessor *accessor)
{
    return accessor->type == cgltf_type_vec3 && (accessor->component_type == cgltf_component_type_r_32f ||
                                                 accessor->component_type == cgltf_component_type_r_16u ||
                                                 accessor->component_type == cgltf_component_type_r_16);
}

// An image kept in a buffer view is copied byte by byte at its view's stride, and its MIME type
// compared without looking whether there is one.
static int GltfImagesReadable(const cgltf_data *gltf)
{
    for (cgltf_size i = 0; i < gltf->images_count; i++) {
        const cgltf_image *image = &gltf->images[i];
        if (image->uri != nullptr || image->buffer_view == nullptr) continue;
        if (image->mime_type == nullptr) return Refuse("glTF image without a MIME type");
        if (image->buffer_view->stride > 1) return Refuse("glTF image view with a stride");
    }
    return 1;
}

// cgltf's result as the end of a reason ("glTF invalid JSON").
static const char *GltfResultText(cgltf_result result)
{
    switch (result) {
    case cgltf_result_data_too_short: return "data cut short";
    case cgltf_result_unknown_format: return "of unknown format";
    case cgltf_result_invalid_json: return "invalid JSON";
    case cgltf_result_invalid_gltf: return "layout invalid";
    case cgltf_result_file_not_found: return "file not found";
    case cgltf_result_io_error: return "not read";
    case cgltf_result_out_of_memory: return "out of memory";
    case cgltf_result_legacy_gltf: return "of version 1";
    default: return "not read";
    }
}
