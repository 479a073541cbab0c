// The Clip tool's faults: misses and refusals leave the map without a snapshot, Backspace takes
// the tool's own cuts first, the wheel bends an arc instead of zooming, leaving the tool drops all.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "document/primitives.h"
#include "document/undo.h"
#include "editor/app.h"
#include "editor/layout.h"
#include "editor/tool_clip.h"
#include "render/settings.h"

class ClipTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui = std::make_unique<UiState>();
        CamerasStartValues(*ui);
        UiStateStartValues(*ui, 0, 1);
        LayoutCompute(*ui, 1440, 900);
        ui->activeTool = TOOL_CLIP;
        ui->selBrush = 0;
        map = std::make_unique<MapDoc>();
        memset(map.get(), 0, sizeof(MapDoc));
        for (int i = 0; i < kMaxBrushes; i++) BrushInit(&map->brushes[i], SHAPE_CUBE, Vector3{}, Vector3{ 4, 4, 4 }, 0);
        map->brushCount = 1;
    }
    void TearDown() override { FreeUndoHistory(); }
    // A finished line down the Top view at world x, in front of the cube's x < x part.
    void Line(float x, int keep, bool arc = false)
    {
        ui->clipWorldStart = Vector3{ x, 0, -5 };
        ui->clipWorldEnd = Vector3{ x, 0, 5 };
        ui->clipView = VIEW_TOP;
        ui->clipKeep = keep;
        ui->clipArc = arc;
        ui->clipHasLine = true;
    }
    std::unique_ptr<UiState> ui;
    std::unique_ptr<MapDoc> map;
};

TEST_F(ClipTool, MissesAndRefusalsLeaveTheMapWithoutASnapshot)
{
    Brush before = map->brushes[0];
    Line(8, CLIP_KEEP_BOTH);                               // beside the cube
    EXPECT_EQ(ClipApply(map.get(), *ui), 0);
    EXPECT_STREQ(ui->statusText, "No cut plane crossed the brush.");
    // Keep both on a full map: the back part has nowhere to go, so the cut is refused and stays.
    map->brushCount = kMaxBrushes;
    Line(-1, CLIP_KEEP_BOTH);
    ASSERT_TRUE(ClipQueueLine(*ui));
    EXPECT_EQ(ClipApply(map.get(), *ui), 0);
    EXPECT_NE(strstr(ui->statusText, "refused"), nullptr);
    EXPECT_EQ(ui->clipCutCount, 1);
    EXPECT_EQ(map->brushCount, kMaxBrushes);
    EXPECT_EQ(memcmp(&map->brushes[0], &before, sizeof(Brush)), 0);
    EXPECT_EQ(gUndo.count, 0);
    ui->clipCuts[0].keep = CLIP_KEEP_FRONT;                // keeping the front needs no room
    EXPECT_EQ(ClipApply(map.get(), *ui), 1);
    EXPECT_EQ(gUndo.count, 1);
}

TEST_F(ClipTool, BackspaceTakesTheLineThenTheQueueThenNothing)
{
    Line(-1, CLIP_KEEP_FRONT);
    ClipQueueLine(*ui);
    Line(1, CLIP_KEEP_FRONT, true);
    EXPECT_EQ(ClipRemoveLast(*ui), 1);
    EXPECT_FALSE(ui->clipHasLine || ui->clipArc);
    EXPECT_EQ(ClipRemoveLast(*ui), 1);
    EXPECT_EQ(ClipRemoveLast(*ui), 0);                     // then Backspace is Delete's again
}

TEST_F(ClipTool, WheelBendsTheArcUnderTheMouseInsteadOfZooming)
{
    Rectangle top = ui->viewRect[VIEW_TOP], front = ui->viewRect[VIEW_FRONT];
    ui->mouse = Vector2{ top.x + 50, top.y + 50 };
    Line(-1, CLIP_KEEP_FRONT);
    EXPECT_FALSE(ClipToolTakesWheel(*ui, 1.0f));           // a straight line leaves it to the view
    ui->clipArc = true;
    float zoom = ui->orthoZoom;
    EXPECT_EQ(Zoom2DByWheel(*ui, 1.0f), 0);
    EXPECT_EQ(ui->orthoZoom, zoom);
    ui->mouse = Vector2{ front.x + 50, front.y + 50 };     // another view zooms
    EXPECT_EQ(Zoom2DByWheel(*ui, 1.0f), 1);
    for (int i = 0; i < 20; i++) ClipWheel(*ui, 1.0f, true);
    EXPECT_EQ(ui->clipSegments, kClipMaxSegments);
}

TEST_F(ClipTool, LeavingTheToolDropsTheLineAndTheQueue)
{
    Line(-1, CLIP_KEEP_BOTH);
    ClipQueueLine(*ui);
    Line(1, CLIP_KEEP_BOTH, true);
    ui->activeTool = TOOL_SELECT;
    ClipToolPhase(map.get(), *ui);
    EXPECT_EQ(ui->clipCutCount, 0);
    EXPECT_FALSE(ui->clipHasLine || ui->clipArc);
}
