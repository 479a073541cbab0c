// The merged brush batches after random edits, on the CPU (the upload needs OpenGL; the images are
// compared in tests/gpu/render_view_gpu_test.cpp).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "document/brush_geometry.h"
#include "document/primitives.h"
#include "project/assets.h"
#include "render/mesh_batch.h"

namespace {

constexpr int kTextures = 3;
constexpr unsigned int kFirstTextureId = 50;

MeshCacheEntry entries[kMaxBrushes];
MapDoc map;

// What SyncBrushMeshes does to the cache, without the upload.
void SyncEntries()
{
    for (int i = 0; i < kMaxBrushes; i++) {
        MeshCacheEntry *e = &entries[i];
        uint32_t h = i < map.brushCount ? BrushGeometryHash(&map.brushes[i]) : 0;
        if (i < map.brushCount && e->valid && e->hash == h) continue;
        MemFree(e->mesh.vertices);
        MemFree(e->mesh.normals);
        MemFree(e->mesh.texcoords);
        memset(e, 0, sizeof(*e));
        if (i >= map.brushCount) continue;
        e->valid = BrushMeshFill(&map.brushes[i], &e->mesh) != 0;
        e->triangleCount = e->mesh.triangleCount;
        e->hash = h;
    }
}

// The chunk's batches must be its brushes' own meshes moved into the world, one batch per texture
// in the order the textures first appear, the brushes in slot order, coloured with their colours.
void ExpectChunkMatchesTheBrushes(int chunk)
{
    const BatchChunk &c = gBatchChunks[chunk];
    std::vector<unsigned int> textures;
    std::vector<std::vector<float>> expected;   // per batch: x y z nx ny nz u v r g b a
    for (int i = chunk * kBatchChunkBrushes; i < (chunk + 1) * kBatchChunkBrushes && i < map.brushCount; i++) {
        if (!entries[i].valid) continue;
        const Brush &b = map.brushes[i];
        unsigned int id = BrushMeshTexture(&b).id;
        size_t k = 0;
        while (k < textures.size() && textures[k] != id) k++;
        if (k == textures.size()) {
            textures.push_back(id);
            expected.emplace_back();
        }
        const Mesh &m = entries[i].mesh;
        for (int v = 0; v < m.vertexCount; v++) {
            Vector3 p = BrushPointWorld(&b, Vector3{ m.vertices[v * 3], m.vertices[v * 3 + 1], m.vertices[v * 3 + 2] });
            Vector3 n = Vector3Subtract(BrushPointWorld(&b, Vector3{ m.normals[v * 3], m.normals[v * 3 + 1],
                                                                     m.normals[v * 3 + 2] }), b.origin);
            expected[k].insert(expected[k].end(), { p.x, p.y, p.z, n.x, n.y, n.z, m.texcoords[v * 2],
                                                    m.texcoords[v * 2 + 1], (float)b.colour.r, (float)b.colour.g,
                                                    (float)b.colour.b, (float)b.colour.a });
        }
    }
    ASSERT_TRUE(c.built) << "chunk " << chunk;
    ASSERT_EQ(c.batchCount, (int)textures.size()) << "chunk " << chunk;
    for (int k = 0; k < c.batchCount; k++) {
        const Mesh &m = c.batches[k].mesh;
        EXPECT_EQ(c.batches[k].texture.id, textures[k]);
        ASSERT_EQ((size_t)m.vertexCount * 12, expected[k].size()) << "chunk " << chunk << " batch " << k;
        for (int v = 0; v < m.vertexCount; v++) {
            const float got[12] = { m.vertices[v * 3], m.vertices[v * 3 + 1], m.vertices[v * 3 + 2], m.normals[v * 3],
                                    m.normals[v * 3 + 1], m.normals[v * 3 + 2], m.texcoords[v * 2],
                                    m.texcoords[v * 2 + 1], (float)m.colors[v * 4], (float)m.colors[v * 4 + 1],
                                    (float)m.colors[v * 4 + 2], (float)m.colors[v * 4 + 3] };
            for (int f = 0; f < 12; f++) ASSERT_NEAR(got[f], expected[k][v * 12 + f], 1e-4f) << "vertex " << v;
            Vector3 p = { got[0], got[1], got[2] };
            EXPECT_TRUE(Vector3Equals(Vector3Clamp(p, c.batches[k].bounds.min, c.batches[k].bounds.max), p));
        }
    }
}

// Edits one brush in a way a batch shows (place, look, shape) or does not (name, physics, hidden).
void RandomEdit(Brush *b, std::mt19937 &rng)
{
    std::uniform_real_distribution<float> u(-3.0f, 3.0f);
    unsigned verts = (unsigned)std::max(1, b->vertCount), faces = (unsigned)std::max(1, b->faceCount);
    switch (rng() % 7) {
    case 0: b->origin = Vector3Add(b->origin, Vector3{ u(rng), u(rng), u(rng) }); break;
    case 1: b->rotation = Vector3{ u(rng) * 30.0f, u(rng) * 30.0f, u(rng) * 30.0f }; break;
    case 2: b->colour = Color{ (unsigned char)rng(), (unsigned char)rng(), (unsigned char)rng(), 255 }; break;
    case 3: b->texture = (int)(rng() % (kTextures + 2)) - 1; break;   // -1 and kTextures are not usable
    case 4: b->verts[rng() % verts].y += u(rng); break;
    case 5: b->faceCount = (int)(rng() % faces); break;   // may leave no triangles
    default: b->name[0] = 'N'; b->physics ^= 1; b->hidden ^= 1; break;
    }
}

}  // namespace

TEST(MeshBatch, AfterRandomEditsTheBatchesHoldTheBrushMeshesAndOnlyEditedChunksAreRebuilt)
{
    memset(&gAssets, 0, sizeof(gAssets));
    gAssets.textureCount = kTextures;
    for (int t = 0; t < kTextures; t++) gAssets.textures[t] = TextureAsset{};
    for (int t = 0; t < kTextures; t++) {
        gAssets.textures[t].loaded = true;
        gAssets.textures[t].texture.id = kFirstTextureId + (unsigned)t;
    }
    std::mt19937 rng(28);
    memset(&map, 0, sizeof(map));
    for (int i = 0; i < 150; i++) {
        BrushInit(&map.brushes[i], i % kBrushShapeCount, Vector3{ (float)(i % 12), 0, (float)(i / 12) }, Vector3{ 1, 1, 1 },
                  (int)(rng() % kTextures));
        map.brushes[i].colour = Color{ (unsigned char)i, 100, 200, 255 };
    }
    map.brushCount = 150;

    for (int round = 0; round < 60; round++) {
        int firstTouched = kMaxBrushes;
        if (round % 10 == 9 && map.brushCount > 1) {
            firstTouched = (int)(rng() % (unsigned)map.brushCount);   // later brushes move down a slot
            MapRemoveBrush(&map, firstTouched);
        } else if (round > 0) {
            int chunk = (int)(rng() % (unsigned)(map.brushCount / kBatchChunkBrushes + 1));
            for (int e = 0; e < 3; e++) {
                int i = chunk * kBatchChunkBrushes + (int)(rng() % kBatchChunkBrushes);
                if (i >= map.brushCount) continue;
                RandomEdit(&map.brushes[i], rng);
                firstTouched = std::min(firstTouched, i);
            }
        }
        SyncEntries();
        for (int c = 0; c < kBatchChunks; c++) {
            int rebuilt = BatchChunkUpdate(&map, entries, c);
            if (round > 0 && (c + 1) * kBatchChunkBrushes <= firstTouched) {
                EXPECT_EQ(rebuilt, 0) << "round " << round;
            }
            ExpectChunkMatchesTheBrushes(c);
            EXPECT_EQ(BatchChunkUpdate(&map, entries, c), 0);   // current now
        }
    }
    FreeBrushBatches();
    map.brushCount = 0;
    SyncEntries();
    memset(&gAssets, 0, sizeof(gAssets));
}
