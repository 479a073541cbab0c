// Grid snapping, the rotation frame and the face measures of a brush.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "document/brush_geometry.h"
#include "document/primitives.h"
#include "support/brush_check.h"
#include "support/vector_check.h"

TEST(SnapToGrid, RoundsHalvesAwayFromZero)
{
    EXPECT_FLOAT_EQ(SnapToGrid(0.74f, 0.5f), 0.5f);
    EXPECT_FLOAT_EQ(SnapToGrid(0.75f, 0.5f), 1.0f);
    EXPECT_FLOAT_EQ(SnapToGrid(-0.25f, 0.5f), -0.5f);
    EXPECT_FLOAT_EQ(SnapToGrid(-0.24f, 0.5f), 0.0f);
}

TEST(SnapToGrid, TinyOrNegativeStepLeavesValue)
{
    EXPECT_EQ(SnapToGrid(0.123456f, 0.0001f), 0.123456f);
    EXPECT_EQ(SnapToGrid(0.123456f, 0.0f), 0.123456f);
    EXPECT_EQ(SnapToGrid(0.123456f, -1.0f), 0.123456f);
}

TEST(BrushFrame, UnrotatedWorldIsOriginPlusLocal)
{
    Brush b;
    BrushInit(&b, SHAPE_CUBE, Vector3{ 1.5f, -2.0f, 3.0f }, Vector3{ 2, 2, 2 }, -1);
    EXPECT_EQ(BrushIsRotated(&b), 0);
    for (int i = 0; i < b.vertCount; i++) {
        Vector3 w = BrushVertWorld(&b, i);
        EXPECT_EQ(w.x, b.verts[i].x + 1.5f);
        EXPECT_EQ(w.y, b.verts[i].y - 2.0f);
        EXPECT_EQ(w.z, b.verts[i].z + 3.0f);
    }
}

TEST(BrushFrame, OutOfRangeIndexGivesOriginAndWritesNothing)
{
    Brush b;
    BrushInit(&b, SHAPE_CUBE, Vector3{ 4, 5, 6 }, Vector3{ 2, 2, 2 }, -1);
    ExpectNear(BrushVertWorld(&b, -1), b.origin, 0.0f);
    ExpectNear(BrushVertWorld(&b, b.vertCount), b.origin, 0.0f);
    Brush before = b;
    BrushSetVertWorld(&b, -1, Vector3{ 100, 100, 100 });
    BrushSetVertWorld(&b, b.vertCount, Vector3{ 100, 100, 100 });
    EXPECT_EQ(memcmp(&before, &b, sizeof(Brush)), 0);
}

TEST(BrushFrame, RotatedRoundTripAndNaNCountsAsRotated)
{
    Brush b;
    BrushInit(&b, SHAPE_WEDGE, Vector3{ 1, 2, 3 }, Vector3{ 3, 2, 5 }, -1);
    b.rotation = Vector3{ 30.0f, -75.0f, 110.0f };
    ASSERT_EQ(BrushIsRotated(&b), 1);
    for (int i = 0; i < b.vertCount; i++) {
        Vector3 local = b.verts[i];
        Vector3 w = BrushVertWorld(&b, i);
        b.verts[i] = Vector3{ 0, 0, 0 };
        BrushSetVertWorld(&b, i, w);
        ExpectNear(b.verts[i], local);
    }
    // A quarter turn of yaw takes local +X to world -Z.
    Brush c;
    BrushInit(&c, SHAPE_CUBE, Vector3{ 0, 0, 0 }, Vector3{ 2, 2, 2 }, -1);
    c.rotation = Vector3{ 0, 90, 0 };
    ExpectNear(BrushVertWorld(&c, 1), Vector3{ -1, -1, -1 });   // local (1, -1, -1)

    c.rotation = Vector3{ NAN, 0, 0 };
    EXPECT_EQ(BrushIsRotated(&c), 1);
}

TEST(FaceGeometry, NormalCentreAndPlanarity)
{
    Brush b;
    memset(&b, 0, sizeof(b));
    BrushAddVert(&b, Vector3{ 0, 0, 0 });
    BrushAddVert(&b, Vector3{ 1, 0, 0 });
    BrushAddVert(&b, Vector3{ 2, 0, 0 });
    BrushAddVert(&b, Vector3{ 1, 0, 1 });
    BrushAddVert(&b, Vector3{ 0, 0, 1 });
    int collinear[3] = { 0, 1, 2 };
    BrushAddFace(&b, collinear, 3, -1);
    ExpectNear(FaceNormalLocal(&b, &b.faces[0]), Vector3{ 0, 1, 0 }, 0.0f);

    int quad[4] = { 0, 4, 3, 1 };   // counter-clockwise seen from +Y
    BrushAddFace(&b, quad, 4, -1);
    ExpectNear(FaceNormalLocal(&b, &b.faces[1]), Vector3{ 0, 1, 0 });
    ExpectNear(FaceCenterLocal(&b, &b.faces[1]), Vector3{ 0.5f, 0, 0.5f });
    EXPECT_NEAR(FacePlanarError(&b, &b.faces[1]), 0.0f, 1e-6f);

    b.verts[3].y = 0.4f;            // raise one corner of the quad
    EXPECT_GT(FacePlanarError(&b, &b.faces[1]), 0.0f);
    b.verts[1].y = 5.0f;            // a triangle always reports 0
    EXPECT_EQ(FacePlanarError(&b, &b.faces[0]), 0.0f);

    BrushFace empty;
    memset(&empty, 0, sizeof(empty));
    ExpectNear(FaceCenterLocal(&b, &empty), Vector3{ 0, 0, 0 }, 0.0f);
    Brush none;
    memset(&none, 0, sizeof(none));
    ExpectNear(BrushCentroidLocal(&none), Vector3{ 0, 0, 0 }, 0.0f);
}

TEST(FaceGeometry, DamagedFaceIsMeasuredWithoutReadingOutOfBounds)
{
    Brush b;
    BrushInit(&b, SHAPE_CUBE, Vector3{ 0, 0, 0 }, Vector3{ 2, 2, 2 }, -1);
    b.faces[0].count = 1000000;
    b.faces[0].indices[2] = 5000;
    b.faces[1].count = -3;
    Vector3 n = FaceNormalLocal(&b, &b.faces[0]);
    EXPECT_FALSE(std::isnan(n.x));
    FacePlanarError(&b, &b.faces[0]);
    FaceReverse(&b.faces[0]);
    ExpectNear(FaceCenterLocal(&b, &b.faces[1]), Vector3{ 0, 0, 0 }, 0.0f);
}

TEST(Winding, FixReversesInwardFacesAndIsIdempotent)
{
    Brush b;
    BrushInit(&b, SHAPE_CYLINDER, Vector3{ 0, 0, 0 }, Vector3{ 2, 3, 2 }, -1);
    Brush outward = b;
    for (int f = 0; f < b.faceCount; f++) FaceReverse(&b.faces[f]);
    EXPECT_FALSE(BrushIsValid(b));
    BrushFixWinding(&b);
    EXPECT_EQ(memcmp(&b, &outward, sizeof(Brush)), 0);
    BrushFixWinding(&b);
    EXPECT_EQ(memcmp(&b, &outward, sizeof(Brush)), 0);
}

// The faces of src appended to dst, their vertices moved by offset.
static void AppendShell(Brush *dst, const Brush &src, Vector3 offset)
{
    int base = dst->vertCount;
    for (int i = 0; i < src.vertCount; i++) BrushAddVert(dst, Vector3Add(src.verts[i], offset));
    for (int f = 0; f < src.faceCount; f++) {
        int idx[kMaxFaceCorners];
        for (int k = 0; k < src.faces[f].count; k++) idx[k] = src.faces[f].indices[k] + base;
        BrushAddFace(dst, idx, src.faces[f].count, -1);
    }
}

static Brush Cube(void)
{
    Brush b;
    BrushInit(&b, SHAPE_CUBE, Vector3{ 0, 0, 0 }, Vector3{ 2, 2, 2 }, -1);
    return b;
}

// Each case: a brush wound as it should be, and the faces to turn round before the fix; the fix
// must give the first back exactly, and a second run must change nothing.
TEST(Winding, FixRestoresConsistentOutwardWinding)
{
    Brush cube = Cube(), ell = ExtrudedL();
    Brush open = cube;   // no top: a hole the propagation runs around
    open.faces[1] = open.faces[5];
    open.faceCount = 5;
    Brush twoShells = cube, edgeTouch = cube, plane, sphere, wedge;
    BrushInit(&sphere, SHAPE_SPHERE, Vector3{ 0, 0, 0 }, Vector3{ 2, 3, 2 }, -1);
    BrushInit(&wedge, SHAPE_WEDGE, Vector3{ 0, 0, 0 }, Vector3{ 3, 2, 1 }, -1);
    AppendShell(&twoShells, cube, Vector3{ 5, 0, 0 });
    AppendShell(&edgeTouch, cube, Vector3{ 2, 2, 0 });   // shares the edge x = 1, y = 1 with the first
    for (int i = 8; i < 16; i++) {
        // Weld the touching edge's two vertex pairs so the edge is one edge of four faces.
        for (int j = 0; j < 8; j++)
            if (Vector3Distance(edgeTouch.verts[i], edgeTouch.verts[j]) < 1e-4f)
                for (int f = 6; f < 12; f++)
                    for (int k = 0; k < 4; k++)
                        if (edgeTouch.faces[f].indices[k] == i) edgeTouch.faces[f].indices[k] = j;
    }
    BrushInit(&plane, SHAPE_PLANE, Vector3{ 0, 0, 0 }, Vector3{ 2, 1, 2 }, -1);
    Brush bent = ExtrudedL();   // a leg end's corners lifted unevenly: faces bent, winding sound
    const BrushFace &end = bent.faces[FaceFacing(bent, Vector3{ 0, 0, 1 }, 1.0f)];
    for (int k = 0; k < end.count; k++) bent.verts[end.indices[k]].y += 0.3f * k;

    struct Case {
        const char *name;
        Brush want;
        std::vector<int> flipped;   // -1: every face
    } cases[] = {
        { "cube", cube, {} },
        { "cube all inward", cube, { -1 } },
        { "cube, one face inward", cube, { 3 } },
        { "sphere, every third face inward", sphere, { 0, 3, 6, 9, 12, 15, 18, 21, 24, 27, 30 } },
        { "wedge, two faces inward", wedge, { 1, 4 } },
        { "L", ell, {} },
        { "L, one face inward", ell, { 7 } },
        { "L, the face the centroid misjudges inward", ell, { FaceFacing(ell, Vector3{ 0, -1, 0 }, 0.0f) } },
        { "L all inward", ell, { -1 } },
        { "L with bent faces", bent, { 2, 9 } },
        { "open cube, one face inward", open, { 2 } },
        { "open cube all inward", open, { -1 } },
        { "two shells, one inward", twoShells, { 6, 7, 8, 9, 10, 11 } },
        { "two shells, a face of each inward", twoShells, { 0, 11 } },
        { "shells sharing one edge, a face of each inward", edgeTouch, { 4, 6 } },
        { "plane seen from both sides", plane, {} },
    };
    for (const Case &c : cases) {
        Brush b = c.want;
        for (int f : c.flipped)
            for (int g = 0; g < b.faceCount; g++)
                if (f == g || f < 0) FaceReverse(&b.faces[g]);
        BrushFixWinding(&b);
        EXPECT_EQ(memcmp(&b, &c.want, sizeof(Brush)), 0) << c.name;
        BrushFixWinding(&b);
        EXPECT_EQ(memcmp(&b, &c.want, sizeof(Brush)), 0) << c.name << ", second run";
    }
    EXPECT_TRUE(BrushIsValid(ell, { true, false }));
    EXPECT_NEAR(BrushVolume(ell), 56.0, 1e-4);
    EXPECT_FALSE(BrushIsValid(ell)) << "the L has a face whose centre lies on the centroid's outer side";
}

// Faces without a neighbour keep the centroid test: a lone face looking toward the centroid is
// turned, and degenerate or damaged faces are read without harm.
TEST(Winding, LoneAndDamagedFacesGoByTheCentroid)
{
    Brush b = Cube();
    int lone[3] = { BrushAddVert(&b, Vector3{ 0, 3, 0 }), BrushAddVert(&b, Vector3{ 1, 3, 0 }),
                    BrushAddVert(&b, Vector3{ 0, 3, 1 }) };
    BrushAddFace(&b, lone, 3, -1);   // above the cube, wound to look down at it
    b.faces[2].count = 2;
    b.faces[3].indices[1] = 5000;    // damaged: no edges of its own, so no links either
    Brush want = b;
    FaceReverse(&want.faces[6]);
    BrushFixWinding(&b);
    EXPECT_EQ(Corners(b.faces[6]), Corners(want.faces[6]));
    EXPECT_EQ(Corners(b.faces[2]), Corners(want.faces[2]));
    for (int f : { 0, 1, 4, 5 }) EXPECT_EQ(Corners(b.faces[f]), Corners(want.faces[f])) << f;
}

TEST(Winding, ReverseFlipsIndicesInPlace)
{
    BrushFace f;
    memset(&f, 0, sizeof(f));
    f.count = 5;
    for (int k = 0; k < 5; k++) f.indices[k] = k;
    f.indices[5] = 77;
    FaceReverse(&f);
    for (int k = 0; k < 5; k++) EXPECT_EQ(f.indices[k], 4 - k);
    EXPECT_EQ(f.indices[5], 77);
}

TEST(BrushAppend, CapacityAndCornerLimits)
{
    Brush b;
    memset(&b, 0, sizeof(b));
    for (int i = 0; i < kMaxBrushVerts; i++) ASSERT_EQ(BrushAddVert(&b, Vector3{ (float)i, 0, 0 }), i);
    Brush full = b;
    EXPECT_EQ(BrushAddVert(&b, Vector3{ 1, 1, 1 }), -1);
    EXPECT_EQ(memcmp(&b, &full, sizeof(Brush)), 0);

    int idx[17] = { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16 };
    EXPECT_EQ(BrushAddFace(&b, idx, 2, -1), -1);
    EXPECT_EQ(BrushAddFace(&b, idx, 17, -1), -1);
    EXPECT_EQ(BrushAddFace(&b, idx, 16, 3), 0);
    EXPECT_EQ(b.faces[0].count, 16);
    EXPECT_EQ(b.faces[0].texture, 3);
    for (int f = 1; f < kMaxBrushFaces; f++) ASSERT_EQ(BrushAddFace(&b, idx, 3, -1), f);
    full = b;
    EXPECT_EQ(BrushAddFace(&b, idx, 3, -1), -1);
    EXPECT_EQ(memcmp(&b, &full, sizeof(Brush)), 0);
}
