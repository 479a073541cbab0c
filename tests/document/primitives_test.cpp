// The five primitives: counts, fixed orders, outward winding and defaults.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "document/brush_geometry.h"
#include "document/primitives.h"
#include "support/brush_check.h"

TEST(BrushInit, CubeOrderAfterWindingFix)
{
    Brush b;
    BrushInit(&b, SHAPE_CUBE, Vector3{ 0, 0, 0 }, Vector3{ 2, 2, 2 }, 5);
    ASSERT_EQ(b.vertCount, 8);
    ASSERT_EQ(b.faceCount, 6);
    const float expect[8][3] = { { -1, -1, -1 }, { 1, -1, -1 }, { 1, -1, 1 }, { -1, -1, 1 },
                                 { -1, 1, -1 },  { 1, 1, -1 },  { 1, 1, 1 },  { -1, 1, 1 } };
    for (int i = 0; i < 8; i++) {
        EXPECT_EQ(b.verts[i].x, expect[i][0]);
        EXPECT_EQ(b.verts[i].y, expect[i][1]);
        EXPECT_EQ(b.verts[i].z, expect[i][2]);
    }
    EXPECT_EQ(Corners(b.faces[0]), (std::vector<int>{ 1, 2, 3, 0 }));
    EXPECT_EQ(Corners(b.faces[1]), (std::vector<int>{ 7, 6, 5, 4 }));
    EXPECT_EQ(Corners(b.faces[2]), (std::vector<int>{ 4, 5, 1, 0 }));
    EXPECT_EQ(Corners(b.faces[3]), (std::vector<int>{ 2, 6, 7, 3 }));
    EXPECT_EQ(Corners(b.faces[4]), (std::vector<int>{ 5, 6, 2, 1 }));
    EXPECT_EQ(Corners(b.faces[5]), (std::vector<int>{ 3, 7, 4, 0 }));
    EXPECT_TRUE(BrushIsValid(b));
    EXPECT_NEAR(BrushVolume(b), 8.0, 1e-5);
    EXPECT_EQ(b.texture, 5);
}

TEST(BrushInit, RecordDefaults)
{
    Brush b;
    memset(&b, 0x77, sizeof(b));
    BrushInit(&b, SHAPE_SPHERE, Vector3{ 1, 2, 3 }, Vector3{ 4, 5, 6 }, -1);
    EXPECT_EQ(b.name[0], '\0');
    EXPECT_EQ(b.origin.y, 2.0f);
    EXPECT_EQ(b.size.z, 6.0f);
    EXPECT_EQ(b.rotation.x, 0.0f);
    EXPECT_EQ(b.rotation.y, 0.0f);
    EXPECT_EQ(b.rotation.z, 0.0f);
    EXPECT_EQ(b.colour.r, 255);
    EXPECT_EQ(b.colour.a, 255);
    EXPECT_EQ(b.texture, -1);
    EXPECT_EQ(b.shape, SHAPE_SPHERE);
    EXPECT_EQ(b.physics, 0);
    EXPECT_EQ(b.hidden, 0);
    EXPECT_FLOAT_EQ(b.mass, 10.0f);
    EXPECT_FLOAT_EQ(b.friction, 0.5f);
    EXPECT_FLOAT_EQ(b.bounce, 0.2f);
    // Slots past the counts are zero, so a byte copy carries nothing stale.
    EXPECT_EQ(b.verts[63].x, 0.0f);
    EXPECT_EQ(b.faces[47].count, 0);
    for (int f = 0; f < b.faceCount; f++) {
        const BrushFace &face = b.faces[f];
        EXPECT_EQ(face.texture, -1);
        EXPECT_EQ(face.uvScale[0], 2.0f);
        EXPECT_EQ(face.uvScale[1], 2.0f);
        EXPECT_EQ(face.uvOffset[0], 0.0f);
        EXPECT_EQ(face.uvRotation, 0.0f);
        EXPECT_EQ(face.projection, PROJ_WORLD);
        EXPECT_EQ(face.flipU + face.flipV, 0);
        EXPECT_EQ(face.tint.g, 255);
    }
}

TEST(BrushInit, OutOfRangeShapesBuildCubes)
{
    for (int shape : { -1, 5, 7, 1000 }) {
        Brush b;
        BrushInit(&b, shape, Vector3{ 0, 0, 0 }, Vector3{ 1, 1, 1 }, -1);
        EXPECT_EQ(b.shape, shape);
        EXPECT_EQ(b.vertCount, 8);
        EXPECT_EQ(b.faceCount, 6);
        EXPECT_TRUE(BrushIsValid(b));
    }
}

TEST(BrushInit, WedgeOrders)
{
    Brush b;
    BrushInit(&b, SHAPE_WEDGE, Vector3{ 0, 0, 0 }, Vector3{ 2, 2, 2 }, -1);
    ASSERT_EQ(b.vertCount, 6);
    ASSERT_EQ(b.faceCount, 5);
    EXPECT_EQ(b.verts[5].x, -1.0f);
    EXPECT_EQ(b.verts[5].y, 1.0f);
    EXPECT_EQ(b.verts[5].z, 1.0f);
    EXPECT_EQ(Corners(b.faces[0]), (std::vector<int>{ 1, 2, 3, 0 }));
    EXPECT_EQ(Corners(b.faces[1]), (std::vector<int>{ 4, 5, 2, 1 }));
    EXPECT_EQ(Corners(b.faces[2]), (std::vector<int>{ 3, 5, 4, 0 }));
    EXPECT_EQ(Corners(b.faces[3]), (std::vector<int>{ 4, 1, 0 }));
    EXPECT_EQ(Corners(b.faces[4]), (std::vector<int>{ 2, 5, 3 }));
    EXPECT_TRUE(BrushIsValid(b));
    EXPECT_NEAR(BrushVolume(b), 4.0, 1e-5);
    Vector3 slope = FaceNormalLocal(&b, &b.faces[1]);
    EXPECT_GT(slope.x, 0.0f);
    EXPECT_GT(slope.y, 0.0f);
}

TEST(BrushInit, CylinderRingsAndCaps)
{
    Brush b;
    BrushInit(&b, SHAPE_CYLINDER, Vector3{ 0, 0, 0 }, Vector3{ 4, 2, 6 }, -1);
    ASSERT_EQ(b.vertCount, 24);
    ASSERT_EQ(b.faceCount, 14);
    // Vertex 12 sits directly above vertex 0, at x = hx, z = 0.
    EXPECT_EQ(b.verts[0].x, 2.0f);
    EXPECT_EQ(b.verts[0].z, 0.0f);
    EXPECT_EQ(b.verts[0].y, -1.0f);
    EXPECT_EQ(b.verts[12].x, b.verts[0].x);
    EXPECT_EQ(b.verts[12].z, b.verts[0].z);
    EXPECT_EQ(b.verts[12].y, 1.0f);
    EXPECT_EQ(Corners(b.faces[0]), (std::vector<int>{ 12, 13, 1, 0 }));
    EXPECT_EQ(Corners(b.faces[11]), (std::vector<int>{ 23, 12, 0, 11 }));
    std::vector<int> top, bottom;
    for (int i = 23; i >= 12; i--) top.push_back(i);
    for (int i = 0; i < 12; i++) bottom.push_back(i);
    EXPECT_EQ(Corners(b.faces[12]), top);
    EXPECT_EQ(Corners(b.faces[13]), bottom);
    EXPECT_TRUE(BrushIsValid(b));
    // A 12-gon of radii 2 and 3: area = 0.5 * 12 * sin(30 deg) * 2 * 3, height 2.
    EXPECT_NEAR(BrushVolume(b), 0.5 * 12 * 0.5 * 6 * 2, 1e-4);
}

TEST(BrushInit, SphereReducedToFitAndPolesFirst)
{
    Brush b;
    BrushInit(&b, SHAPE_SPHERE, Vector3{ 0, 0, 0 }, Vector3{ 2, 2, 2 }, -1);
    ASSERT_EQ(b.vertCount, 38);   // 10 x 5 asked, 9 x 5 built
    ASSERT_EQ(b.faceCount, 45);
    EXPECT_EQ(b.verts[0].x, 0.0f);
    EXPECT_EQ(b.verts[0].y, 1.0f);
    EXPECT_EQ(b.verts[1].y, -1.0f);
    // Top fan ends (R1 + j1, R1 + j, 0); bottom fan ends (R4 + j, R4 + j1, 1) with R4 = 29.
    EXPECT_EQ(Corners(b.faces[0]), (std::vector<int>{ 3, 2, 0 }));
    EXPECT_EQ(Corners(b.faces[8]), (std::vector<int>{ 2, 10, 0 }));
    EXPECT_EQ(Corners(b.faces[9]), (std::vector<int>{ 3, 12, 11, 2 }));
    EXPECT_EQ(Corners(b.faces[36]), (std::vector<int>{ 29, 30, 1 }));
    EXPECT_TRUE(BrushIsValid(b));
    for (int i = 2; i < b.vertCount; i++) {
        Vector3 v = b.verts[i];
        EXPECT_NEAR(v.x * v.x + v.y * v.y + v.z * v.z, 1.0f, 1e-5f);
    }
}

TEST(BrushInit, PlaneIsTwoSided)
{
    Brush b;
    BrushInit(&b, SHAPE_PLANE, Vector3{ 0, 3, 0 }, Vector3{ 4, 9, 2 }, -1);
    ASSERT_EQ(b.vertCount, 4);
    ASSERT_EQ(b.faceCount, 2);
    for (int i = 0; i < 4; i++) EXPECT_EQ(b.verts[i].y, 0.0f);
    EXPECT_EQ(Corners(b.faces[0]), (std::vector<int>{ 0, 3, 2, 1 }));
    EXPECT_EQ(Corners(b.faces[1]), (std::vector<int>{ 0, 1, 2, 3 }));
    EXPECT_NEAR(FaceNormalLocal(&b, &b.faces[0]).y, 1.0f, 1e-6f);
    EXPECT_NEAR(FaceNormalLocal(&b, &b.faces[1]).y, -1.0f, 1e-6f);
    BrushCheckOptions open;
    open.outward = false;
    EXPECT_TRUE(BrushIsValid(b, open));
}

TEST(BrushInit, FlatCubeKeepsGeneratorOrder)
{
    Brush b;
    BrushInit(&b, SHAPE_CUBE, Vector3{ 0, 0, 0 }, Vector3{ 2, 0, 2 }, -1);
    EXPECT_EQ(Corners(b.faces[0]), (std::vector<int>{ 0, 3, 2, 1 }));
    EXPECT_EQ(Corners(b.faces[1]), (std::vector<int>{ 4, 5, 6, 7 }));
    EXPECT_EQ(Corners(b.faces[2]), (std::vector<int>{ 0, 1, 5, 4 }));
    EXPECT_EQ(Corners(b.faces[3]), (std::vector<int>{ 3, 7, 6, 2 }));
    EXPECT_EQ(Corners(b.faces[4]), (std::vector<int>{ 1, 2, 6, 5 }));
    EXPECT_EQ(Corners(b.faces[5]), (std::vector<int>{ 0, 4, 7, 3 }));
}

// Every shape, at sizes that differ per axis and off-centre, is closed and wound outward.
TEST(BrushInit, EveryClosedShapeIsValidAtAnySize)
{
    const Vector3 sizes[] = { { 1, 1, 1 }, { 10, 1, 10 }, { 0.25f, 7, 3 }, { 100, 0.5f, 2 } };
    for (int shape : { SHAPE_CUBE, SHAPE_CYLINDER, SHAPE_SPHERE, SHAPE_WEDGE }) {
        for (Vector3 size : sizes) {
            Brush b;
            BrushInit(&b, shape, Vector3{ 3, -4, 5 }, size, 2);
            EXPECT_TRUE(BrushIsValid(b)) << "shape " << shape << " size " << size.x << "," << size.y << "," << size.z;
            EXPECT_GT(BrushVolume(b), 0.0) << "shape " << shape;
            for (int i = 0; i < b.vertCount; i++) {
                EXPECT_LE(fabsf(b.verts[i].x), 0.5f * size.x + 1e-5f);
                EXPECT_LE(fabsf(b.verts[i].y), 0.5f * size.y + 1e-5f);
                EXPECT_LE(fabsf(b.verts[i].z), 0.5f * size.z + 1e-5f);
            }
        }
    }
}
