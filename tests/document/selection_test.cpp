// Vertex and face selection sets: the masks at their edges and the selected-vertex operations.
#include <gtest/gtest.h>

#include <memory>

#include "document/brush_geometry.h"
#include "document/primitives.h"
#include "document/selection.h"
#include "support/vector_check.h"

namespace {

struct SelectionTest : ::testing::Test {
    std::unique_ptr<MapDoc> map{ new MapDoc() };
    void SetUp() override { VtxClearActive(); }
    void TearDown() override { VtxClearActive(); }
    void AddCube(Vector3 origin)
    {
        BrushInit(&map->brushes[map->brushCount++], SHAPE_CUBE, origin, Vector3{ 2, 2, 2 }, -1);
    }
};

TEST_F(SelectionTest, SetAndClearOneBit)
{
    VtxSet(3, 5, 1);
    EXPECT_EQ(VtxIsSel(3, 5), 1);
    EXPECT_EQ(VtxIsSel(3, 4), 0);
    EXPECT_EQ(VtxIsSel(2, 5), 0);
    VtxSet(3, 5, 0);
    EXPECT_EQ(VtxIsSel(3, 5), 0);
    FaceSet(3, 5, 7);                          // any non-zero value selects
    EXPECT_EQ(FaceIsSel(3, 5), 1);
    EXPECT_EQ(VtxIsSel(3, 5), 0);              // the two sets are separate
}

TEST_F(SelectionTest, Bit63AndSlot255)
{
    VtxSet(255, 63, 1);
    FaceSet(255, 63, 1);
    VtxSet(0, 0, 1);
    EXPECT_EQ(VtxIsSel(255, 63), 1);
    EXPECT_EQ(FaceIsSel(255, 63), 1);
    EXPECT_EQ(VtxIsSel(255, 62), 0);
    EXPECT_EQ(gVtxSel[255], (uint64_t)1 << 63);
    EXPECT_EQ(gVtxSel[0], 1u);
    VtxSet(255, 63, 0);
    FaceSet(255, 63, 0);
    EXPECT_EQ(gVtxSel[255], 0u);
    EXPECT_EQ(gFaceSel[255], 0u);
    EXPECT_EQ(gVtxSel[0], 1u);
}

TEST_F(SelectionTest, ClearSelectionKeepsActiveAndClearActiveClearsAll)
{
    gVtxActive[7] = 1;
    VtxSet(7, 1, 1);
    FaceSet(7, 2, 1);
    VtxClearSelection();
    EXPECT_EQ(gVtxSel[7], 0u);
    EXPECT_EQ(gFaceSel[7], 0u);
    EXPECT_EQ(gVtxActive[7], 1);
    VtxSet(7, 1, 1);
    FaceSet(7, 2, 1);
    VtxClearActive();
    EXPECT_EQ(gVtxActive[7], 0);
    EXPECT_EQ(gVtxSel[7], 0u);
    EXPECT_EQ(gFaceSel[7], 0u);
}

TEST_F(SelectionTest, CountsIgnoreBitsPastCountsAndBrushesPastCount)
{
    AddCube(Vector3{ 0, 0, 0 });
    VtxSet(0, 2, 1);
    VtxSet(0, 10, 1);                          // the cube has 8 vertices
    VtxSet(0, 63, 1);
    FaceSet(0, 5, 1);
    FaceSet(0, 6, 1);                          // and 6 faces
    VtxSet(1, 0, 1);                           // brush 1 is not in the map
    FaceSet(1, 0, 1);
    gVtxActive[0] = 1;
    gVtxActive[1] = 1;
    EXPECT_EQ(VtxSelCount(map.get()), 1);
    EXPECT_EQ(FaceSelCount(map.get()), 1);
    EXPECT_EQ(VtxActiveCount(map.get()), 1);
}

TEST_F(SelectionTest, SyncFaceSelectionAddsCornersOnly)
{
    AddCube(Vector3{ 0, 0, 0 });
    VtxSet(0, 0, 1);
    FaceSet(0, 1, 1);                          // the top face: corners 4, 5, 6, 7
    SyncFaceSelectionToVerts(map.get());
    EXPECT_EQ(gVtxSel[0], 0xF1u);
    EXPECT_EQ(gFaceSel[0], 2u);
}

TEST_F(SelectionTest, CentreOfNothingLeavesOutput)
{
    AddCube(Vector3{ 0, 0, 0 });
    VtxSet(0, 9, 1);                           // past the vertex count: not a selection
    Vector3 out = { 7, 8, 9 };
    EXPECT_EQ(GetVertexSelectionCenter(map.get(), &out), 0);
    EXPECT_EQ(out.x, 7.0f);
    EXPECT_EQ(out.y, 8.0f);
    EXPECT_EQ(out.z, 9.0f);
    MoveVertexSelectionTo(map.get(), Vector3{ 1, 1, 1 });
    EXPECT_EQ(map->brushes[0].verts[0].x, -1.0f);
}

TEST_F(SelectionTest, CentreIsMeanOverBrushes)
{
    AddCube(Vector3{ 0, 0, 0 });
    AddCube(Vector3{ 10, 0, 0 });
    VtxSet(0, 6, 1);                           // (1, 1, 1)
    VtxSet(1, 0, 1);                           // (9, -1, -1)
    Vector3 c;
    ASSERT_EQ(GetVertexSelectionCenter(map.get(), &c), 1);
    EXPECT_FLOAT_EQ(c.x, 5.0f);
    EXPECT_FLOAT_EQ(c.y, 0.0f);
    EXPECT_FLOAT_EQ(c.z, 0.0f);
}

TEST_F(SelectionTest, MoveOneVertexOfRotatedBrushLandsOnTarget)
{
    AddCube(Vector3{ 3, 1, -2 });
    map->brushes[0].rotation = Vector3{ 20, 35, -50 };
    VtxSet(0, 2, 1);
    VtxSet(0, 40, 1);                          // past the count: must not move anything
    Brush before = map->brushes[0];
    Vector3 target = { 4.25f, -3.5f, 7.0f };
    MoveVertexSelectionTo(map.get(), target);
    Vector3 w = BrushVertWorld(&map->brushes[0], 2);
    ExpectNear(w, target);
    for (int i = 0; i < map->brushes[0].vertCount; i++) {
        if (i == 2) continue;
        EXPECT_EQ(map->brushes[0].verts[i].x, before.verts[i].x);
        EXPECT_EQ(map->brushes[0].verts[i].y, before.verts[i].y);
    }
}

TEST_F(SelectionTest, MoveSeveralKeepsTheirShape)
{
    AddCube(Vector3{ 0, 0, 0 });
    map->brushes[0].rotation = Vector3{ 0, 45, 0 };
    for (int i = 4; i < 8; i++) VtxSet(0, i, 1);
    Vector3 a0 = BrushVertWorld(&map->brushes[0], 4), b0 = BrushVertWorld(&map->brushes[0], 6);
    MoveVertexSelectionTo(map.get(), Vector3{ 0, 5, 0 });
    Vector3 c;
    ASSERT_EQ(GetVertexSelectionCenter(map.get(), &c), 1);
    EXPECT_NEAR(c.y, 5.0f, 1e-4f);
    Vector3 a1 = BrushVertWorld(&map->brushes[0], 4), b1 = BrushVertWorld(&map->brushes[0], 6);
    EXPECT_NEAR(Vector3Distance(a0, b0), Vector3Distance(a1, b1), 1e-4f);
    EXPECT_NEAR(a1.y - a0.y, 4.0f, 1e-4f);     // a world-space move, not along the brush's axes
}

}  // namespace
