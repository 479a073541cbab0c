// model_check.h: what a model file from outside must pass before any library parses it.
//
// A model file is read once, and only when it is a regular file of bounded size. OBJ files are
// read here, never by raylib: text only, bounded lines, every index inside the lists read so far,
// faces of any corner count fanned into triangles, one part per material. Their ".mtl" companion
// gives each material a diffuse colour and a diffuse texture file. IQM files have every offset,
// count and index that raylib's loader follows checked against the file. glTF and GLB files are
// parsed here with cgltf, the parser inside raylib, their buffers loaded (external ones read as
// the model is) and validated, and refused when raylib's loader would dereference what that
// validation leaves unchecked. Nothing here touches the GPU or the working folder: the upload
// lives in model_load.
#pragma once

#include <cstddef>
#include <cstdint>

#include "raylib.h"

constexpr int kModelFileMaxBytes = 64 * 1024 * 1024;  // a model, material or texture file read for a model
constexpr int kModelMaxCorners = 1 << 22;             // triangle corners of one OBJ model, all parts together
constexpr int kObjMaxLineLen = 4096;                  // an OBJ or MTL line longer than this refuses the file
constexpr int kObjMaxParts = 16;                      // materials of one OBJ (faces of more join the first part)
constexpr int kObjNameLen = 64;                       // a material name, cut to 63 characters
constexpr int kObjPathLen = 256;                      // a material or texture file name, longer ones are ignored
constexpr int kIqmMaxMeshes = 256;                    // each IQM mesh costs raylib a texture load
constexpr int kGltfMaxMeshes = 256;                   // triangle primitives drawn by a glTF's nodes, each a raylib mesh

enum ModelKind : int32_t { MODEL_OBJ = 0, MODEL_IQM = 1, MODEL_GLTF = 2, MODEL_GLB = 3 };

// The triangles of one OBJ material, three corners each, ready to be a raylib mesh.
struct ObjPart {
    char material[kObjNameLen];   // the usemtl name its faces follow; "" for none
    int vertexCount;              // corners in use, a multiple of 3
    int capacity;                 // corners the arrays hold
    float *positions;             // 3 per corner (MemAlloc'd: raylib frees a mesh's arrays)
    float *normals;               // 3 per corner, the file's or the triangle's own
    float *texcoords;             // 2 per corner, V flipped as raylib's OBJ loader does; 0 when absent
};

struct ObjMesh {
    ObjPart parts[kObjMaxParts];
    int partCount;
    char materialLib[kObjPathLen];   // the first mtllib's file name, "" for none
};

struct ObjMaterial {
    char name[kObjNameLen];
    Color diffuse;                   // Kd; white when not given
    char diffuseMap[kObjPathLen];    // map_Kd's file name, "" for none
};

struct ObjMaterialLib {
    ObjMaterial materials[kObjMaxParts];
    int count;
};

// The kind a model file name's extension gives (case ignored), or -1 for none of them.
int ModelKindOfPath(const char *path);
// Reads a whole file when it is a regular file of at most maxBytes (PlatformReadRegularFile); *data
// has a NUL after the last byte and is calloc'd, as raylib's MemAlloc does, so MemFree or raylib's
// UnloadFileData releases it. 1, or 0 with nothing allocated.
int ModelFileRead(const char *path, int maxBytes, unsigned char **data, int *size);
// 1 when the bytes may be handed to the loader of their kind: an OBJ that ObjParse reads, an IQM
// whose every offset, count and index lies inside the file, a glTF or GLB whose every buffer,
// view and accessor raylib reads lies inside the bytes loaded. path is the model file's own, beside
// which a glTF's external buffers are found; nullptr refuses every external buffer.
int ModelFileCheck(const unsigned char *data, int size, int kind, const char *path);
// Reads OBJ text into mesh (emptied first); 1, or 0 with mesh empty when the text is refused.
int ObjParse(const unsigned char *data, int size, ObjMesh *mesh);
// Frees the arrays mesh still owns; it becomes empty.
void ObjMeshFree(ObjMesh *mesh);
// Reads MTL text into lib (emptied first): newmtl, Kd and map_Kd. 1, or 0 with lib empty.
int ObjParseMaterials(const unsigned char *data, int size, ObjMaterialLib *lib);
// The index of the material named name in lib, or -1.
int ObjFindMaterial(const ObjMaterialLib *lib, const char *name);
// Why the last refusal of a function above refused, a short lower-case phrase ("face index 9 out
// of range", "not a regular file").
const char *ModelCheckReason(void);
