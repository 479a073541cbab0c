// mesh_batch.h: the brush meshes merged into a few world-space batches for the GPU passes.
//
// Drawing each brush mesh on its own costs a draw per brush in every pass, which a software GL
// pays for more than for the triangles. The brush slots are cut into fixed chunks; in each chunk
// the brushes sharing a texture become one batch of world-space triangles whose vertex colours are
// the brushes' colours, drawn with an identity model matrix. A chunk is rebuilt only when one of
// its brushes changed what its batch holds (its mesh, transform, colour or texture); the others
// keep their uploaded buffers. The batches are merged from the mesh cache's own arrays, so its
// rules on re-baking are unchanged. Building (CPU) and uploading (GL) are separate steps.
#pragma once

#include <cstdint>
#include "raylib.h"
#include "document/map_records.h"
#include "render/mesh_cache.h"

constexpr int kBatchChunkBrushes = 32;                              // brush slots per chunk
constexpr int kBatchChunks = kMaxBrushes / kBatchChunkBrushes;
constexpr int kMaxChunkBatches = kBatchChunkBrushes;                // one texture per brush at worst
static_assert(kBatchChunks * kBatchChunkBrushes == kMaxBrushes, "chunks cover every brush slot");

struct BrushBatch {
    Mesh mesh;                   // world positions, normals, texture coordinates, colours
    Texture2D texture;           // what map 0 carries while the batch is drawn
    BoundingBox bounds;          // of its world positions
};

struct BatchChunk {
    uint64_t key;                // BatchChunkKey when built
    int32_t built;
    int32_t batchCount;
    BrushBatch batches[kMaxChunkBatches];   // in the order the chunk's textures first appear
};

extern BatchChunk gBatchChunks[kBatchChunks];

// The texture a brush mesh is drawn with: the brush's texture when usable, else the default one.
Texture2D BrushMeshTexture(const Brush *brush);
// Hash of what chunk `chunk`'s batches are built from: for each slot of it in use, the cache
// entry (valid, hash, triangles) and the brush's transform, colour and texture.
uint64_t BatchChunkKey(const MapDoc *map, const MeshCacheEntry *entries, int chunk);
// Rebuilds the chunk's batches on the CPU when its key changed (releasing the old ones); returns
// 1 when it rebuilt, 0 when it was current or failed (left unbuilt, tried again next time).
int BatchChunkUpdate(const MapDoc *map, const MeshCacheEntry *entries, int chunk);
// Brings every chunk up to date with the map and gMeshCache and uploads what was rebuilt; returns
// the number of chunks rebuilt. Needs the GL context.
int SyncBrushBatches(const MapDoc *map);
// Releases every batch (uploaded or not) and clears every chunk.
void FreeBrushBatches(void);
