// mesh_cache.cpp: hashing, baking and syncing the per-brush meshes of the GPU renderer.
#include "render/mesh_cache.h"

#include <cstring>

#include "document/brush_geometry.h"
#include "render/texture_mapping.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
MeshCacheEntry gMeshCache[kMaxBrushes];

// Each slot's brush as it was when its geometry hash was last taken, and that hash. The hash reads
// a byte at a time and runs for every brush in every frame; a brush whose bytes are unchanged has
// the same hash, and comparing the bytes takes a small share of the time hashing them does.
struct HashedBrush {
    Brush brush;
    uint32_t hash;
    bool known;
};
static HashedBrush sHashed[kMaxBrushes];

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static uint32_t HashBytes(uint32_t hash, const void *data, size_t size);
static uint32_t SlotGeometryHash(int slot, const Brush *brush);
static bool SameHashedBytes(const Brush *a, const Brush *b);
static void EntryUnload(MeshCacheEntry *entry);
static Vector3 BrushVertLocal(const Brush *brush, int i);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
uint32_t BrushGeometryHash(const Brush *brush)
{
    uint32_t h = kFnvOffsetBasis;
    int verts = ClampCount(brush->vertCount, kMaxBrushVerts);
    h = HashBytes(h, &brush->vertCount, sizeof(brush->vertCount));
    h = HashBytes(h, brush->verts, sizeof(Vector3) * (size_t)verts);
    int faces = ClampCount(brush->faceCount, kMaxBrushFaces);
    h = HashBytes(h, &brush->faceCount, sizeof(brush->faceCount));
    for (int f = 0; f < faces; f++) {
        const BrushFace *face = &brush->faces[f];
        h = HashBytes(h, &face->count, sizeof(face->count));
        h = HashBytes(h, face->indices, sizeof(int32_t) * (size_t)FaceCornerCount(face));
        h = HashBytes(h, &face->texture, sizeof(face->texture));
        h = HashBytes(h, face->uvScale, sizeof(face->uvScale));
        h = HashBytes(h, face->uvOffset, sizeof(face->uvOffset));
        h = HashBytes(h, &face->uvRotation, sizeof(face->uvRotation));
        h = HashBytes(h, &face->projection, sizeof(face->projection));
        h = HashBytes(h, &face->flipU, sizeof(face->flipU));
        h = HashBytes(h, &face->flipV, sizeof(face->flipV));
        h = HashBytes(h, &face->tint, sizeof(face->tint));
        if (face->projection == PROJ_WORLD) {
            // World faces take their coordinates from world positions, so the transform counts.
            h = HashBytes(h, &brush->origin, sizeof(brush->origin));
            h = HashBytes(h, &brush->rotation, sizeof(brush->rotation));
        }
    }
    return h;
}

int BrushTriangleCount(const Brush *brush)
{
    int t = 0;
    int faces = ClampCount(brush->faceCount, kMaxBrushFaces);
    for (int f = 0; f < faces; f++) {
        int n = FaceCornerCount(&brush->faces[f]);
        if (n > 2) t += n - 2;
    }
    return t;
}

int BrushMeshFill(const Brush *brush, Mesh *mesh)
{
    memset(mesh, 0, sizeof(*mesh));
    int t = BrushTriangleCount(brush);
    if (t == 0) return 0;
    mesh->vertexCount = 3 * t;
    mesh->triangleCount = t;
    mesh->vertices = (float *)MemAlloc(sizeof(float) * 9 * (unsigned int)t);
    mesh->normals = (float *)MemAlloc(sizeof(float) * 9 * (unsigned int)t);
    mesh->texcoords = (float *)MemAlloc(sizeof(float) * 6 * (unsigned int)t);
    if (mesh->vertices == nullptr || mesh->normals == nullptr || mesh->texcoords == nullptr) {
        MemFree(mesh->vertices);   // MemFree takes null
        MemFree(mesh->normals);
        MemFree(mesh->texcoords);
        memset(mesh, 0, sizeof(*mesh));
        return 0;
    }

    int v = 0;
    int faces = ClampCount(brush->faceCount, kMaxBrushFaces);
    for (int f = 0; f < faces; f++) {
        const BrushFace *face = &brush->faces[f];
        int n = FaceCornerCount(face);
        if (n <= 2) continue;
        Vector3 normal = FaceNormalLocal(brush, face);
        Vector3 axisU, axisV;
        FaceTextureAxes(FaceUVNormal(brush, face), &axisU, &axisV);
        float minU = 0.0f, rangeU = 1.0f, minV = 0.0f, rangeV = 1.0f;
        if (face->projection == PROJ_FIT) FaceFitBounds(brush, face, axisU, axisV, &minU, &rangeU, &minV, &rangeV);
        for (int k = 1; k + 1 < n; k++) {
            const int corners[3] = { face->indices[0], face->indices[k], face->indices[k + 1] };
            for (int c : corners) {
                Vector3 p = BrushVertLocal(brush, c);
                Vector2 uv = FaceVertexUV(brush, face, c, axisU, axisV, minU, rangeU, minV, rangeV);
                mesh->vertices[v * 3 + 0] = p.x;
                mesh->vertices[v * 3 + 1] = p.y;
                mesh->vertices[v * 3 + 2] = p.z;
                mesh->normals[v * 3 + 0] = normal.x;
                mesh->normals[v * 3 + 1] = normal.y;
                mesh->normals[v * 3 + 2] = normal.z;
                mesh->texcoords[v * 2 + 0] = uv.x;
                mesh->texcoords[v * 2 + 1] = uv.y;
                v++;
            }
        }
    }
    return 1;
}

void BakeBrushMesh(const Brush *brush, MeshCacheEntry *entry)
{
    EntryUnload(entry);
    entry->triangleCount = 0;
    Mesh mesh;
    if (!BrushMeshFill(brush, &mesh)) return;   // tried again next frame: the entry is still invalid
    UploadMesh(&mesh, false);
    entry->mesh = mesh;
    entry->valid = true;
    entry->triangleCount = mesh.triangleCount;
}

int SyncBrushMeshes(const MapDoc *map)
{
    int baked = 0;
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    for (int i = 0; i < brushes; i++) {
        uint32_t h = SlotGeometryHash(i, &map->brushes[i]);
        MeshCacheEntry *entry = &gMeshCache[i];
        if (entry->valid && entry->hash == h) continue;
        BakeBrushMesh(&map->brushes[i], entry);
        entry->hash = h;
        baked++;
    }
    for (int i = brushes; i < kMaxBrushes; i++) {
        EntryUnload(&gMeshCache[i]);
        gMeshCache[i].hash = 0;
    }
    return baked;
}

void FreeMeshCache(void)
{
    for (int i = 0; i < kMaxBrushes; i++) {
        EntryUnload(&gMeshCache[i]);
        gMeshCache[i].hash = 0;
        gMeshCache[i].triangleCount = 0;
    }
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
static uint32_t HashBytes(uint32_t hash, const void *data, size_t size)
{
    const unsigned char *bytes = (const unsigned char *)data;
    for (size_t i = 0; i < size; i++) hash = (hash ^ bytes[i]) * kFnvPrime;
    return hash;
}

// BrushGeometryHash of the brush in slot, from the slot's memo when the brush is unchanged.
static uint32_t SlotGeometryHash(int slot, const Brush *brush)
{
    HashedBrush *memo = &sHashed[slot];
    if (memo->known && SameHashedBytes(brush, &memo->brush)) return memo->hash;
    memo->hash = BrushGeometryHash(brush);
    memcpy(&memo->brush, brush, sizeof(*brush));
    memo->known = true;
    return memo->hash;
}

// Whether a and b agree in every byte BrushGeometryHash reads of a, and in some around them: the
// transform, the counts, the vertices and faces in use. Agreeing, they hash alike; a difference in
// bytes the hash skips (unused corners, padding) only costs a hash.
static bool SameHashedBytes(const Brush *a, const Brush *b)
{
    int verts = ClampCount(a->vertCount, kMaxBrushVerts);
    int faces = ClampCount(a->faceCount, kMaxBrushFaces);
    const char *placeA = (const char *)&a->origin, *placeB = (const char *)&b->origin;
    const char *facesA = (const char *)&a->faceCount, *facesB = (const char *)&b->faceCount;
    return memcmp(placeA, placeB, (size_t)((const char *)&a->verts[verts] - placeA)) == 0 &&
           memcmp(facesA, facesB, (size_t)((const char *)&a->faces[faces] - facesA)) == 0;
}

static void EntryUnload(MeshCacheEntry *entry)
{
    if (!entry->valid) return;
    UnloadMesh(entry->mesh);
    memset(&entry->mesh, 0, sizeof(entry->mesh));
    entry->valid = false;
}

// A damaged index reads the local origin rather than memory beyond the vertex table.
static Vector3 BrushVertLocal(const Brush *brush, int i)
{
    if (i < 0 || i >= ClampCount(brush->vertCount, kMaxBrushVerts)) return Vector3{ 0.0f, 0.0f, 0.0f };
    return brush->verts[i];
}
