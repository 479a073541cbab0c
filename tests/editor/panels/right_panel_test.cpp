// The right panel: the pointer its widgets see, the shared region's scroll across tabs, the Tree's
// rows and selection, and the Model and Texture tabs' edits with their snapshots and refusals.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "raylib.h"
#include "document/primitives.h"
#include "document/selection.h"
#include "document/undo.h"
#include "editor/ui_state.h"
#include "editor/layout.h"
#include "editor/panels/right_panel.h"
#include "editor/tools/mod_tools.h"
#include "editor/tools/select.h"
#include "editor/widgets.h"
#include "project/asset_browser.h"
#include "project/assets.h"
#include "support/editor_state.h"

class RightPanel : public ::testing::Test {
protected:
    void SetUp() override
    {
        StartEditorState(ui, map, 1);
        BrushInit(&map->brushes[map->brushCount++], SHAPE_CUBE, Vector3{ 4, 0, 0 }, Vector3{ 2, 2, 2 }, 0);
        PushUndoState(map.get());
        memset(&gAssets, 0, sizeof(gAssets));
        for (int i = 0; i < 3; i++) gAssets.textures[i].loaded = true;   // stand-ins: nothing is drawn here
        gAssets.textureCount = 3;
        gAssets.models[0].loaded = true;
        gAssets.modelCount = 1;
        VtxClearActive();
    }
    void TearDown() override
    {
        memset(&gAssets, 0, sizeof(gAssets));
        VtxClearActive();
        FreeUndoHistory();
    }
    std::unique_ptr<UiState> ui;
    std::unique_ptr<MapDoc> map;
};

TEST_F(RightPanel, WidgetsSeeThePointerOnlyInsideTheRegion)
{
    SetMouseScale(1.0f, 1.0f);   // without a window the real pointer stays at (0, 0)
    Rectangle view = { -10, -10, 100, 100 };
    GuiPointerLimit(view, Vector2{ 5, 5 });
    EXPECT_TRUE(CheckCollisionPointRec(GetMousePosition(), view));
    // A pointer below the region (over the status bar) reaches no widget anywhere on screen.
    GuiPointerLimit(view, Vector2{ 5, 95 });
    Vector2 seen = GetMousePosition();
    EXPECT_LT(seen.x, -10000.0f);
    EXPECT_LT(seen.y, -10000.0f);
    GuiPointerRelease();
    EXPECT_EQ(GetMousePosition().x, 0.0f);

    // The Tree's rows do not take a pointer that is over the shown Subdivide button.
    Rectangle button = { 0, 0, 50, 20 };
    EXPECT_FALSE(TreeRowsTakePointer(true, button, Vector2{ 10, 10 }));
    EXPECT_TRUE(TreeRowsTakePointer(false, button, Vector2{ 10, 10 }));
    EXPECT_TRUE(TreeRowsTakePointer(true, button, Vector2{ 10, 30 }));
}

TEST_F(RightPanel, TreeRowsAndSelection)
{
    char text[kTreeRowTextLen];
    TreeRowText(text, sizeof(text), true, "Ground_Brush", "Brush", 0);
    EXPECT_STREQ(text, "> Ground_Brush");
    map->brushes[1].name[0] = '\0';
    ASSERT_EQ(TreeSelect(map.get(), *ui, false, 1), 1);
    EXPECT_STREQ(ui->statusText, "Selected   Brush #1 from Tree");   // from the row's unselected text
    EXPECT_EQ(ui->selBrush, 1);

    ASSERT_EQ(TreeSelect(map.get(), *ui, true, 0), 1);
    EXPECT_EQ(ui->selEntity, 0);
    EXPECT_EQ(ui->selBrush, -1);                                      // which hides Subdivide
    EXPECT_STREQ(ui->statusText, "Selected   Sun from Tree");

    EXPECT_EQ(TreeSelect(map.get(), *ui, false, 2), 0);             // a row the map no longer holds

    // Selecting from the Tree under a running grab puts the grabbed brush back first.
    ui->selBrush = 1;
    ui->selEntity = -1;
    Vector3 origin = map->brushes[1].origin;
    ASSERT_EQ(TransformBegin(map.get(), *ui, XFORM_GRAB, Vector2{ 500, 300 }), 1);
    TransformUpdate(map.get(), *ui, Vector2{ 600, 300 });
    ASSERT_NE(map->brushes[1].origin.x, origin.x);
    TreeSelect(map.get(), *ui, false, 0);
    EXPECT_EQ(ui->xform.transformMode, XFORM_NONE);
    EXPECT_EQ(map->brushes[1].origin.x, origin.x);
}

TEST_F(RightPanel, ApplyTextureToFacesOfSeveralBrushesOrAnEntity)
{
    ui->curTexture = 2;
    map->brushes[0].faces[3].texture = 1;
    FaceSet(0, 1, 1);
    FaceSet(0, 2, 1);
    FaceSet(1, 4, 1);
    int steps = gUndo.count;
    ASSERT_EQ(TextureApplyToSelection(map.get(), *ui), 1);
    EXPECT_STREQ(ui->statusText, "Applied texture to 3 face(s).");
    EXPECT_EQ(gUndo.count, steps + 1);
    EXPECT_EQ(map->brushes[0].faces[1].texture, 2);
    EXPECT_EQ(map->brushes[1].faces[4].texture, 2);
    EXPECT_EQ(map->brushes[0].faces[3].texture, 1);   // not selected
    EXPECT_EQ(map->brushes[0].texture, 0);            // the brushes' own textures stay

    VtxClearActive();
    ui->selBrush = -1;
    ui->selEntity = 0;
    ASSERT_EQ(TextureApplyToSelection(map.get(), *ui), 1);
    EXPECT_EQ(map->entities[0].texture, 2);
    EXPECT_EQ(gUndo.count, steps + 2);
}

TEST_F(RightPanel, RefusalsTakeNoSnapshotAndStaleNumbersAreNeverApplied)
{
    int steps = gUndo.count;
    MapDoc before = *map;
    ui->selBrush = -1;
    ui->selEntity = -1;
    EXPECT_EQ(TextureApplyToSelection(map.get(), *ui), 0);
    EXPECT_STREQ(ui->statusText, "Nothing selected to texture.");
    EXPECT_EQ(ModelAssignToEntity(map.get(), *ui), 0);
    EXPECT_STREQ(ui->statusText, "Select an entity first.");

    // A rescan found fewer textures: the active number 2 now names nothing and is not written.
    ui->selBrush = 1;
    ui->curTexture = 2;
    gAssets.textureCount = 2;
    EXPECT_EQ(TextureApplyToSelection(map.get(), *ui), 0);
    EXPECT_EQ(gUndo.count, steps);
    EXPECT_EQ(memcmp(&before, map.get(), sizeof(MapDoc)), 0);

    // A stale model number gives the entity no model, as -1 does.
    ui->selEntity = 0;
    map->entities[0].model = 0;
    ui->curModel = 5;
    ASSERT_EQ(ModelAssignToEntity(map.get(), *ui), 1);
    EXPECT_EQ(map->entities[0].model, -1);
    EXPECT_EQ(gUndo.count, steps + 1);
}

// One frame of the shared region as the panel runs it, drawing aside: the tab's own scroll taken
// on, wheel steps, the clamp, and the content the tab's body reports measured at the end.
static PanelPlace PanelFrame(const MapDoc *map, UiState &ui, int wheelSteps = 0)
{
    SidePanelFollowTab(map, ui);
    ui.sidePanelScroll.offset += 67.5f * (float)wheelSteps;
    PanelScrollClamp(&ui.sidePanelScroll, RightPanelPlace(ui, 0.0f).view.height);
    PanelPlace place = RightPanelPlace(ui, -ui.sidePanelScroll.offset);
    float bottom = place.y;
    if (SideTabContentBottom(map, place, ui.sideTab, &bottom)) PanelScrollMeasure(&ui.sidePanelScroll, place.view, bottom);
    ui.sideTabMeasured = ui.sideTab;
    return place;
}

TEST_F(RightPanel, ATabSwitchTakesTheNewTabsOwnScrollInItsFirstFrame)
{
    for (int i = map->brushCount; i < 200; i++) BrushInit(&map->brushes[i], SHAPE_CUBE, Vector3{}, Vector3{ 1, 1, 1 }, 0);
    map->brushCount = 200;
    gAssets.textureCount = 24;
    for (int i = 0; i < 24; i++) gAssets.textures[i].loaded = true;
    gBrowser.textureScroll = 100.0f;
    ui->screenW = 1440;
    for (int height : { 900, 560 }) {
        LayoutCompute(*ui, 1440, height);
        ui->sideTab = TAB_TREE;
        PanelFrame(map.get(), *ui);
        PanelFrame(map.get(), *ui, 200);   // scrolled to the end of the long Tree
        ASSERT_GT(ui->sidePanelScroll.offset, 5000.0f);
        ui->sideTab = TAB_TEXTURE;
        PanelPlace place = PanelFrame(map.get(), *ui);
        // In the frame it is chosen the region is within the tab's own content: at the top where it
        // fits, at its end in a low window where it overflows.
        float offset = ui->sidePanelScroll.offset;
        EXPECT_EQ(offset, PanelScrollMax(&ui->sidePanelScroll, place.view.height)) << height;
        EXPECT_EQ(offset > 0.0f, height == 560);
        // The grid has its own size then, keeps its own scroll, and the cell under the pointer in
        // that frame is the one the next frame's click lands on.
        Rectangle grid = TextureTabLayout(place).grid;
        int columns = AssetGridColumns(grid.width);
        EXPECT_EQ(AssetScrollClamp(100.0f, AssetGridContentHeight(24, columns), grid.height), 100.0f);
        Rectangle cell = AssetGridCell(grid, columns, 5, 100.0f);
        place = PanelFrame(map.get(), *ui);
        EXPECT_EQ(ui->sidePanelScroll.offset, offset);
        EXPECT_EQ(AssetGridCell(TextureTabLayout(place).grid, columns, 5, 100.0f).y, cell.y);
        // No content of these tabs follows the scroll.
        PanelPlace rest = RightPanelPlace(*ui, 0.0f), scrolled = RightPanelPlace(*ui, -400.0f);
        EXPECT_EQ(TextureTabLayout(scrolled).rescan.y + 400.0f, TextureTabLayout(rest).rescan.y);
        EXPECT_EQ(ModelTabLayout(scrolled).assign.y + 400.0f, ModelTabLayout(rest).assign.y);
        EXPECT_EQ(ModsTabContentBottom(scrolled) + 400.0f, ModsTabContentBottom(rest));
    }
    gBrowser.textureScroll = 0.0f;

    // Settings' rows only drawing tells: it takes the height it had when last drawn.
    ui->sideTabHeight[TAB_SETTINGS] = RightPanelPlace(*ui, 0.0f).view.height + 300.0f;
    ui->sideTab = TAB_TREE;
    PanelFrame(map.get(), *ui, 200);
    ui->sideTab = TAB_SETTINGS;
    SidePanelFollowTab(map.get(), *ui);
    EXPECT_EQ(ui->sidePanelScroll.offset, 300.0f);
}
