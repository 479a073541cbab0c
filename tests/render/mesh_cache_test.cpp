// The mesh cache's hash and triangle count; baking needs OpenGL and is tested in tests/gpu.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "document/primitives.h"
#include "render/mesh_cache.h"
#include "tests/support/brush_check.h"

namespace {

Brush Cube(int projection)
{
    Brush b;
    memset(&b, 0, sizeof(b));
    BrushInit(&b, SHAPE_CUBE, Vector3{ 1, 2, 3 }, Vector3{ 2, 2, 2 }, 0);
    for (int f = 0; f < b.faceCount; f++) b.faces[f].projection = (uint8_t)projection;
    return b;
}

struct Edit {
    const char *what;
    std::function<void(Brush &)> apply;
};

}  // namespace

TEST(MeshCacheHash, ChangesExactlyWhenABakedFieldChanges)
{
    const std::vector<Edit> baked = {
        { "vertex", [](Brush &b) { b.verts[3].y += 0.5f; } },
        { "vertex count", [](Brush &b) { b.vertCount++; } },
        { "face count", [](Brush &b) { b.faceCount--; } },
        { "corner index", [](Brush &b) { std::swap(b.faces[2].indices[0], b.faces[2].indices[1]); } },
        { "face texture", [](Brush &b) { b.faces[1].texture = 3; } },
        { "uv scale", [](Brush &b) { b.faces[0].uvScale[1] = 4.0f; } },
        { "uv offset", [](Brush &b) { b.faces[5].uvOffset[0] = 0.25f; } },
        { "uv rotation", [](Brush &b) { b.faces[4].uvRotation = 90.0f; } },
        { "projection", [](Brush &b) { b.faces[4].projection = PROJ_FIT; } },
        { "flip U", [](Brush &b) { b.faces[3].flipU = 1; } },
        { "flip V", [](Brush &b) { b.faces[3].flipV = 1; } },
        { "tint (not in the mesh, still hashed)", [](Brush &b) { b.faces[0].tint.g = 7; } },
    };
    const std::vector<Edit> notBaked = {
        { "brush colour", [](Brush &b) { b.colour = Color{ 1, 2, 3, 4 }; } },
        { "brush texture", [](Brush &b) { b.texture = 9; } },
        { "name", [](Brush &b) { b.name[0] = 'Z'; } },
        { "hidden", [](Brush &b) { b.hidden = 1; } },
        { "physics", [](Brush &b) { b.physics = 1; b.mass = 5.0f; b.friction = 0.1f; b.bounce = 0.9f; } },
        { "move and turn (Local faces)", [](Brush &b) { b.origin.x += 4.0f; b.rotation.y = 30.0f; } },
        { "unused vertex slot", [](Brush &b) { b.verts[kMaxBrushVerts - 1].x = 9.0f; } },
        { "unused face slot", [](Brush &b) { b.faces[kMaxBrushFaces - 1].tint.r = 1; } },
        { "unused corner slot", [](Brush &b) { b.faces[0].indices[kMaxFaceCorners - 1] = 5; } },
    };
    const Brush local = Cube(PROJ_LOCAL);
    const uint32_t h = BrushGeometryHash(&local);
    for (const Edit &e : baked) {
        Brush b = local;
        e.apply(b);
        EXPECT_NE(BrushGeometryHash(&b), h) << e.what;
    }
    for (const Edit &e : notBaked) {
        Brush b = local;
        e.apply(b);
        EXPECT_EQ(BrushGeometryHash(&b), h) << e.what;
    }
}

TEST(MeshCacheHash, ATransformCountsOnlyThroughWorldFaces)
{
    for (int projection : { PROJ_LOCAL, PROJ_FIT }) {
        Brush a = Cube(projection), b = a;
        b.origin.z -= 1.0f;
        b.rotation.x = 15.0f;
        EXPECT_EQ(BrushGeometryHash(&a), BrushGeometryHash(&b)) << projection;
        // One World face makes every move count.
        a.faces[2].projection = PROJ_WORLD;
        b.faces[2].projection = PROJ_WORLD;
        EXPECT_NE(BrushGeometryHash(&a), BrushGeometryHash(&b)) << projection;
        Brush c = a;
        c.rotation.z = 1.0f;
        EXPECT_NE(BrushGeometryHash(&a), BrushGeometryHash(&c)) << projection;
    }
}

TEST(MeshCacheHash, IsFnv1aOverTheCountsOfAnEmptyBrush)
{
    // Two zero counts, eight zero bytes: each step is hash * prime.
    Brush empty;
    memset(&empty, 0, sizeof(empty));
    uint32_t expect = kFnvOffsetBasis;
    for (int i = 0; i < 8; i++) expect *= kFnvPrime;
    EXPECT_EQ(BrushGeometryHash(&empty), expect);
    // Damaged counts are read within the tables.
    empty.vertCount = 1000;
    empty.faceCount = -4;
    (void)BrushGeometryHash(&empty);
}

TEST(MeshCacheTriangles, FacesWithMoreThanTwoCornersCount)
{
    Brush cube = Cube(PROJ_WORLD);
    EXPECT_EQ(BrushTriangleCount(&cube), 12);
    Brush prism = Prism16();
    EXPECT_EQ(BrushTriangleCount(&prism), 16 * 2 + 2 * 14);
    prism.faces[0].count = 2;                 // a sliver: no triangle
    prism.faces[1].count = 99;                // damaged: read as 16 corners
    EXPECT_EQ(BrushTriangleCount(&prism), 16 * 2 + 2 * 14 - 2 + (14 - 2));
}
