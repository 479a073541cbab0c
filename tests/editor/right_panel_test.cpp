// The right panel: the pointer its widgets see, the shared region's scroll across tabs, the Tree's
// rows and selection, and the Model and Texture tabs' edits with their snapshots and refusals.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "raylib.h"
#include "document/primitives.h"
#include "document/selection.h"
#include "document/undo.h"
#include "editor/app.h"
#include "editor/layout.h"
#include "editor/mod_tools.h"
#include "editor/right_panel.h"
#include "editor/tool_select.h"
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
    EXPECT_EQ(ui->transformMode, XFORM_NONE);
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
// on, the offset clamped, and the content the tab's body reports measured at the end.
static PanelPlace PanelFrame(const MapDoc *map, UiState &ui)
{
    SidePanelFollowTab(map, ui);
    PanelPlace place = RightPanelPlace(ui, 0.0f);
    PanelScrollClamp(&ui.sidePanelScroll, place.view.height);
    place = RightPanelPlace(ui, -ui.sidePanelScroll.offset);
    float bottom = place.y;
    if (SideTabContentBottom(map, place, ui.sideTab, &bottom)) PanelScrollMeasure(&ui.sidePanelScroll, place.view, bottom);
    ui.sideTabMeasured = ui.sideTab;
    return place;
}

// The Tree of a long map, scrolled to its end by the wheel.
static void ScrollLongTree(MapDoc *map, UiState &ui)
{
    for (int i = map->brushCount; i < 200; i++) {
        BrushInit(&map->brushes[i], SHAPE_CUBE, Vector3{ (float)i, 0, 0 }, Vector3{ 1, 1, 1 }, 0);
    }
    map->brushCount = 200;
    ui.sideTab = TAB_TREE;
    PanelFrame(map, ui);
    ui.sidePanelScroll.offset += 200 * 67.5f;   // 200 wheel steps down
    PanelPlace place = PanelFrame(map, ui);
    ASSERT_GT(ui.sidePanelScroll.offset, 5000.0f);
    ASSERT_EQ(ui.sidePanelScroll.offset, PanelScrollMax(&ui.sidePanelScroll, place.view.height));
}

// The texture cell (visible in the grid and the region) that holds point, or -1.
static int GridCellAt(Rectangle grid, Rectangle view, float scroll, Vector2 point)
{
    int columns = AssetGridColumns(grid.width);
    for (int i = 0; i < gAssets.textureCount; i++) {
        bool seen = CheckCollisionPointRec(point, grid) && CheckCollisionPointRec(point, view);
        if (seen && CheckCollisionPointRec(point, AssetGridCell(grid, columns, i, scroll))) return i;
    }
    return -1;
}

TEST_F(RightPanel, ATabSwitchTakesTheNewTabsScrollInItsFirstFrame)
{
    ui->screenW = 1440;
    LayoutCompute(*ui, 1440, 900);
    ScrollLongTree(map.get(), *ui);
    // The Texture tab fits the panel: in the very frame it is chosen, its region is at the top.
    ui->sideTab = TAB_TEXTURE;
    PanelPlace place = PanelFrame(map.get(), *ui);
    EXPECT_EQ(ui->sidePanelScroll.offset, 0.0f);
    EXPECT_EQ(PanelScrollMax(&ui->sidePanelScroll, place.view.height), 0.0f);

    // In a low window the grid keeps its least height and the tab overflows: the old scroll is
    // clamped to the tab's own end, not dropped.
    LayoutCompute(*ui, 1440, 560);
    ui->sideTab = TAB_TREE;
    ScrollLongTree(map.get(), *ui);
    gAssets.textureCount = 24;
    for (int i = 0; i < 24; i++) gAssets.textures[i].loaded = true;
    gBrowser.textureScroll = 100.0f;
    ui->sideTab = TAB_TEXTURE;
    place = PanelFrame(map.get(), *ui);
    float offset = ui->sidePanelScroll.offset;
    EXPECT_GT(offset, 0.0f);
    EXPECT_EQ(offset, PanelScrollMax(&ui->sidePanelScroll, place.view.height));

    // The grid is its own size in that frame, so it keeps its own scroll; a cell seen under the
    // pointer then is the cell the next frame's click lands on.
    TextureTabRects r = TextureTabLayout(place);
    float gridScroll = AssetScrollClamp(gBrowser.textureScroll,
                                        AssetGridContentHeight(24, AssetGridColumns(r.grid.width)), r.grid.height);
    EXPECT_EQ(gridScroll, 100.0f);
    Rectangle cell = AssetGridCell(r.grid, AssetGridColumns(r.grid.width), 5, gridScroll);
    Vector2 pointer = { cell.x + cell.width / 2.0f, cell.y + cell.height / 2.0f };
    ASSERT_EQ(GridCellAt(r.grid, place.view, gridScroll, pointer), 5);
    place = PanelFrame(map.get(), *ui);
    EXPECT_EQ(ui->sidePanelScroll.offset, offset);
    EXPECT_EQ(GridCellAt(TextureTabLayout(place).grid, place.view, gridScroll, pointer), 5);
    gBrowser.textureScroll = 0.0f;
}

TEST_F(RightPanel, TabsWhoseRowsOnlyDrawingTellsUseTheirLastHeight)
{
    ui->screenW = 1440;
    LayoutCompute(*ui, 1440, 900);
    ScrollLongTree(map.get(), *ui);
    ui->sideTab = TAB_SETTINGS;
    SidePanelFollowTab(map.get(), *ui);
    EXPECT_EQ(ui->sidePanelScroll.offset, 0.0f);   // never drawn: from its top

    float viewH = RightPanelPlace(*ui, 0.0f).view.height;
    ui->sideTabHeight[TAB_SETTINGS] = viewH + 300.0f;
    ui->sideTab = TAB_TREE;
    ScrollLongTree(map.get(), *ui);
    ui->sideTab = TAB_SETTINGS;
    SidePanelFollowTab(map.get(), *ui);
    EXPECT_EQ(ui->sidePanelScroll.offset, 300.0f);
}

TEST_F(RightPanel, TheAssetAndModsTabsContentDoesNotFollowTheScroll)
{
    ui->screenW = 1440;
    for (int h : { 560, 900 }) {
        LayoutCompute(*ui, 1440, h);
        PanelPlace rest = RightPanelPlace(*ui, 0.0f), scrolled = RightPanelPlace(*ui, -400.0f);
        EXPECT_EQ(TextureTabLayout(scrolled).rescan.y + 400.0f, TextureTabLayout(rest).rescan.y);
        EXPECT_EQ(ModelTabLayout(scrolled).assign.y + 400.0f, ModelTabLayout(rest).assign.y);
        EXPECT_EQ(ModsTabContentBottom(scrolled) + 400.0f, ModsTabContentBottom(rest));
    }
}
