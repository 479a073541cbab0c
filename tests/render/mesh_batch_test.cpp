// The merged brush batches after random edits, on the CPU (the upload needs OpenGL; the images are
// compared in tests/gpu/render_view_gpu_test.cpp).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "document/brush_geometry.h"
#include "document/primitives.h"
#include "project/assets.h"
#include "render/mesh_batch.h"

static MeshCacheEntry entries[kMaxBrushes];
static MapDoc map;

// What SyncBrushMeshes does to the cache, without the upload.
static void SyncEntries()
{
    for (int i = 0; i < kMaxBrushes; i++) {
        MeshCacheEntry *e = &entries[i];
        uint32_t h = i < map.brushCount ? BrushGeometryHash(&map.brushes[i]) : 0;
        if (i < map.brushCount && e->valid && e->hash == h) continue;
        MemFree(e->mesh.vertices);
        MemFree(e->mesh.normals);
        MemFree(e->mesh.texcoords);
        memset(e, 0, sizeof(*e));
        if (i < map.brushCount) e->valid = BrushMeshFill(&map.brushes[i], &e->mesh) != 0;
        e->hash = h;
        e->triangleCount = e->mesh.triangleCount;
    }
}

// Each batch of the chunk must be, in slot order, the meshes of the chunk's brushes drawn with its
// texture, moved into the world and coloured with their brushes' colours; nothing else.
static void ExpectChunkHoldsItsBrushes(int chunk)
{
    const BatchChunk &c = gBatchChunks[chunk];
    ASSERT_TRUE(c.built);
    int vertices = 0, filled[kMaxChunkBatches] = {};
    for (int i = chunk * kBatchChunkBrushes; i < std::min(map.brushCount, (chunk + 1) * kBatchChunkBrushes); i++) {
        if (!entries[i].valid) continue;
        const Brush &b = map.brushes[i];
        int k = 0;
        while (k < c.batchCount && c.batches[k].texture.id != BrushMeshTexture(&b).id) k++;
        ASSERT_LT(k, c.batchCount) << "slot " << i;
        const Mesh &local = entries[i].mesh, &m = c.batches[k].mesh;
        for (int v = 0; v < local.vertexCount; v++) {
            const int o = filled[k] + v;
            ASSERT_LT(o, m.vertexCount);
            Vector3 p = BrushPointWorld(&b, Vector3{ local.vertices[v * 3], local.vertices[v * 3 + 1], local.vertices[v * 3 + 2] });
            Vector3 n = Vector3Subtract(BrushPointWorld(&b, Vector3{ local.normals[v * 3], local.normals[v * 3 + 1],
                                                                     local.normals[v * 3 + 2] }), b.origin);
            EXPECT_LT(Vector3Distance(p, Vector3{ m.vertices[o * 3], m.vertices[o * 3 + 1], m.vertices[o * 3 + 2] }), 1e-4f);
            EXPECT_LT(Vector3Distance(n, Vector3{ m.normals[o * 3], m.normals[o * 3 + 1], m.normals[o * 3 + 2] }), 1e-4f);
            EXPECT_EQ(memcmp(&m.texcoords[o * 2], &local.texcoords[v * 2], 2 * sizeof(float)), 0);
            EXPECT_EQ(memcmp(&m.colors[o * 4], &b.colour, 4), 0);
            EXPECT_TRUE(Vector3Equals(Vector3Clamp(p, c.batches[k].bounds.min, c.batches[k].bounds.max), p));
        }
        filled[k] += local.vertexCount;
        vertices += local.vertexCount;
    }
    for (int k = 0; k < c.batchCount; k++) {
        EXPECT_EQ(filled[k], c.batches[k].mesh.vertexCount) << "batch " << k;   // no batch left empty or short
        vertices -= c.batches[k].mesh.vertexCount;
    }
    EXPECT_EQ(vertices, 0);
}

TEST(MeshBatch, AfterRandomEditsTheBatchesHoldTheBrushMeshesAndOnlyEditedChunksAreRebuilt)
{
    constexpr int kTextures = 3;                // -1 and kTextures stand for unusable ones
    memset(&gAssets, 0, sizeof(gAssets));
    gAssets.textureCount = kTextures;
    for (int t = 0; t < kTextures; t++) {
        gAssets.textures[t].loaded = true;
        gAssets.textures[t].texture.id = 50u + (unsigned)t;
    }
    std::mt19937 rng(28);
    std::uniform_real_distribution<float> u(-3.0f, 3.0f);
    memset(&map, 0, sizeof(map));
    for (int i = 0; i < 150; i++) {
        BrushInit(&map.brushes[i], i % kBrushShapeCount, Vector3{ (float)(i % 12), 0, (float)(i / 12) },
                  Vector3{ 1, 1, 1 }, (int)(rng() % kTextures));
        // Local faces are not re-baked when their brush moves: only the batch sees the move.
        for (int f = 0; f < map.brushes[i].faceCount && i % 2 == 1; f++) map.brushes[i].faces[f].projection = PROJ_LOCAL;
    }
    map.brushCount = 150;

    for (int round = 0; round < 60; round++) {
        int firstTouched = kMaxBrushes;
        if (round % 10 == 9) {                  // a deletion moves every later brush down a slot
            firstTouched = (int)(rng() % (unsigned)map.brushCount);
            MapRemoveBrush(&map, firstTouched);
        } else if (round > 0) {                 // up to three edits inside one chunk
            int chunk = (int)(rng() % (unsigned)(map.brushCount / kBatchChunkBrushes + 1));
            for (int e = 0; e < 3; e++) {
                int i = chunk * kBatchChunkBrushes + (int)(rng() % kBatchChunkBrushes);
                if (i >= map.brushCount) continue;
                Brush *b = &map.brushes[i];
                firstTouched = std::min(firstTouched, i);
                switch (rng() % 7) {
                case 0: b->origin = Vector3Add(b->origin, Vector3{ u(rng), u(rng), u(rng) }); break;
                case 1: b->rotation = Vector3{ u(rng) * 30.0f, u(rng) * 30.0f, u(rng) * 30.0f }; break;
                case 2: b->colour = Color{ (unsigned char)rng(), (unsigned char)rng(), (unsigned char)rng(), 255 }; break;
                case 3: b->texture = (int)(rng() % (kTextures + 2)) - 1; break;
                case 4: b->verts[rng() % (unsigned)std::max(1, b->vertCount)].y += u(rng); break;
                case 5: b->faceCount = (int)(rng() % (unsigned)std::max(1, b->faceCount)); break;   // maybe no triangles
                default: b->name[0] = 'N'; b->physics ^= 1; b->hidden ^= 1; break;                  // not in a batch
                }
            }
        }
        SyncEntries();
        for (int c = 0; c < kBatchChunks; c++) {
            int rebuilt = BatchChunkUpdate(&map, entries, c);
            if (round > 0 && (c + 1) * kBatchChunkBrushes <= firstTouched) {
                EXPECT_EQ(rebuilt, 0) << "round " << round << ", chunk " << c;
            }
            ExpectChunkHoldsItsBrushes(c);
            EXPECT_EQ(BatchChunkUpdate(&map, entries, c), 0);   // current now
        }
    }
    FreeBrushBatches();
    map.brushCount = 0;
    SyncEntries();
    memset(&gAssets, 0, sizeof(gAssets));
}
