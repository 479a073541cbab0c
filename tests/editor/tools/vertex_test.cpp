// The Vertex tool: picking order and stack cycling, box limits, drags, the operations' refusals,
// and the picks, drops and merges that must not outlive the map they were made on.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "raylib.h"
#include "raymath.h"
#include "document/brush_geometry.h"
#include "document/primitives.h"
#include "document/selection.h"
#include "document/settings.h"
#include "document/topology.h"
#include "document/undo.h"
#include "editor/startup.h"
#include "editor/chrome.h"
#include "editor/layout.h"
#include "editor/panels/right_panel.h"
#include "editor/shortcuts.h"
#include "editor/tools/vertex.h"
#include "editor/windows/merge_prompt.h"
#include "support/brush_check.h"

class VertexTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui = std::make_unique<UiState>();
        CamerasStartValues(*ui);
        UiStateStartValues(*ui, 0, 1);
        LayoutCompute(*ui, 1440, 900);
        Follow2DCameras(*ui);
        ui->activeTool = TOOL_VERTEX;
        map = std::make_unique<MapDoc>();
        memset(map.get(), 0, sizeof(MapDoc));
        savedSnap = gSnap;
        savedGrid = gSettings.gridStep;
        SettingsForTests().editor.gridStep = 0.5f;
        VtxClearActive();
        PushUndoState(map.get());
    }
    void TearDown() override
    {
        SettingsForTests().snap = savedSnap;
        SettingsForTests().editor.gridStep = savedGrid;
        VtxClearActive();
        FreeUndoHistory();
    }
    int AddCube(Vector3 centre, float side)
    {
        int b = map->brushCount++;
        BrushInit(&map->brushes[b], SHAPE_CUBE, centre, Vector3{ side, side, side }, 0);
        gVtxActive[b] = 1;
        return b;
    }
    // Puts the mouse on a world point of a view, offset by (dx, dy) pixels.
    void MouseAt(int view, Vector3 world, float dx = 0, float dy = 0)
    {
        ui->mouse = Vector2Add(VertexViewScreen(*ui, view, world), Vector2{ dx, dy });
    }
    Vector3 World(int b, int i) { return BrushVertWorld(&map->brushes[b], i); }
    std::unique_ptr<UiState> ui;
    std::unique_ptr<MapDoc> map;
    SnapSettings savedSnap;
    float savedGrid;
};

TEST_F(VertexTool, StackedVerticesCycleFromTheTopAndAltTakesThemAll)
{
    AddCube(Vector3{ 0, 0, 0 }, 2);   // column (1, 1): y -1 (vertex 2) and 1 (vertex 6)
    AddCube(Vector3{ 0, 3, 0 }, 2);   // y 2 and 4
    MouseAt(VIEW_TOP, World(0, 6));
    const int expected[5][2] = { { 1, 6 }, { 1, 2 }, { 0, 6 }, { 0, 2 }, { 1, 6 } };
    for (const auto &e : expected) {
        ASSERT_EQ(VertexClick(map.get(), *ui, VIEW_TOP), 1);
        EXPECT_EQ(ui->vertex.hoverBrush, e[0]);
        EXPECT_EQ(ui->vertex.hoverVert, e[1]);
        EXPECT_EQ(VtxSelCount(map.get()), 1);
        ui->mouse.x += 3.0f;   // still within the pick radius of the first click
    }
    EXPECT_STREQ(ui->statusText,
                 "Vertex 6 of Brush #1  [1/4 stacked - click again to cycle, ALT = all]  1 selected");

    // Another view starts a new stack; Alt in a 2D view takes every candidate.
    MouseAt(VIEW_FRONT, World(0, 6));
    ASSERT_EQ(VertexClick(map.get(), *ui, VIEW_FRONT), 1);
    EXPECT_EQ(ui->vertex.hoverVert, 6);   // nearest in z; brush 0's vertex 6 lies at y 1, brush 1's at y 4
    ui->vertex.altHeld = true;
    MouseAt(VIEW_TOP, World(0, 6));
    VertexClick(map.get(), *ui, VIEW_TOP);
    EXPECT_EQ(VtxSelCount(map.get()), 4);

    // Equal depths keep brush order; the 3D view takes the vertex nearest the camera first.
    VertexCandidate c[kMaxPickCandidates];
    AddCube(Vector3{ 0, 0, 0 }, 2);
    MouseAt(VIEW_TOP, World(0, 6));
    ASSERT_EQ(VertexPickCandidates(map.get(), *ui, VIEW_TOP, ui->mouse, c, kMaxPickCandidates), 6);
    EXPECT_EQ(c[2].brush, 0);
    EXPECT_EQ(c[3].brush, 2);
    MouseAt(VIEW_3D, World(0, 6));
    int n = VertexPickCandidates(map.get(), *ui, VIEW_3D, ui->mouse, c, kMaxPickCandidates);
    ASSERT_GE(n, 3);
    EXPECT_EQ(c[0].brush, 1);   // (1, 2, 1) is nearer the camera at (12, 10, 12) than (1, 1, 1)
    EXPECT_EQ(c[0].vert, 2);
    for (int k = 1; k < n; k++) EXPECT_GE(c[k - 1].depth, c[k].depth);
}

TEST_F(VertexTool, ClicksKeepOrToggleTheSelectionAndEdgesAndFacesPickWithinTheirRadius)
{
    AddCube(Vector3{ 0, 0, 0 }, 8);
    VtxSet(0, 4, 1);
    VtxSet(0, 5, 1);
    MouseAt(VIEW_3D, World(0, 5));
    ASSERT_EQ(VertexClick(map.get(), *ui, VIEW_3D), 1);
    EXPECT_EQ(VtxSelCount(map.get()), 2);   // a selected vertex keeps the selection for a drag
    ui->vertex.additiveHeld = true;
    ui->vertex.lastStackKey = -1;
    VertexClick(map.get(), *ui, VIEW_3D);
    EXPECT_FALSE(VtxIsSel(0, 5));
    EXPECT_TRUE(VtxIsSel(0, 4));

    // Ctrl on an edge with one end selected selects both; again, deselects both.
    ui->morphMode = MORPH_EDGE;
    MouseAt(VIEW_3D, Vector3Scale(Vector3Add(World(0, 4), World(0, 5)), 0.5f));
    ASSERT_EQ(VertexClick(map.get(), *ui, VIEW_3D), 1);
    EXPECT_TRUE(VtxIsSel(0, 4) && VtxIsSel(0, 5));
    VertexClick(map.get(), *ui, VIEW_3D);
    EXPECT_FALSE(VtxIsSel(0, 4) || VtxIsSel(0, 5));
    EXPECT_EQ(ui->vertex.pickedEdgeA, 4);
    EXPECT_EQ(ui->vertex.pickedEdgeB, 5);

    // Face centres in a 2D view: 50 pixels away is a pick, 51 is not (diagonally, far from the
    // side faces' centres).
    ui->morphMode = MORPH_FACE;
    ui->vertex.additiveHeld = false;
    MouseAt(VIEW_TOP, Vector3{ 0, 0, 0 }, 51 / sqrtf(2), 51 / sqrtf(2));
    EXPECT_EQ(VertexClick(map.get(), *ui, VIEW_TOP), 0);
    MouseAt(VIEW_TOP, Vector3{ 0, 0, 0 }, 50 / sqrtf(2), 50 / sqrtf(2));
    ASSERT_EQ(VertexClick(map.get(), *ui, VIEW_TOP), 1);
    EXPECT_EQ(FaceSelCount(map.get()), 1);
    EXPECT_EQ(VtxSelCount(map.get()), 4);
}

TEST_F(VertexTool, AnEmptyPressStartsABoxThatTakesThePressAndTinyBoxesSelectNothing)
{
    AddCube(Vector3{ 0, 0, 0 }, 2);
    VtxSet(0, 0, 1);
    MouseAt(VIEW_TOP, Vector3{ 5, 0, 5 });
    EXPECT_EQ(VertexPress(map.get(), *ui), 0);
    EXPECT_TRUE(ui->vertex.marqueeActive);
    EXPECT_TRUE(ui->vertexClickConsumed);   // the click selection of this frame must not see it
    EXPECT_EQ(gVtxActive[0], 1);
    EXPECT_EQ(VtxSelCount(map.get()), 1);   // kept until the box finishes

    ui->vertex.marqueeEnd = Vector2Add(ui->vertex.marqueeStart, Vector2{ 2, -1 });
    EXPECT_EQ(VertexMarqueeFinish(map.get(), *ui), 0);
    EXPECT_EQ(VtxSelCount(map.get()), 1);
    MouseAt(VIEW_TOP, World(0, 6), -5, -5);   // a box around column (1, 1): two vertices
    ui->vertex.marqueeActive = true;
    ui->vertex.marqueeStart = ui->mouse;
    ui->vertex.marqueeEnd = Vector2Add(ui->mouse, Vector2{ 10, 10 });
    EXPECT_EQ(VertexMarqueeFinish(map.get(), *ui), 2);
    EXPECT_TRUE(VtxIsSel(0, 2) && VtxIsSel(0, 6) && !VtxIsSel(0, 0));

    // In the 3D view an empty press clears at once and starts no box.
    const Rectangle &r = ui->viewRect[VIEW_3D];
    ui->mouse = Vector2{ r.x + 20, r.y + r.height - 20 };
    VertexPress(map.get(), *ui);
    EXPECT_FALSE(ui->vertex.marqueeActive);
    EXPECT_EQ(VtxSelCount(map.get()), 0);
}

TEST_F(VertexTool, DragsSnapTheAnchorStayInTheViewPlaneAndTakeOneSnapshot)
{
    AddCube(Vector3{ 0, 0, 0 }, 2);
    map->brushes[0].verts[6] = Vector3{ 0.3f, 1, 1 };
    map->brushes[0].verts[7] = Vector3{ 0.2f, 1, 1 };
    VtxSet(0, 6, 1);
    VtxSet(0, 7, 1);
    MouseAt(VIEW_TOP, World(0, 6));
    ASSERT_EQ(VertexPress(map.get(), *ui), 1);   // selected already: both are dragged
    ASSERT_TRUE(ui->vertex.vertexDragging);
    int snapshots = gUndo.count;
    VertexDragUpdate(map.get(), *ui);             // no movement yet: no undo step
    EXPECT_EQ(gUndo.count, snapshots);
    ui->mouse.x += 40;                            // about 1.74 units
    VertexDragUpdate(map.get(), *ui);
    ui->mouse.x += 2;
    VertexDragUpdate(map.get(), *ui);
    EXPECT_EQ(gUndo.count, snapshots + 1);
    EXPECT_FLOAT_EQ(map->brushes[0].verts[6].x, 2.0f);
    EXPECT_NEAR(map->brushes[0].verts[7].x, 1.9f, 1e-5f);
    EXPECT_EQ(map->brushes[0].verts[6].y, 1.0f);
    EXPECT_EQ(VertexDragRelease(map.get(), *ui), 0);

    // Face mode with Shift: a sideways drag moves the top face only along its normal.
    ui->morphMode = MORPH_FACE;
    ui->shiftHeld = true;
    SettingsForTests().snap.vertex = 0;
    VtxClearSelection();
    BrushInit(&map->brushes[0], SHAPE_CUBE, Vector3{ 0, 0, 0 }, Vector3{ 2, 2, 2 }, 0);
    MouseAt(VIEW_FRONT, Vector3{ 0, 1, 0 });
    ASSERT_EQ(VertexPress(map.get(), *ui), 1);
    ASSERT_EQ(ui->vertex.activeFace, 1);
    ui->mouse = Vector2Add(ui->mouse, Vector2{ 50, -23 });
    VertexDragUpdate(map.get(), *ui);
    EXPECT_EQ(map->brushes[0].verts[4].x, -1.0f);
    EXPECT_NEAR(map->brushes[0].verts[4].y, 1.0f + 23.0f * 16.0f / 369.0f, 1e-4f);
}

TEST_F(VertexTool, ADropWeldsOnlyTheVerticesThatLandedAndAnyMapChangeClosesThePrompt)
{
    SettingsForTests().editor.gridStep = 16.0f;   // half a step would be 8: more than the whole cube
    int b = AddCube(Vector3{ 0, 0, 0 }, 4);
    Brush *cube = &map->brushes[b];
    cube->verts[2] = Vector3{ -1.95f, -2, -2 };   // two unselected vertices lying close together
    VtxSet(b, 6, 1);
    ui->vertex.vertexDragMoved = true;
    cube->verts[6] = Vector3{ 0, 2, 2 };           // 2 units from any vertex: no landing
    EXPECT_EQ(VertexDragRelease(map.get(), *ui), 0);
    EXPECT_FALSE(ui->mergePrompt);
    EXPECT_EQ(VertexWeldSelected(map.get(), *ui), 0);
    EXPECT_EQ(cube->vertCount, 8);

    cube->verts[6] = cube->verts[5];               // dropped right on vertex 5
    ui->vertex.vertexDragMoved = true;
    ASSERT_EQ(VertexDragRelease(map.get(), *ui), 1);
    ASSERT_TRUE(ui->mergePrompt);
    EXPECT_EQ(MergePromptMerge(map.get(), *ui), 1);
    EXPECT_EQ(cube->vertCount, 7);
    EXPECT_TRUE(BrushIsValid(*cube, BrushCheckOptions{ true, false }));
    EXPECT_FALSE(ui->mergePrompt);

    // A prompt left open over a map that is then replaced never welds by its stale indices.
    VtxSet(b, 0, 1);
    cube->verts[0] = cube->verts[3];
    ui->vertex.vertexDragMoved = true;
    ASSERT_EQ(VertexDragRelease(map.get(), *ui), 1);
    NewMap(map.get(), *ui);
    EXPECT_FALSE(ui->mergePrompt);
    EXPECT_EQ(ui->mergeCount, 0);
}

TEST_F(VertexTool, ThePickedEdgeIsForgottenOnUndoAndNeverSplitWhenGone)
{
    int b = AddCube(Vector3{ 0, 0, 0 }, 2);
    ui->morphMode = MORPH_EDGE;
    MouseAt(VIEW_3D, Vector3Scale(Vector3Add(World(b, 4), World(b, 5)), 0.5f));
    ASSERT_EQ(VertexClick(map.get(), *ui, VIEW_3D), 1);
    EXPECT_EQ(VertexSplitPickedEdge(map.get(), *ui), 8);
    EXPECT_TRUE(VtxIsSel(b, 8));
    EXPECT_EQ(map->brushes[b].faces[1].count, 5);
    EXPECT_EQ(VertexSplitPickedEdge(map.get(), *ui), -1);   // 4-5 is two edges now

    ui->vertex.pickedEdgeA = 4;
    ui->vertex.pickedEdgeB = 8;
    ASSERT_EQ(UndoStep(map.get(), *ui, false), 1);
    EXPECT_EQ(ui->vertex.pickedEdgeA, -1);
    int snapshots = gUndo.count;
    gVtxActive[b] = 1;
    ui->vertex.pickedEdgeA = 4;   // an edge the restored cube does not have: no orphan vertex
    ui->vertex.pickedEdgeB = 8;
    ui->vertex.hoverBrush = b;
    EXPECT_EQ(VertexSplitPickedEdge(map.get(), *ui), -1);
    EXPECT_EQ(map->brushes[b].vertCount, 8);
    EXPECT_EQ(gUndo.count, snapshots);
}

TEST_F(VertexTool, OperationsLeaveAClosedBrushOrRefuseWithNoUndoStep)
{
    int b = AddCube(Vector3{ 0, 0, 0 }, 2);
    const Brush before = map->brushes[b];
    int snapshots = gUndo.count;
    VtxSet(b, 4, 1);   // opposite corners of the top face
    VtxSet(b, 6, 1);
    EXPECT_EQ(VertexCollapseSelected(map.get(), *ui), 0);
    EXPECT_STREQ(ui->statusText, "Cannot collapse: Brush #0 would not stay a closed solid.");
    ui->vertex.hoverBrush = b;
    VtxClearSelection();
    VtxSet(b, 4, 1);   // adjacent corners
    VtxSet(b, 5, 1);
    EXPECT_EQ(VertexSplitFace(map.get(), *ui), 0);
    EXPECT_EQ(memcmp(&map->brushes[b], &before, sizeof(Brush)), 0);
    EXPECT_EQ(gUndo.count, snapshots);

    VtxSet(b, 6, 1);
    VtxSet(b, 7, 1);
    EXPECT_EQ(VertexCollapseSelected(map.get(), *ui), 3);
    EXPECT_TRUE(BrushIsValid(map->brushes[b]));
    EXPECT_EQ(gUndo.count, snapshots + 1);

    // Extrude and subdivide count what fits and say so for what does not.
    b = AddCube(Vector3{ 5, 0, 0 }, 2);
    ui->morphMode = MORPH_FACE;
    FaceSet(b, 1, 1);
    EXPECT_EQ(VertexExtrudeFaces(map.get(), *ui), 1);
    EXPECT_FLOAT_EQ(map->brushes[b].verts[map->brushes[b].faces[1].indices[0]].y, 1.5f);
    EXPECT_TRUE(BrushIsValid(map->brushes[b]));
    map->brushes[b].vertCount = 61;   // the quad's new corners would not fit
    EXPECT_EQ(VertexExtrudeFaces(map.get(), *ui), 0);
    EXPECT_STREQ(ui->statusText, "Extruded 0 face(s); 1 would pass the brush limits.");
    map->brushes[b].vertCount = 12;
    EXPECT_EQ(VertexSubdivideFaces(map.get(), *ui), 4);
    EXPECT_EQ(FaceSelCount(map.get()), 0);
}

TEST_F(VertexTool, TypedCentresMustBeFiniteAndStayInTheMapsRange)
{
    int b = AddCube(Vector3{ 0, 0, 0 }, 2);
    VtxSet(b, 6, 1);
    VtxSet(b, 0, 1);
    int snapshots = gUndo.count;
    for (const char *text : { "nan", "inf", "-1e39" }) {
        EXPECT_EQ(VertexCentreCommit(map.get(), *ui, 0, text), 0) << text;
    }
    EXPECT_EQ(gUndo.count, snapshots);
    EXPECT_EQ(VertexCentreCommit(map.get(), *ui, 0, "900"), 1);
    EXPECT_FLOAT_EQ(World(b, 6).x, kMapPositionLimit);   // the farther vertex stops at the edge
    EXPECT_FLOAT_EQ(World(b, 0).x, kMapPositionLimit - 2.0f);
    EXPECT_EQ(gUndo.count, snapshots + 1);
}

TEST_F(VertexTool, ASnapThatWouldFoldABrushIsRefusedByCtrlBAndThePanel)
{
    // Refused: at grid 16 a unit cube into one point, and a slab onto y 32 (its split face would
    // leave four flat faces); at grid 1 one corner of a top onto the opposite one (a pinch).
    int b = AddCube(Vector3{ 0, 0, 0 }, 1);
    int slab = AddCube(Vector3{ 0, 0, 0 }, 1);
    BrushInit(&map->brushes[slab], SHAPE_CUBE, Vector3{ 0, 36, 0 }, Vector3{ 32, 4, 32 }, 0);
    ASSERT_EQ(BrushSubdivideFace(&map->brushes[slab], 0), 4);
    int pinch = AddCube(Vector3{ 0, 0, 0 }, 2);
    map->brushes[pinch].verts[4] = Vector3{ 0.8f, 1, 0.8f };   // rounds onto vertex 6 at (1, 1, 1)
    static MapDoc before;
    before = *map;
    int snapshots = gUndo.count;
    for (int k : { b, slab, pinch }) {
        SettingsForTests().editor.gridStep = k == pinch ? 1.0f : 16.0f;
        VtxClearSelection();
        for (int i = 0; i < map->brushes[k].vertCount; i++) VtxSet(k, i, k != pinch || i == 4);
        EXPECT_EQ(VertexSnapSelected(map.get(), *ui), 0) << k;
        EXPECT_EQ(VertexPanelSnap(map.get(), *ui), 0) << k;
        EXPECT_STREQ(ui->statusText, TextFormat("Cannot snap: Brush #%d would not stay a closed solid.", k));
    }
    EXPECT_EQ(memcmp(map.get(), &before, sizeof(MapDoc)), 0);
    EXPECT_EQ(gUndo.count, snapshots);

    // Corners meeting along edges keep a solid: the top of the cube into one apex.
    Brush *cube = &map->brushes[pinch];
    for (int i = 4; i < 8; i++) {
        cube->verts[i] = Vector3{ 0.2f * cube->verts[i].x, 1, 0.2f * cube->verts[i].z };
        VtxSet(pinch, i, 1);
    }
    EXPECT_EQ(VertexPanelSnap(map.get(), *ui), 1);
    EXPECT_STREQ(ui->statusText, "Snapped selection to grid.");
    for (int i = 4; i < 8; i++) EXPECT_EQ(Vector3Distance(cube->verts[i], Vector3{ 0, 1, 0 }), 0.0f);
    EXPECT_EQ(gUndo.count, snapshots + 1);
}

TEST_F(VertexTool, DragsHoldEverySelectedVertexInTheMapsRange)
{
    int b = AddCube(Vector3{ 2, 0, 0 }, 2);
    VtxSet(b, 6, 1);
    VtxSet(b, 7, 1);
    MouseAt(VIEW_TOP, World(b, 6));
    ASSERT_EQ(VertexPress(map.get(), *ui), 1);
    float z = World(b, 6).z;
    ui->mouse.x += 20000;   // some 870 units: far past the edge, and a little along z
    ui->mouse.y += 46;
    VertexDragUpdate(map.get(), *ui);
    EXPECT_FLOAT_EQ(fmaxf(World(b, 6).x, World(b, 7).x), kMapPositionLimit);
    EXPECT_FLOAT_EQ(fabsf(World(b, 6).x - World(b, 7).x), 2.0f);   // the selection keeps its shape
    EXPECT_GT(World(b, 6).z, z + 1.0f);                           // the other axis still follows
}
