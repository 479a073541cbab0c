// Topology edits: world measures, welding, splitting, extruding, mirroring and subdividing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "document/brush_geometry.h"
#include "document/primitives.h"
#include "document/topology.h"
#include "support/brush_check.h"

static Brush Cube(Vector3 origin = Vector3{ 0, 0, 0 })
{
    Brush b;
    BrushInit(&b, SHAPE_CUBE, origin, Vector3{ 2, 2, 2 }, -1);
    return b;
}

// Pads a brush with unused vertices up to n (they sit far away so nothing welds to them).
static void PadVerts(Brush *b, int n)
{
    while (b->vertCount < n) BrushAddVert(b, Vector3{ 100.0f + b->vertCount, 0, 0 });
}

TEST(TopologyMeasure, BoundingBox)
{
    Brush b = Cube(Vector3{ 1, 2, 3 });
    BoundingBox box = GetBrushBoundingBox(&b);
    EXPECT_FLOAT_EQ(box.min.x, 0.0f);
    EXPECT_FLOAT_EQ(box.max.y, 3.0f);
    EXPECT_FLOAT_EQ(box.max.z, 4.0f);
    b.rotation.y = 45.0f;
    box = GetBrushBoundingBox(&b);
    EXPECT_NEAR(box.max.x - box.min.x, 2.0f * sqrtf(2.0f), 1e-4f);
    b.vertCount = 0;
    box = GetBrushBoundingBox(&b);
    EXPECT_EQ(box.min.x, 1.0f);
    EXPECT_EQ(box.max.z, 3.0f);
}

TEST(TopologyMeasure, RayHitNearestFaceAndMiss)
{
    Brush b = Cube();
    float d = -7.0f;
    Ray ray = { Vector3{ 0.2f, 0.3f, -5.0f }, Vector3{ 0, 0, 1 } };
    EXPECT_EQ(RayBrushHit(ray, &b, &d), 1);
    EXPECT_NEAR(d, 4.0f, 1e-5f);
    EXPECT_EQ(RayBrushHit(ray, &b, nullptr), 1);
    d = -7.0f;
    Ray miss = { Vector3{ 3.0f, 0, -5.0f }, Vector3{ 0, 0, 1 } };
    EXPECT_EQ(RayBrushHit(miss, &b, &d), 0);
    EXPECT_EQ(d, -7.0f);
}

TEST(TopologyMeasure, EdgesOfCube)
{
    Brush b = Cube();
    int pairs[32][2];
    ASSERT_EQ(BrushBuildEdges(&b, pairs, 32), 12);
    // First face (1, 2, 3, 0) gives the first four edges, low index first.
    EXPECT_EQ(pairs[0][0], 1);
    EXPECT_EQ(pairs[0][1], 2);
    EXPECT_EQ(pairs[2][0], 0);
    EXPECT_EQ(pairs[2][1], 3);
    EXPECT_EQ(BrushBuildEdges(&b, pairs, 5), 5);
}

TEST(TopologyWeld, NothingCloseLeavesCubeUntouched)
{
    Brush b = Cube(), before = b;
    EXPECT_EQ(BrushWeldVerts(&b, 0.001f), 0);
    EXPECT_EQ(memcmp(&b, &before, sizeof(b)), 0);
}

TEST(TopologyWeld, CollapsedEdgeMakesTriangles)
{
    Brush b = Cube();
    b.verts[6] = b.verts[5];
    EXPECT_EQ(BrushWeldVerts(&b, 0.001f), 1);
    EXPECT_EQ(b.vertCount, 7);
    EXPECT_EQ(b.faceCount, 6);
    EXPECT_EQ(Corners(b.faces[1]), (std::vector<int>{ 6, 5, 4 }));   // top: 7 renumbered to 6
    EXPECT_EQ(Corners(b.faces[4]), (std::vector<int>{ 5, 2, 1 }));
    EXPECT_TRUE(BrushIsValid(b));
}

TEST(TopologyWeld, RepresentativesDoNotChain)
{
    // 0 - 1 - 2 spaced 0.6 apart with eps 1: 1 joins 0, and 2 (1.2 from 0) does not join through 1.
    Brush b = Cube();
    b.verts[0] = Vector3{ 0, 0, 0 };
    b.verts[1] = Vector3{ 0.6f, 0, 0 };
    b.verts[2] = Vector3{ 1.2f, 0, 0 };
    for (int i = 3; i < 8; i++) b.verts[i] = Vector3{ 0, 10.0f * i, 0 };
    EXPECT_EQ(BrushWeldVerts(&b, 1.0f), 1);
    EXPECT_EQ(b.verts[0].x, 0.0f);
}

TEST(TopologyMerge, OnlyTheListedPairsAndNeverATornSolid)
{
    Brush b = Cube();
    b.verts[3] = Vector3Add(b.verts[0], Vector3{ 0.001f, 0, 0 });   // close, but not listed
    int onto[kMaxBrushVerts];
    for (int i = 0; i < kMaxBrushVerts; i++) onto[i] = i;
    onto[6] = 5;
    EXPECT_EQ(BrushMergeVerts(&b, onto), 1);
    EXPECT_EQ(b.vertCount, 7);
    EXPECT_TRUE(BrushIsValid(b, BrushCheckOptions{ true, false }));

    // A chain (7 onto 6 onto 5) and a cut across a face (opposite corners) are refused whole.
    const Brush before = Cube();
    for (int i = 0; i < kMaxBrushVerts; i++) onto[i] = i;
    b = before;
    onto[7] = 6;
    onto[6] = 5;
    EXPECT_EQ(BrushMergeVerts(&b, onto), 0);
    onto[7] = 7;
    onto[6] = 4;
    EXPECT_EQ(BrushMergeVerts(&b, onto), 0);
    EXPECT_EQ(memcmp(&b, &before, sizeof(Brush)), 0);
    EXPECT_TRUE(BrushIsClosed(&b));
}

TEST(TopologyClean, RepeatsAndCollapsedFaces)
{
    Brush b = Cube();
    int face[5] = { 0, 1, 1, 2, 0 };
    b.faces[0].count = 5;
    memcpy(b.faces[0].indices, face, sizeof(face));
    b.faces[1].count = 3;
    b.faces[1].indices[0] = 4, b.faces[1].indices[1] = 5, b.faces[1].indices[2] = 4;
    b.faces[2].uvRotation = 33.0f;
    BrushCleanFaces(&b);
    EXPECT_EQ(b.faceCount, 5);
    EXPECT_EQ(Corners(b.faces[0]), (std::vector<int>{ 1, 2, 0 }));
    EXPECT_EQ(b.faces[1].uvRotation, 33.0f);   // moved down with all its fields
}

TEST(TopologyCompact, DropsUnusedAndRenumbers)
{
    Brush b = Cube();
    BrushAddVert(&b, Vector3{ 9, 9, 9 });
    b.verts[8] = b.verts[0];
    for (int f = 0; f < b.faceCount; f++)
        for (int k = 0; k < b.faces[f].count; k++)
            if (b.faces[f].indices[k] == 0) b.faces[f].indices[k] = 8;
    BrushCompactVerts(&b);
    EXPECT_EQ(b.vertCount, 8);
    EXPECT_EQ(Corners(b.faces[0]), (std::vector<int>{ 0, 1, 2, 7 }));
    EXPECT_TRUE(BrushIsValid(b));
}

TEST(TopologySplitEdge, CubeEdgeGetsMidpoint)
{
    Brush b = Cube();
    ASSERT_EQ(BrushSplitEdge(&b, 5, 6), 8);
    EXPECT_FLOAT_EQ(b.verts[8].x, 1.0f);
    EXPECT_FLOAT_EQ(b.verts[8].z, 0.0f);
    EXPECT_EQ(Corners(b.faces[1]), (std::vector<int>{ 7, 6, 8, 5, 4 }));
    EXPECT_EQ(Corners(b.faces[4]), (std::vector<int>{ 5, 8, 6, 2, 1 }));
    EXPECT_TRUE(BrushIsValid(b));
    EXPECT_NEAR(BrushVolume(b), 8.0, 1e-5);
    // An edge no face has still adds the vertex.
    EXPECT_EQ(BrushSplitEdge(&b, 0, 6), 9);
    EXPECT_EQ(b.vertCount, 10);
}

TEST(TopologySplitEdge, RefusalsLeaveBrushUnchanged)
{
    Brush b = Cube(), before = b;
    EXPECT_EQ(BrushSplitEdge(&b, 3, 3), -1);
    EXPECT_EQ(BrushSplitEdge(&b, -1, 3), -1);
    EXPECT_EQ(BrushSplitEdge(&b, 0, 8), -1);
    EXPECT_EQ(memcmp(&b, &before, sizeof(b)), 0);
    PadVerts(&b, 64);
    before = b;
    EXPECT_EQ(BrushSplitEdge(&b, 5, 6), -1);
    EXPECT_EQ(memcmp(&b, &before, sizeof(b)), 0);
}

TEST(TopologySplitEdge, FullFaceRefusesInsteadOfTJunction)
{
    Brush b = Prism16(), before = b;
    ASSERT_TRUE(BrushIsValid(b));
    // Edge 16-17 lies on side face 0 and on the 16-corner top.
    EXPECT_EQ(BrushSplitEdge(&b, 16, 17), -1);
    EXPECT_EQ(memcmp(&b, &before, sizeof(b)), 0);
    // A vertical edge touches only quads and splits.
    EXPECT_EQ(BrushSplitEdge(&b, 1, 17), 32);
    EXPECT_TRUE(BrushIsValid(b));
}

TEST(TopologySplitFace, DiagonalOfQuad)
{
    Brush b = Cube();
    b.faces[0].uvRotation = 12.0f;
    ASSERT_EQ(BrushSplitFaceDiagonal(&b, 0, 1, 3), 1);
    EXPECT_EQ(b.faceCount, 7);
    EXPECT_EQ(Corners(b.faces[0]), (std::vector<int>{ 1, 2, 3 }));
    EXPECT_EQ(Corners(b.faces[6]), (std::vector<int>{ 3, 0, 1 }));
    EXPECT_EQ(b.faces[6].uvRotation, 12.0f);
    EXPECT_TRUE(BrushIsValid(b));
    EXPECT_NEAR(BrushVolume(b), 8.0, 1e-5);
}

TEST(TopologySplitFace, Refusals)
{
    Brush b = Cube(), before = b;
    EXPECT_EQ(BrushSplitFaceDiagonal(&b, 0, 1, 2), 0);    // adjacent
    EXPECT_EQ(BrushSplitFaceDiagonal(&b, 0, 1, 0), 0);    // adjacent across the wrap
    EXPECT_EQ(BrushSplitFaceDiagonal(&b, 0, 1, 6), 0);    // not on the face
    EXPECT_EQ(BrushSplitFaceDiagonal(&b, 6, 1, 3), 0);    // no such face
    EXPECT_EQ(memcmp(&b, &before, sizeof(b)), 0);
    Brush w;
    BrushInit(&w, SHAPE_WEDGE, Vector3{ 0, 0, 0 }, Vector3{ 2, 2, 2 }, -1);
    before = w;
    EXPECT_EQ(BrushSplitFaceDiagonal(&w, 3, w.faces[3].indices[0], w.faces[3].indices[1]), 0);   // triangle
    EXPECT_EQ(memcmp(&w, &before, sizeof(w)), 0);
    b.faceCount = 48;
    for (int f = 6; f < 48; f++) b.faces[f] = b.faces[f % 6];
    before = b;
    EXPECT_EQ(BrushSplitFaceDiagonal(&b, 0, 1, 3), 0);
    EXPECT_EQ(memcmp(&b, &before, sizeof(b)), 0);
}

TEST(TopologyExtrude, TopOfCube)
{
    Brush b = Cube();
    b.faces[1].uvScale[0] = 3.0f;
    b.faces[1].uvOffset[1] = 0.5f;
    b.faces[1].uvRotation = 30.0f;
    b.faces[1].texture = 4;
    ASSERT_EQ(BrushExtrudeFace(&b, 1, 1.0f), 1);
    EXPECT_EQ(b.vertCount, 12);
    EXPECT_EQ(b.faceCount, 10);
    EXPECT_EQ(Corners(b.faces[1]), (std::vector<int>{ 8, 9, 10, 11 }));
    for (int k = 0; k < 4; k++) EXPECT_FLOAT_EQ(b.verts[b.faces[1].indices[k]].y, 2.0f);
    EXPECT_EQ(Corners(b.faces[6]), (std::vector<int>{ 7, 6, 9, 8 }));
    EXPECT_EQ(b.faces[6].texture, 4);
    EXPECT_EQ(b.faces[6].uvScale[0], 3.0f);
    EXPECT_EQ(b.faces[6].uvOffset[1], 0.5f);
    EXPECT_EQ(b.faces[6].uvRotation, 0.0f);   // other placement fields start from defaults
    EXPECT_EQ(b.faces[1].uvRotation, 30.0f);
    EXPECT_TRUE(BrushIsValid(b));
    EXPECT_NEAR(BrushVolume(b), 12.0, 1e-5);
}

TEST(TopologyExtrude, CapacityRefusals)
{
    Brush b = Cube();
    PadVerts(&b, 61);
    Brush before = b;
    EXPECT_EQ(BrushExtrudeFace(&b, 1, 1.0f), 0);
    EXPECT_EQ(BrushExtrudeFace(&b, 6, 1.0f), 0);
    EXPECT_EQ(memcmp(&b, &before, sizeof(b)), 0);
    b = Cube();
    b.faceCount = 45;
    for (int f = 6; f < 45; f++) b.faces[f] = b.faces[0];
    before = b;
    EXPECT_EQ(BrushExtrudeFace(&b, 1, 1.0f), 0);
    EXPECT_EQ(memcmp(&b, &before, sizeof(b)), 0);
}

TEST(TopologyFlip, WedgeAboutCentroid)
{
    Brush w;
    BrushInit(&w, SHAPE_WEDGE, Vector3{ 0, 0, 0 }, Vector3{ 2, 2, 2 }, -1);
    Brush before = w;
    BrushFlip(&w, 1);
    float lo = 1e9f, hi = -1e9f;
    for (int i = 0; i < w.vertCount; i++) lo = fminf(lo, w.verts[i].y), hi = fmaxf(hi, w.verts[i].y);
    EXPECT_NEAR(lo, -5.0f / 3.0f, 1e-5f);
    EXPECT_NEAR(hi, 1.0f / 3.0f, 1e-5f);
    EXPECT_TRUE(BrushIsValid(w));
    EXPECT_NEAR(BrushVolume(w), BrushVolume(before), 1e-5);
    BrushFlip(&w, 1);
    for (int i = 0; i < w.vertCount; i++) EXPECT_NEAR(w.verts[i].y, before.verts[i].y, 1e-5f);
    for (int f = 0; f < w.faceCount; f++) EXPECT_EQ(Corners(w.faces[f]), Corners(before.faces[f]));
    for (int axis = 0; axis < 4; axis++) {
        BrushFlip(&w, axis);
        EXPECT_TRUE(BrushIsValid(w));
    }
}

TEST(TopologySubdivideFace, TopOfCubeOrdersAndClosedSeams)
{
    Brush b = Cube();
    ASSERT_EQ(BrushSubdivideFace(&b, 1), 4);
    EXPECT_EQ(b.vertCount, 13);
    EXPECT_EQ(b.faceCount, 9);
    EXPECT_FLOAT_EQ(b.verts[8].y, 1.0f);   // centre
    EXPECT_FLOAT_EQ(b.verts[8].x, 0.0f);
    // Top was (7, 6, 5, 4): midpoints 9 = 7-6, 10 = 6-5, 11 = 5-4, 12 = 4-7.
    EXPECT_EQ(Corners(b.faces[1]), (std::vector<int>{ 7, 9, 8, 12 }));
    EXPECT_EQ(Corners(b.faces[6]), (std::vector<int>{ 6, 10, 8, 9 }));
    EXPECT_EQ(Corners(b.faces[7]), (std::vector<int>{ 5, 11, 8, 10 }));
    EXPECT_EQ(Corners(b.faces[8]), (std::vector<int>{ 4, 12, 8, 11 }));
    // The neighbours take the midpoints, so no seam is left open.
    EXPECT_EQ(Corners(b.faces[4]), (std::vector<int>{ 5, 10, 6, 2, 1 }));
    EXPECT_TRUE(BrushIsValid(b));
    EXPECT_NEAR(BrushVolume(b), 8.0, 1e-5);
}

TEST(TopologySubdivideFace, Refusals)
{
    Brush b = Cube();
    PadVerts(&b, 59);   // 59 + 4 = 63 fits, 60 does not
    Brush ok = b;
    EXPECT_EQ(BrushSubdivideFace(&ok, 1), 4);
    PadVerts(&b, 60);
    Brush before = b;
    EXPECT_EQ(BrushSubdivideFace(&b, 1), 0);
    EXPECT_EQ(BrushSubdivideFace(&b, 6), 0);
    EXPECT_EQ(BrushSubdivideFace(&b, -1), 0);
    EXPECT_EQ(memcmp(&b, &before, sizeof(b)), 0);

    b = Cube();
    b.faceCount = 46;   // 46 + 4 > 49
    for (int f = 6; f < 46; f++) b.faces[f] = b.faces[0];
    before = b;
    EXPECT_EQ(BrushSubdivideFace(&b, 1), 0);
    EXPECT_EQ(memcmp(&b, &before, sizeof(b)), 0);

    // A neighbour with 16 corners cannot take the midpoint.
    b = Prism16();
    before = b;
    EXPECT_EQ(BrushSubdivideFace(&b, 0), 0);
    EXPECT_EQ(memcmp(&b, &before, sizeof(b)), 0);
}

TEST(TopologySubdivideBrush, CubeSharesMidpoints)
{
    static MapDoc map;
    memset(&map, 0, sizeof(map));
    map.brushCount = 1;
    map.brushes[0] = Cube();
    ASSERT_EQ(SubdivideBrush(&map, 0), 1);
    const Brush &b = map.brushes[0];
    EXPECT_EQ(b.vertCount, 26);   // 8 corners, 6 centres, 12 shared edge midpoints
    EXPECT_EQ(b.faceCount, 24);
    for (int f = 0; f < b.faceCount; f++) EXPECT_EQ(b.faces[f].count, 4);
    // Bottom (1, 2, 3, 0): centre 8, midpoints 9..12; top (7, 6, 5, 4): centre 13, 14..17.
    EXPECT_EQ(Corners(b.faces[0]), (std::vector<int>{ 1, 9, 8, 12 }));
    EXPECT_EQ(Corners(b.faces[1]), (std::vector<int>{ 7, 14, 13, 17 }));
    // -Z (4, 5, 1, 0): centre 18, 4-5 reuses top's 16, 5-1 new 19, 1-0 reuses bottom's 12, 0-4 new 20.
    EXPECT_EQ(Corners(b.faces[2]), (std::vector<int>{ 4, 16, 18, 20 }));
    EXPECT_TRUE(BrushIsValid(b));
    EXPECT_NEAR(BrushVolume(b), 8.0, 1e-5);

    Brush before = b;
    EXPECT_EQ(SubdivideBrush(&map, 0), 0);
    EXPECT_EQ(memcmp(&map.brushes[0], &before, sizeof(before)), 0);
    EXPECT_EQ(SubdivideBrush(&map, 1), 0);
    EXPECT_EQ(SubdivideBrush(&map, -1), 0);
}

TEST(TopologySubdivideBrush, RefusesUpFrontWhenAFaceCannotSplit)
{
    static MapDoc map;
    memset(&map, 0, sizeof(map));
    map.brushCount = 1;
    map.brushes[0] = Cube();
    map.brushes[0].faces[5].count = 2;   // a broken face late in the list
    Brush before = map.brushes[0];
    EXPECT_EQ(SubdivideBrush(&map, 0), 0);
    EXPECT_EQ(memcmp(&map.brushes[0], &before, sizeof(before)), 0);

    // A wedge fits (6 + 5 + 9 = 20 vertices, 18 quads), a default cylinder does not.
    BrushInit(&map.brushes[0], SHAPE_WEDGE, Vector3{ 0, 0, 0 }, Vector3{ 2, 2, 2 }, -1);
    EXPECT_EQ(SubdivideBrush(&map, 0), 1);
    EXPECT_TRUE(BrushIsValid(map.brushes[0]));
    BrushInit(&map.brushes[0], SHAPE_CYLINDER, Vector3{ 0, 0, 0 }, Vector3{ 2, 2, 2 }, -1);
    before = map.brushes[0];
    EXPECT_EQ(SubdivideBrush(&map, 0), 0);
    EXPECT_EQ(memcmp(&map.brushes[0], &before, sizeof(before)), 0);
}

TEST(TopologySplitFace, DiagonalThatIsAlreadyAnEdgeIsRefused)
{
    // Welding leaves faces that pass through one vertex twice: (4, 1, 2, 4, 3, 0) has the edge
    // 4-1, so a cut from 1 to the last 4 would use that edge twice.
    Brush b = Cube();
    int pinched[6] = { 4, 1, 2, 4, 3, 0 };
    b.faces[0].count = 6;
    memcpy(b.faces[0].indices, pinched, sizeof(pinched));
    Brush before = b;
    EXPECT_EQ(BrushSplitFaceDiagonal(&b, 0, 1, 4), 0);
    EXPECT_EQ(memcmp(&b, &before, sizeof(b)), 0);
    // A cube's face diagonal 1-3 becomes an edge after one split; the bottom's twin is refused.
    b = Cube();
    b.faces[1] = b.faces[0];   // a second face over the same corners
    ASSERT_EQ(BrushSplitFaceDiagonal(&b, 0, 1, 3), 1);
    before = b;
    EXPECT_EQ(BrushSplitFaceDiagonal(&b, 1, 1, 3), 0);
    EXPECT_EQ(memcmp(&b, &before, sizeof(b)), 0);
}
