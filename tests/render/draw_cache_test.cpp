// The per-brush drawing cache after edits, the rebuild rule, and the view-volume test. That the
// cache draws what the records draw is checked on screen (tests/e2e/view_cache_e2e.py).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "document/brush_geometry.h"
#include "rlgl.h"   // after raylib.h (through brush_geometry.h), which defines Matrix
#include "document/primitives.h"
#include "render/draw_cache.h"

// The kept entry must equal one built afresh from the record as it is now: a field left out of
// the hash leaves a stale entry behind.
static void ExpectCacheIsFresh(const BrushDrawCache &cache, const Brush &b)
{
    static BrushDrawCache fresh;
    BrushDrawCacheBuild(&fresh, &b, 0);
    ASSERT_EQ(cache.faceCount, fresh.faceCount);
    ASSERT_EQ(cache.edgeCount, fresh.edgeCount);
    ASSERT_EQ(cache.groupCount, fresh.groupCount);
    int corners = 0;
    for (int f = 0; f < fresh.faceCount; f++) corners += fresh.faces[f].count;
    EXPECT_EQ(memcmp(cache.faces, fresh.faces, sizeof(CachedFace) * fresh.faceCount), 0);
    EXPECT_EQ(memcmp(cache.cornerPoint, fresh.cornerPoint, sizeof(int16_t) * corners), 0);
    EXPECT_EQ(memcmp(cache.cornerUV, fresh.cornerUV, sizeof(Vector2) * corners), 0);
    EXPECT_EQ(memcmp(cache.edges, fresh.edges, sizeof(cache.edges[0]) * fresh.edgeCount), 0);
    EXPECT_EQ(memcmp(cache.points, fresh.points, sizeof(Vector3) * ClampCount(b.vertCount, kMaxBrushVerts)), 0);
    EXPECT_EQ(memcmp(&cache.points[kMaxBrushVerts], &b.origin, sizeof(Vector3)), 0);
    EXPECT_EQ(memcmp(&cache.bounds, &fresh.bounds, sizeof(BoundingBox)), 0);
}

// One random edit of every kind drawing reads, and some it does not.
static void RandomEdit(Brush *b, std::mt19937 &rng)
{
    std::uniform_real_distribution<float> u(-3.0f, 3.0f);
    int faces = std::max(1, b->faceCount), verts = std::max(1, b->vertCount);
    BrushFace *face = &b->faces[rng() % faces];
    switch (rng() % 14) {
    case 0: b->origin = Vector3Add(b->origin, Vector3{ u(rng), u(rng), u(rng) }); break;
    case 1: b->rotation.x = 30 * u(rng); break;
    case 2: b->verts[rng() % verts] = Vector3{ u(rng), u(rng), u(rng) }; break;
    case 3: face->uvScale[rng() % 2] = 0.5f + fabsf(u(rng)); break;
    case 4: face->uvOffset[rng() % 2] = u(rng); break;
    case 5: face->uvRotation = 30 * u(rng); break;
    case 6: face->projection = (uint8_t)((face->projection + 1) % 3); break;
    case 7: face->flipV = !face->flipV; break;
    case 8: face->tint.g = (unsigned char)rng(); break;
    case 9: FaceReverse(face); break;
    case 10: if (b->faceCount > 1) b->faceCount--; break;
    case 11: face->indices[0] = (rng() % 2) ? b->vertCount + 3 : -1; break;   // a damaged corner
    case 12: b->rotation.z = 30 * u(rng); break;
    default: b->colour = Color{ (unsigned char)rng(), 0, 0, 255 }; b->physics = !b->physics; break;
    }
}

TEST(DrawCache, CachedGeometryEqualsTheRecordAfterEveryKindOfEdit)
{
    std::mt19937 rng(16);
    DrawCacheClear();
    for (int round = 0; round < 40; round++) {
        Brush b;
        BrushInit(&b, round % kBrushShapeCount, Vector3{ 1, 2, 3 }, Vector3{ 2, 3, 2 }, 0);
        const int slot = round % 7;
        BrushDrawCacheUpdate(slot, &b);
        for (int step = 0; step < 25; step++) {
            RandomEdit(&b, rng);
            BrushDrawCacheUpdate(slot, &b);
            ExpectCacheIsFresh(gBrushDrawCache[slot], b);
            if (HasFailure()) return;
        }
    }
}

TEST(DrawCache, OnlyChangedBrushesAreRebuilt)
{
    static MapDoc map;
    map = MapDoc{};
    for (int i = 0; i < 10; i++) BrushInit(&map.brushes[i], i % kBrushShapeCount, Vector3{ 3.0f * i, 0, 0 }, Vector3{ 1, 1, 1 }, 0);
    map.brushCount = 10;
    DrawCacheClear();
    EXPECT_EQ(MapDrawCacheUpdate(&map), 10);
    int before = gBrushCacheRebuilds;
    EXPECT_EQ(MapDrawCacheUpdate(&map), 0);
    // Fields drawing does not read leave the cache alone.
    map.brushes[2].hidden = 1;
    map.brushes[3].colour = RED;
    map.brushes[4].mass = 9.0f;
    snprintf(map.brushes[5].name, kNameLen, "renamed");
    EXPECT_EQ(MapDrawCacheUpdate(&map), 0);
    map.brushes[6].verts[0].y += 0.25f;
    map.brushes[7].rotation.y = 90.0f;
    EXPECT_EQ(MapDrawCacheUpdate(&map), 2);
    EXPECT_EQ(gBrushCacheRebuilds - before, 2);
    EXPECT_EQ(gBrushDrawCache[0].edgeCount, 12);   // a box: 24 face edges, each shared, kept once
    ExpectCacheIsFresh(gBrushDrawCache[6], map.brushes[6]);
    // A slot taken over by another brush (a deletion shifts the slots down) is rebuilt.
    map.brushes[1] = map.brushes[8];
    EXPECT_EQ(MapDrawCacheUpdate(&map), 1);
    ExpectCacheIsFresh(gBrushDrawCache[1], map.brushes[1]);
}

TEST(ViewVolume, BoxesWhollyOutsideAreRejected)
{
    // An orthographic Top camera: 10 x 10 units around the origin, looking down from y = 20.
    rlSetMatrixProjection(MatrixOrtho(-5, 5, -5, 5, 0.01, 1000));
    rlSetMatrixModelview(MatrixLookAt(Vector3{ 0, 20, 0 }, Vector3{ 0, 0, 0 }, Vector3{ 0, 0, -1 }));
    ViewVolume v = ViewVolumeCurrent();
    auto box = [](float x0, float z0, float x1, float z1) { return BoundingBox{ { x0, -1, z0 }, { x1, 1, z1 } }; };
    EXPECT_TRUE(ViewVolumeHasBox(&v, box(-1, -1, 1, 1)));
    EXPECT_TRUE(ViewVolumeHasBox(&v, box(4, 4, 9, 9)));          // straddles a corner
    EXPECT_TRUE(ViewVolumeHasBox(&v, box(-50, -1, 50, 1)));      // crosses the view, no corner inside
    EXPECT_FALSE(ViewVolumeHasBox(&v, box(5.5f, -1, 8, 1)));
    EXPECT_FALSE(ViewVolumeHasBox(&v, box(-1, -9, 1, -5.5f)));
    EXPECT_FALSE(ViewVolumeHasBox(&v, BoundingBox{ { -1, 21, -1 }, { 1, 22, 1 } }));   // behind the camera
}
