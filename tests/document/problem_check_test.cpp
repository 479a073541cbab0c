// Map problem counts on hand-made brushes, and entity aiming.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "document/brush_geometry.h"
#include "document/primitives.h"
#include "document/problem_check.h"
#include "support/vector_check.h"

namespace {

struct ProblemTest : ::testing::Test {
    std::unique_ptr<MapDoc> map{ new MapDoc() };
    MapProblemReport report;
    Brush *AddCube()
    {
        Brush *b = &map->brushes[map->brushCount++];
        BrushInit(b, SHAPE_CUBE, Vector3{ 0, 0, 0 }, Vector3{ 2, 2, 2 }, -1);
        return b;
    }
    void Check() { CheckMapProblems(&report, map.get()); }
};

TEST_F(ProblemTest, EmptyMapAndEmptyBrushes)
{
    report = MapProblemReport{ 9, 9, 9, 9, 9 };
    Check();
    EXPECT_EQ(report.nonPlanar + report.degenerate + report.coincident + report.orphaned + report.emptyBrushes, 0);

    map->brushCount = 3;                       // no vertices; no faces; vertices but no faces
    map->brushes[1].faceCount = 1;
    map->brushes[1].faces[0].count = 2;        // a face, but no vertices: still only empty
    map->brushes[2].vertCount = 2;             // two coincident, unused vertices: still only empty
    Check();
    EXPECT_EQ(report.emptyBrushes, 3);
    EXPECT_EQ(report.nonPlanar + report.degenerate + report.coincident + report.orphaned, 0);
}

TEST_F(ProblemTest, CleanShapesHaveNoProblems)
{
    for (int shape = 0; shape < kBrushShapeCount; shape++) {
        BrushInit(&map->brushes[map->brushCount++], shape, Vector3{ 0, 0, 0 }, Vector3{ 2, 3, 4 }, -1);
    }
    map->brushes[0].hidden = 1;
    Check();
    EXPECT_EQ(report.nonPlanar, 0);
    EXPECT_EQ(report.degenerate, 0);
    EXPECT_EQ(report.orphaned, 0);
    EXPECT_EQ(report.emptyBrushes, 0);
}

TEST_F(ProblemTest, RaisedCornerBendsOnlyTheTop)
{
    Brush *b = AddCube();
    b->verts[6].y += 0.1f;                     // a top corner straight up
    map->brushes[0].hidden = 1;                // hidden brushes are checked too
    Check();
    EXPECT_EQ(report.nonPlanar, 1);
    EXPECT_EQ(report.degenerate, 0);
    EXPECT_EQ(report.coincident, 0);
    EXPECT_EQ(report.orphaned, 0);
}

TEST_F(ProblemTest, PlanarErrorAtTheTolerance)
{
    Brush *b = AddCube();
    b->verts[6].y += 0.02f;                    // the plane error of a 4-corner tilt is a quarter of it
    Check();
    EXPECT_EQ(report.nonPlanar, 0);
    b->verts[6].y += 0.03f;
    Check();
    EXPECT_EQ(report.nonPlanar, 1);
}

TEST_F(ProblemTest, CoincidentPairs)
{
    Brush *b = AddCube();
    b->verts[1] = Vector3Add(b->verts[0], Vector3{ 0.001f, 0, 0 });
    Check();
    EXPECT_EQ(report.coincident, 1);
    b->verts[1] = Vector3Add(b->verts[0], Vector3{ 0.0015f, 0, 0 });
    Check();
    EXPECT_EQ(report.coincident, 0);
    b->verts[1] = b->verts[0];                 // three in one spot: three pairs
    b->verts[2] = b->verts[0];
    Check();
    EXPECT_EQ(report.coincident, 3);
}

TEST_F(ProblemTest, DegenerateAndOrphaned)
{
    Brush *b = AddCube();
    b->faces[1].count = 2;                     // the top keeps corners 4 and 5
    b->verts[b->vertCount++] = Vector3{ 5, 5, 5 };
    b->verts[b->vertCount++] = Vector3{ 6, 5, 5 };
    Check();
    EXPECT_EQ(report.degenerate, 1);
    EXPECT_EQ(report.nonPlanar, 0);            // a 2-corner face is not also bent
    EXPECT_EQ(report.orphaned, 2);             // 6 and 7 are still used by the sides
    EXPECT_EQ(report.emptyBrushes, 0);

    b->faceCount = 1;                          // only the bottom: the top four are unused
    b->vertCount = 8;
    Check();
    EXPECT_EQ(report.orphaned, 4);
}

TEST_F(ProblemTest, DamagedCountsAreNotWalkedPast)
{
    Brush *b = AddCube();
    b->faces[0].count = 1000;
    b->faces[0].indices[0] = -5;
    b->faceCount = 1000;
    b->vertCount = 1000;
    map->brushCount = 100000;
    Check();                                   // must not read outside the records
    EXPECT_GE(report.emptyBrushes, 0);
}

TEST(EntityAim, ForwardOfKnownAngles)
{
    Vector3 f = EntityForward(Vector3{ 0, 0, 0 });
    EXPECT_NEAR(f.z, 1.0f, 1e-6f);
    f = EntityForward(Vector3{ 0, 90, 0 });
    EXPECT_NEAR(f.x, 1.0f, 1e-6f);
    EXPECT_NEAR(f.z, 0.0f, 1e-6f);
    f = EntityForward(Vector3{ 90, 0, 0 });
    EXPECT_NEAR(f.y, -1.0f, 1e-6f);
    f = EntityForward(Vector3{ 30, -120, 77 });
    EXPECT_NEAR(Vector3Length(f), 1.0f, 1e-6f);
}

TEST(EntityAim, AimKnownDirections)
{
    Entity e = {};
    e.rotation = Vector3{ 5, 5, 33 };
    e.position = Vector3{ 1, 2, 3 };
    AimEntity(&e, Vector3{ 0, -1, 0 });
    EXPECT_NEAR(e.rotation.x, 90.0f, 1e-3f);
    EXPECT_EQ(e.rotation.z, 33.0f);            // roll and position stay
    EXPECT_EQ(e.position.y, 2.0f);
    AimEntity(&e, Vector3{ 1, 0, 0 });
    EXPECT_NEAR(e.rotation.y, 90.0f, 1e-3f);
    EXPECT_NEAR(e.rotation.x, 0.0f, 1e-3f);
    AimEntity(&e, Vector3{ 0, 0, -1 });
    EXPECT_NEAR(fabsf(e.rotation.y), 180.0f, 1e-3f);
    AimEntity(&e, Vector3{ 0, 0, -4 });        // length does not matter
    EXPECT_NEAR(fabsf(e.rotation.y), 180.0f, 1e-3f);

    Entity before = e;
    AimEntity(&e, Vector3{ 0, 0, 0 });
    EXPECT_EQ(e.rotation.x, before.rotation.x);
    EXPECT_EQ(e.rotation.y, before.rotation.y);
}

TEST(EntityAim, RoundTripsOverTheSphere)
{
    for (int i = -85; i <= 85; i += 17) {
        for (int j = -180; j < 180; j += 23) {
            float p = i * kDegToRad, y = j * kDegToRad;
            Vector3 d = { 3.0f * sinf(y) * cosf(p), -3.0f * sinf(p), 3.0f * cosf(y) * cosf(p) };
            Entity e = {};
            AimEntity(&e, d);
            EXPECT_GE(e.rotation.y, -180.0f);
            EXPECT_LE(e.rotation.y, 180.0f);
            EXPECT_NEAR(e.rotation.x, (float)i, 1e-3f);
            Vector3 f = EntityForward(e.rotation);
            Vector3 n = Vector3Normalize(d);
            ExpectNear(f, n, 1e-5f);
        }
    }
}

}  // namespace
