// The Clip tool: applying cuts with one snapshot or none, misses and full-map refusals that leave
// the map alone, the queue and Backspace, the wheel that bends an arc instead of zooming, and
// leaving the tool.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "raylib.h"
#include "document/primitives.h"
#include "document/undo.h"
#include "editor/app.h"
#include "editor/layout.h"
#include "editor/tool_clip.h"
#include "render/settings.h"
#include "support/brush_check.h"

class ClipTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui = std::make_unique<UiState>();
        CamerasStartValues(*ui);
        UiStateStartValues(*ui, 0, 1);
        LayoutCompute(*ui, 1440, 900);
        map = std::make_unique<MapDoc>();
        memset(map.get(), 0, sizeof(MapDoc));
        map->brushCount = 1;
        BrushInit(&map->brushes[0], SHAPE_CUBE, Vector3{ 0, 0, 0 }, Vector3{ 4, 4, 4 }, 0);
        ui->selBrush = 0;
        ui->activeTool = TOOL_CLIP;
        savedGrid = gSettings.gridStep;
        gSettings.gridStep = 0.5f;
    }
    void TearDown() override
    {
        gSettings.gridStep = savedGrid;
        FreeUndoHistory();
    }
    // A finished line in the Top view from (x0, z0) to (x1, z1).
    void Line(float x0, float z0, float x1, float z1, int keep, bool arc = false)
    {
        ui->clipWorldStart = Vector3{ x0, 0, z0 };
        ui->clipWorldEnd = Vector3{ x1, 0, z1 };
        ui->clipView = VIEW_TOP;
        ui->clipKeep = keep;
        ui->clipArc = arc;
        ui->clipHasLine = true;
    }
    std::unique_ptr<UiState> ui;
    std::unique_ptr<MapDoc> map;
    float savedGrid;
};

TEST_F(ClipTool, KeepFrontBackAndBothCutTheCubeWithOneSnapshot)
{
    const double whole = BrushVolume(map->brushes[0]);
    for (int keep = CLIP_KEEP_FRONT; keep <= CLIP_KEEP_BOTH; keep++) {
        SCOPED_TRACE(keep);
        map->brushCount = 1;
        BrushInit(&map->brushes[0], SHAPE_CUBE, Vector3{ 0, 0, 0 }, Vector3{ 4, 4, 4 }, 0);
        FreeUndoHistory();
        Line(-1, -5, -1, 5, keep);                       // x = -1 down the view: the front is x < -1
        ASSERT_EQ(ClipApply(map.get(), *ui), 1);
        EXPECT_EQ(gUndo.count, 1);
        EXPECT_FALSE(ui->clipHasLine);
        EXPECT_EQ(ui->selBrush, 0);
        int expectCount = keep == CLIP_KEEP_BOTH ? 2 : 1;
        ASSERT_EQ(map->brushCount, expectCount);
        double sum = 0;
        for (int i = 0; i < map->brushCount; i++) {
            EXPECT_TRUE(BrushIsValid(map->brushes[i]));
            EXPECT_EQ(map->brushes[i].vertCount, 8);
            sum += BrushVolume(map->brushes[i]);
        }
        if (keep != CLIP_KEEP_BOTH) EXPECT_NEAR(BrushVolume(map->brushes[0]), whole * (keep == CLIP_KEEP_FRONT ? 0.25 : 0.75), 1e-3);
        else EXPECT_NEAR(sum, whole, 1e-3);
        // Undo brings back the whole cube and drops the piece.
        ASSERT_EQ(Undo(map.get()), 1);
        EXPECT_EQ(map->brushCount, 1);
        EXPECT_NEAR(BrushVolume(map->brushes[0]), whole, 1e-3);
    }
    EXPECT_STREQ(ui->statusText, "Split into 2 solids using 1 plane(s).");
}

TEST_F(ClipTool, ArcCutKeepingBothLeavesClosedPiecesThatFillTheCube)
{
    const double whole = BrushVolume(map->brushes[0]);
    Line(-3, -3, 3, 3, CLIP_KEEP_BOTH, true);
    ui->clipBulge = 1.0f;
    ui->clipSegments = 4;
    ASSERT_EQ(ClipApply(map.get(), *ui), 1);
    EXPECT_GT(map->brushCount, 2);
    double sum = 0;
    for (int i = 0; i < map->brushCount; i++) {
        EXPECT_TRUE(BrushIsValid(map->brushes[i])) << i;
        sum += BrushVolume(map->brushes[i]);
    }
    EXPECT_NEAR(sum, whole, 1e-3);
}

TEST_F(ClipTool, MissesAndRefusalsLeaveTheMapWithoutASnapshot)
{
    Brush before = map->brushes[0];
    ui->selBrush = -1;
    Line(-1, -5, -1, 5, CLIP_KEEP_FRONT);
    EXPECT_EQ(ClipApply(map.get(), *ui), 0);
    EXPECT_STREQ(ui->statusText, "Select a brush to clip first.");
    EXPECT_TRUE(ui->clipHasLine);

    ui->selBrush = 0;
    Line(1, 1, 1, 1, CLIP_KEEP_FRONT);                   // no length: no plane
    EXPECT_EQ(ClipApply(map.get(), *ui), 0);
    EXPECT_STREQ(ui->statusText, "Nothing to cut with.");

    Line(8, -5, 8, 5, CLIP_KEEP_BOTH);                   // beside the cube
    EXPECT_EQ(ClipApply(map.get(), *ui), 0);
    EXPECT_STREQ(ui->statusText, "No cut plane crossed the brush.");
    EXPECT_FALSE(ui->clipHasLine);

    // Keep both on a full map: the back part has nowhere to go, so the cut is refused and stays.
    for (int i = 1; i < kMaxBrushes; i++) map->brushes[i] = before;
    map->brushCount = kMaxBrushes;
    Line(-1, -5, -1, 5, CLIP_KEEP_BOTH);
    ASSERT_TRUE(ClipQueueLine(*ui));
    EXPECT_EQ(ClipApply(map.get(), *ui), 0);
    EXPECT_NE(strstr(ui->statusText, "refused"), nullptr);
    EXPECT_EQ(ui->clipCutCount, 1);
    EXPECT_EQ(map->brushCount, kMaxBrushes);
    EXPECT_EQ(memcmp(&map->brushes[0], &before, sizeof(Brush)), 0);
    EXPECT_EQ(gUndo.count, 0);
    // Keeping the front needs no room.
    ui->clipCuts[0].keep = CLIP_KEEP_FRONT;
    EXPECT_EQ(ClipApply(map.get(), *ui), 1);
    EXPECT_EQ(gUndo.count, 1);
}

TEST_F(ClipTool, QueueHoldsEightAndEnterTakesThemAllWithTheLine)
{
    for (int i = 0; i < kMaxClipCuts; i++) {
        Line(-1.5f + 0.25f * (float)i, -5, -1.5f + 0.25f * (float)i, 5, CLIP_KEEP_BACK, true);
        ui->clipBulge = 0.5f;
        ui->clipSegments = kClipMaxSegments;
        ASSERT_EQ(ClipQueueLine(*ui), 1);
        EXPECT_FALSE(ui->clipArc);                       // the arc and bulge are the queued line's
        EXPECT_EQ(ui->clipBulge, 0.0f);
    }
    Line(0, -5, 0, 5, CLIP_KEEP_BACK);
    EXPECT_EQ(ClipQueueLine(*ui), 0);
    EXPECT_TRUE(ui->clipHasLine);
    ASSERT_EQ(ClipApply(map.get(), *ui), 1);
    EXPECT_STREQ(ui->statusText, "Carved with 32 plane(s) from 9 cut(s).");
    EXPECT_EQ(ui->clipCutCount, 0);
    EXPECT_TRUE(BrushIsValid(map->brushes[0]));
}

TEST_F(ClipTool, BackspaceTakesTheLineThenTheQueueThenNothing)
{
    Line(-1, -5, -1, 5, CLIP_KEEP_FRONT);
    ClipQueueLine(*ui);
    Line(1, -5, 1, 5, CLIP_KEEP_FRONT, true);
    ui->clipBulge = 1.5f;
    EXPECT_EQ(ClipRemoveLast(*ui), 1);
    EXPECT_FALSE(ui->clipHasLine || ui->clipArc);
    EXPECT_EQ(ui->clipCutCount, 1);
    EXPECT_EQ(ClipRemoveLast(*ui), 1);
    EXPECT_STREQ(ui->statusText, "Removed queued cut. 0 left.");
    EXPECT_EQ(ClipRemoveLast(*ui), 0);                   // then Backspace is Delete's again
}

TEST_F(ClipTool, WheelBendsTheArcUnderTheMouseInsteadOfZooming)
{
    Rectangle top = ui->viewRect[VIEW_TOP], front = ui->viewRect[VIEW_FRONT];
    ui->mouse = Vector2{ top.x + top.width / 2, top.y + top.height / 2 };
    float zoom = ui->orthoZoom;
    Line(-1, -5, -1, 5, CLIP_KEEP_FRONT);
    EXPECT_FALSE(ClipToolTakesWheel(*ui, 1.0f));         // a straight line leaves the wheel to the view
    ui->clipArc = true;
    EXPECT_TRUE(ClipToolTakesWheel(*ui, 1.0f));
    EXPECT_EQ(Zoom2DByWheel(*ui, 1.0f), 0);
    EXPECT_EQ(ui->orthoZoom, zoom);
    ui->transformMode = XFORM_GRAB;                      // a running transform owns the input
    EXPECT_FALSE(ClipToolTakesWheel(*ui, 1.0f));
    ui->transformMode = XFORM_NONE;
    ui->mouse = Vector2{ front.x + front.width / 2, front.y + front.height / 2 };
    EXPECT_FALSE(ClipToolTakesWheel(*ui, 1.0f));         // another view zooms
    EXPECT_EQ(Zoom2DByWheel(*ui, 1.0f), 1);

    gSettings.gridStep = 0.01f;                          // the bulge step is at least 0.05
    ClipWheel(*ui, 2.0f, false);
    EXPECT_FLOAT_EQ(ui->clipBulge, 0.1f);
    for (int i = 0; i < 20; i++) ClipWheel(*ui, -1.0f, true);
    EXPECT_EQ(ui->clipSegments, kClipMinSegments);
    for (int i = 0; i < 20; i++) ClipWheel(*ui, 1.0f, true);
    EXPECT_EQ(ui->clipSegments, kClipMaxSegments);
}

TEST_F(ClipTool, LeavingTheToolDropsTheLineAndTheQueue)
{
    Line(-1, -5, -1, 5, CLIP_KEEP_BOTH);
    ClipQueueLine(*ui);
    Line(1, -5, 1, 5, CLIP_KEEP_BOTH, true);
    ui->clipBulge = 1.0f;
    ui->activeTool = TOOL_SELECT;
    ClipToolPhase(map.get(), *ui);
    EXPECT_EQ(ui->clipCutCount, 0);
    EXPECT_FALSE(ui->clipHasLine || ui->clipDragging || ui->clipArc);
    EXPECT_EQ(ui->clipKeep, CLIP_KEEP_BOTH);             // the kept side is a setting, it stays
    ui->activeTool = TOOL_CLIP;
    ui->mouse = Vector2{ ui->viewRect[VIEW_TOP].x + 50, ui->viewRect[VIEW_TOP].y + 50 };
    EXPECT_EQ(ClipApply(map.get(), *ui), 0);             // nothing left to apply
    EXPECT_EQ(map->brushCount, 1);
}
