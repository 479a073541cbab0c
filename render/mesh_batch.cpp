// mesh_batch.cpp: merging the cached brush meshes into per-chunk, per-texture world-space batches.
#include "render/mesh_batch.h"

#include <cstring>

#include "raymath.h"
#include "rlgl.h"
#include "document/brush_geometry.h"
#include "project/assets.h"
#include "render/draw_cache.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
BatchChunk gBatchChunks[kBatchChunks];

static constexpr uint64_t kChunkKeySeed = 0xB5AD4ECEDA1CE2A9ull;

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static int ChunkSlots(const MapDoc *map, int chunk, int *first);
static void ChunkRelease(BatchChunk *chunk);
static int BatchAlloc(Mesh *mesh, int vertexCount);
static void BatchAppendBrush(Mesh *batch, int at, const Brush *brush, const Mesh *local);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
Texture2D BrushMeshTexture(const Brush *brush)
{
    if (AssetTextureUsable(brush->texture)) return gAssets.textures[brush->texture].texture;
    return Texture2D{ rlGetTextureIdDefault(), 1, 1, 1, PIXELFORMAT_UNCOMPRESSED_R8G8B8A8 };
}

uint64_t BatchChunkKey(const MapDoc *map, const MeshCacheEntry *entries, int chunk)
{
    int first, end = ChunkSlots(map, chunk, &first);
    int used = end - first;
    uint64_t h = HashBytes(kChunkKeySeed, &used, (int)sizeof(used));
    for (int i = first; i < end; i++) {
        const Brush *b = &map->brushes[i];
        const MeshCacheEntry *e = &entries[i];
        const uint32_t mesh[4] = { (uint32_t)e->valid, e->hash, (uint32_t)e->triangleCount,
                                   BrushMeshTexture(b).id };
        const Vector3 place[2] = { b->origin, b->rotation };
        h = HashBytes(h, mesh, (int)sizeof(mesh));
        h = HashBytes(h, place, (int)sizeof(place));
        h = HashBytes(h, &b->colour, (int)sizeof(b->colour));
    }
    return h;
}

int BatchChunkUpdate(const MapDoc *map, const MeshCacheEntry *entries, int chunk)
{
    if (chunk < 0 || chunk >= kBatchChunks) return 0;
    BatchChunk *c = &gBatchChunks[chunk];
    uint64_t key = BatchChunkKey(map, entries, chunk);
    if (c->built && c->key == key) return 0;
    ChunkRelease(c);

    // Which batch each brush joins, and how many vertices each batch gets.
    int first, end = ChunkSlots(map, chunk, &first);
    int batchOf[kBatchChunkBrushes], vertices[kMaxChunkBatches] = {};
    for (int i = first; i < end; i++) {
        batchOf[i - first] = -1;
        const Mesh *local = &entries[i].mesh;
        if (!entries[i].valid || local->vertices == nullptr || local->normals == nullptr || local->texcoords == nullptr) continue;
        Texture2D t = BrushMeshTexture(&map->brushes[i]);
        int b = 0;
        while (b < c->batchCount && c->batches[b].texture.id != t.id) b++;
        if (b == c->batchCount) c->batches[c->batchCount++].texture = t;
        batchOf[i - first] = b;
        vertices[b] += local->vertexCount;
    }
    for (int b = 0; b < c->batchCount; b++) {
        if (BatchAlloc(&c->batches[b].mesh, vertices[b])) continue;
        ChunkRelease(c);
        return 0;
    }
    int filled[kMaxChunkBatches] = {};
    for (int i = first; i < end; i++) {
        int b = batchOf[i - first];
        if (b < 0) continue;
        BatchAppendBrush(&c->batches[b].mesh, filled[b], &map->brushes[i], &entries[i].mesh);
        filled[b] += entries[i].mesh.vertexCount;
    }
    for (int b = 0; b < c->batchCount; b++) c->batches[b].bounds = GetMeshBoundingBox(c->batches[b].mesh);
    c->key = key;
    c->built = 1;
    return 1;
}

int SyncBrushBatches(const MapDoc *map)
{
    int rebuilt = 0;
    for (int c = 0; c < kBatchChunks; c++) {
        if (!BatchChunkUpdate(map, gMeshCache, c)) continue;
        for (int b = 0; b < gBatchChunks[c].batchCount; b++) UploadMesh(&gBatchChunks[c].batches[b].mesh, false);
        rebuilt++;
    }
    return rebuilt;
}

void FreeBrushBatches(void)
{
    for (BatchChunk &c : gBatchChunks) ChunkRelease(&c);
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// The chunk's first slot in *first; returns the end of its slots in use (first when none is).
static int ChunkSlots(const MapDoc *map, int chunk, int *first)
{
    *first = chunk * kBatchChunkBrushes;
    int end = ClampCount(map->brushCount, kMaxBrushes);
    if (end > *first + kBatchChunkBrushes) end = *first + kBatchChunkBrushes;
    return end > *first ? end : *first;
}

// An uploaded batch is unloaded with its arrays; one only built on the CPU has just its arrays.
static void ChunkRelease(BatchChunk *chunk)
{
    for (int b = 0; b < chunk->batchCount; b++) {
        Mesh *m = &chunk->batches[b].mesh;
        if (m->vboId != nullptr) {
            UnloadMesh(*m);
        } else {
            MemFree(m->vertices);
            MemFree(m->normals);
            MemFree(m->texcoords);
            MemFree(m->colors);
        }
    }
    memset(chunk->batches, 0, sizeof(chunk->batches));
    chunk->batchCount = 0;
    chunk->built = 0;
}

// The arrays of a batch of vertexCount vertices; 0 (nothing kept) when memory runs out.
static int BatchAlloc(Mesh *mesh, int vertexCount)
{
    memset(mesh, 0, sizeof(*mesh));
    unsigned int n = (unsigned int)vertexCount;
    mesh->vertexCount = vertexCount;
    mesh->triangleCount = vertexCount / 3;
    mesh->vertices = (float *)MemAlloc(sizeof(float) * 3 * n);
    mesh->normals = (float *)MemAlloc(sizeof(float) * 3 * n);
    mesh->texcoords = (float *)MemAlloc(sizeof(float) * 2 * n);
    mesh->colors = (unsigned char *)MemAlloc(4 * n);
    return (mesh->vertices && mesh->normals && mesh->texcoords && mesh->colors) ? 1 : 0;
}

// The brush's local mesh written into the batch from vertex `at` on, in world space: positions
// turned and moved as the model matrix would, normals turned, the brush colour on every vertex.
static void BatchAppendBrush(Mesh *batch, int at, const Brush *brush, const Mesh *local)
{
    bool rotated = BrushIsRotated(brush);
    Matrix rot = BrushRotMatrix(brush);
    for (int v = 0; v < local->vertexCount; v++) {
        Vector3 p = { local->vertices[v * 3], local->vertices[v * 3 + 1], local->vertices[v * 3 + 2] };
        Vector3 n = { local->normals[v * 3], local->normals[v * 3 + 1], local->normals[v * 3 + 2] };
        if (rotated) {
            p = Vector3Transform(p, rot);
            n = Vector3Transform(n, rot);
        }
        p = Vector3Add(p, brush->origin);
        const int o = at + v;
        memcpy(&batch->vertices[o * 3], &p, sizeof(p));
        memcpy(&batch->normals[o * 3], &n, sizeof(n));
        memcpy(&batch->texcoords[o * 2], &local->texcoords[v * 2], 2 * sizeof(float));
        memcpy(&batch->colors[o * 4], &brush->colour, 4);
    }
}
