// The mesh cache's hash and triangle count; baking needs OpenGL and is tested in tests/gpu.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "document/primitives.h"
#include "render/mesh_cache.h"
#include "tests/support/brush_check.h"

static Brush Cube(int projection)
{
    Brush b;
    memset(&b, 0, sizeof(b));
    BrushInit(&b, SHAPE_CUBE, Vector3{ 1, 2, 3 }, Vector3{ 2, 2, 2 }, 0);
    for (int f = 0; f < b.faceCount; f++) b.faces[f].projection = (uint8_t)projection;
    return b;
}

TEST(MeshCacheHash, ChangesExactlyWhenABakedFieldChanges)
{
    const struct { const char *what; bool changes; std::function<void(Brush &)> edit; } edits[] = {
        { "vertex", true, [](Brush &b) { b.verts[3].y += 0.5f; } },
        { "vertex count", true, [](Brush &b) { b.vertCount++; } },
        { "face count", true, [](Brush &b) { b.faceCount--; } },
        { "corner order", true, [](Brush &b) { std::swap(b.faces[2].indices[0], b.faces[2].indices[1]); } },
        { "face texture", true, [](Brush &b) { b.faces[1].texture = 3; } },
        { "uv scale, offset", true, [](Brush &b) { b.faces[0].uvScale[1] = 4; b.faces[0].uvOffset[0] = 1; } },
        { "uv rotation", true, [](Brush &b) { b.faces[4].uvRotation = 90.0f; } },
        { "projection", true, [](Brush &b) { b.faces[4].projection ^= 3; } },   // Local and Fit swap
        { "flip U", true, [](Brush &b) { b.faces[3].flipU = 1; } },
        { "flip V", true, [](Brush &b) { b.faces[3].flipV = 1; } },
        { "tint (not in the mesh)", true, [](Brush &b) { b.faces[0].tint.g = 7; } },
        { "brush colour and texture", false, [](Brush &b) { b.colour = RED; b.texture = 9; } },
        { "name, hidden, physics", false, [](Brush &b) { b.name[0] = 'Z'; b.hidden = 1; b.physics = 1; b.mass = 5; } },
        { "move and turn", false, [](Brush &b) { b.origin.x += 4.0f; b.rotation.y = 30.0f; } },
        { "unused slots", false, [](Brush &b) {
              b.verts[kMaxBrushVerts - 1].x = 9.0f;
              b.faces[kMaxBrushFaces - 1].tint.r = 1;
              b.faces[0].indices[kMaxFaceCorners - 1] = 5;
          } },
    };
    for (int projection : { PROJ_LOCAL, PROJ_FIT }) {
        const Brush base = Cube(projection);
        for (const auto &e : edits) {
            Brush b = base;
            e.edit(b);
            EXPECT_EQ(BrushGeometryHash(&b) != BrushGeometryHash(&base), e.changes) << e.what << ", " << projection;
        }
        // One World face takes its coordinates from world positions: now a move or a turn counts.
        Brush world = base;
        world.faces[2].projection = PROJ_WORLD;
        for (Vector3 *field : { &world.origin, &world.rotation }) {
            Brush moved = world;
            (field == &world.origin ? moved.origin : moved.rotation).z += 1.0f;
            EXPECT_NE(BrushGeometryHash(&moved), BrushGeometryHash(&world)) << projection;
        }
    }
}

TEST(MeshCacheHash, IsFnv1aAndReadsDamagedCountsWithinTheTables)
{
    Brush b;
    memset(&b, 0, sizeof(b));
    uint32_t expect = kFnvOffsetBasis;
    for (int i = 0; i < 8; i++) expect *= kFnvPrime;   // two zero counts: eight zero bytes
    EXPECT_EQ(BrushGeometryHash(&b), expect);
    b.vertCount = 1000;
    b.faceCount = 1000;
    b.faces[0].count = 1000;
    EXPECT_NE(BrushGeometryHash(&b), expect);
}

TEST(MeshCacheTriangles, FacesWithMoreThanTwoCornersCount)
{
    Brush prism = Prism16();
    EXPECT_EQ(BrushTriangleCount(&prism), 16 * 2 + 2 * 14);
    prism.faces[0].count = 2;                 // a sliver: no triangle
    prism.faces[1].count = 99;                // damaged: read as 16 corners
    EXPECT_EQ(BrushTriangleCount(&prism), 16 * 2 + 2 * 14 - 2 + (14 - 2));
}
