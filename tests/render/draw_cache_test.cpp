// The per-brush drawing cache against geometry computed straight from the record, the rebuild
// rule, and the view-volume test.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <utility>

#include "document/brush_geometry.h"
#include "rlgl.h"   // after raylib.h (through brush_geometry.h), which defines Matrix
#include "document/primitives.h"
#include "render/draw_cache.h"
#include "render/gizmos.h"
#include "render/texture_mapping.h"

static constexpr float kTol = 1e-4f;

static bool Near(Vector3 a, Vector3 b)
{
    return Vector3Distance(a, b) <= kTol * (1.0f + Vector3Length(a));
}

// The cache must hold exactly what drawing the record straight would draw: each face of 3 or
// more corners once, at BrushVertWorld's positions, with FaceVertexUV's coordinates, and every
// face edge once.
static void ExpectCacheMatchesRecord(const BrushDrawCache &cache, const Brush &b)
{
    int faces = ClampCount(b.faceCount, kMaxBrushFaces), drawable = 0;
    std::set<std::pair<int, int>> edgeSet;
    for (int f = 0; f < faces; f++) {
        const BrushFace *face = &b.faces[f];
        int n = FaceCornerCount(face);
        for (int k = 0; k < n; k++) {
            int a = face->indices[k], c = face->indices[(k + 1) % n];
            a = (a >= 0 && a < b.vertCount) ? a : kMaxBrushVerts;
            c = (c >= 0 && c < b.vertCount) ? c : kMaxBrushVerts;
            edgeSet.insert({ std::min(a, c), std::max(a, c) });
        }
        if (n < kMinFaceCorners) continue;
        drawable++;
        // Find the cached face that starts at this face's first corner with this normal.
        Vector3 axisU, axisV;
        FaceTextureAxes(FaceUVNormal(&b, face), &axisU, &axisV);
        float minU = 0, rangeU = 1, minV = 0, rangeV = 1;
        if (face->projection == PROJ_FIT) FaceFitBounds(&b, face, axisU, axisV, &minU, &rangeU, &minV, &rangeV);
        int found = 0;
        for (int cf = 0; cf < cache.faceCount && !found; cf++) {
            const CachedFace &c = cache.faces[cf];
            if (c.count != n || !Near(c.normal, FaceNormalWorld(&b, face))) continue;
            bool same = true;
            for (int k = 0; k < n && same; k++) {
                Vector2 uv = FaceVertexUV(&b, face, face->indices[k], axisU, axisV, minU, rangeU, minV, rangeV);
                same = Near(cache.points[cache.cornerPoint[c.cornerStart + k]], BrushVertWorld(&b, face->indices[k])) &&
                       fabsf(cache.cornerUV[c.cornerStart + k].x - uv.x) <= kTol * (1 + fabsf(uv.x)) &&
                       fabsf(cache.cornerUV[c.cornerStart + k].y - uv.y) <= kTol * (1 + fabsf(uv.y));
            }
            found = same && c.tint.r == face->tint.r && c.tint.g == face->tint.g && c.tint.a == face->tint.a;
        }
        EXPECT_TRUE(found) << "face " << f;
    }
    EXPECT_EQ(cache.faceCount, drawable);
    ASSERT_EQ(cache.edgeCount, (int)edgeSet.size());
    for (int e = 0; e < cache.edgeCount; e++) {
        EXPECT_EQ(edgeSet.count({ cache.edges[e][0], cache.edges[e][1] }), 1u);
        for (int s = 0; s < 2; s++) {
            Vector3 p = cache.points[cache.edges[e][s]];
            EXPECT_TRUE(p.x >= cache.bounds.min.x - kTol && p.x <= cache.bounds.max.x + kTol);
            EXPECT_TRUE(p.y >= cache.bounds.min.y - kTol && p.z <= cache.bounds.max.z + kTol);
        }
    }
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
            ExpectCacheMatchesRecord(gBrushDrawCache[slot], b);
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
    ExpectCacheMatchesRecord(gBrushDrawCache[6], map.brushes[6]);
    // A slot taken over by another brush (a deletion shifts the slots down) is rebuilt.
    map.brushes[1] = map.brushes[8];
    EXPECT_EQ(MapDrawCacheUpdate(&map), 1);
    ExpectCacheMatchesRecord(gBrushDrawCache[1], map.brushes[1]);
}

TEST(DrawCache, SharedEdgesAreKeptOnce)
{
    Brush b;
    BrushInit(&b, SHAPE_CUBE, Vector3{ 0, 0, 0 }, Vector3{ 1, 1, 1 }, 0);
    BrushDrawCacheBuild(&gBrushDrawCache[0], &b, 1);
    EXPECT_EQ(gBrushDrawCache[0].edgeCount, 12);   // a box: 6 quads, 24 face edges, 12 unique
    EXPECT_EQ(gBrushDrawCache[0].faceCount, 6);
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
    // A perspective camera looking along -Z.
    rlSetMatrixProjection(MatrixPerspective(60 * DEG2RAD, 1.0, 0.01, 1000));
    rlSetMatrixModelview(MatrixLookAt(Vector3{ 0, 0, 10 }, Vector3{ 0, 0, 0 }, Vector3{ 0, 1, 0 }));
    v = ViewVolumeCurrent();
    EXPECT_TRUE(ViewVolumeHasBox(&v, BoundingBox{ { -1, -1, -1 }, { 1, 1, 1 } }));
    EXPECT_FALSE(ViewVolumeHasBox(&v, BoundingBox{ { 20, -1, -1 }, { 22, 1, 1 } }));
    EXPECT_FALSE(ViewVolumeHasBox(&v, BoundingBox{ { -1, -1, 12 }, { 1, 1, 14 } }));
}

TEST(GizmoSphere, EachSegmentOnceAndNoneOfNoLength)
{
    static Vector3 ends[512][2];
    for (int shape = 5; shape <= 6; shape++) {
        int n = SphereWireSegments(shape, shape, ends, 512);
        EXPECT_LT(n, 3 * (shape + 2) * shape * 9 / 10);   // the one-call sphere repeats segments
        for (int i = 0; i < n; i++) {
            EXPECT_GT(Vector3Distance(ends[i][0], ends[i][1]), 1e-3f);
            EXPECT_NEAR(Vector3Length(ends[i][0]), 1.0f, 1e-4f);
            for (int j = 0; j < i; j++) {
                bool same = (Near(ends[i][0], ends[j][0]) && Near(ends[i][1], ends[j][1])) ||
                            (Near(ends[i][0], ends[j][1]) && Near(ends[i][1], ends[j][0]));
                EXPECT_FALSE(same) << i << " repeats " << j;
            }
        }
    }
}
