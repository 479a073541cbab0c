// Which views must be drawn again: a view's key changes exactly when something it shows changed.
#include <gtest/gtest.h>

#include <cstring>

#include "document/primitives.h"
#include "document/selection.h"
#include "editor/layout.h"
#include "editor/view_draw.h"
#include "render/draw_cache.h"
#include "render/settings.h"

struct ViewKeys {
    uint64_t k[kViewCount];
};

static ViewKeys KeysOf(const UiState &ui, const MapDoc *map)
{
    MapDrawCacheUpdate(map);   // the keys read the cache's hashes, as the render pass does
    ViewKeys keys;
    for (int v = 0; v < kViewCount; v++) keys.k[v] = ViewDrawKey(ui, map, v);
    return keys;
}

// Which views a change asks to redraw, as a bit per view.
static int Redrawn(const ViewKeys &before, const ViewKeys &after)
{
    int bits = 0;
    for (int v = 0; v < kViewCount; v++) bits |= (before.k[v] != after.k[v]) ? (1 << v) : 0;
    return bits;
}

class ViewRedraw : public ::testing::Test {
protected:
    static constexpr int kAll = (1 << kViewCount) - 1;
    static UiState ui;
    static MapDoc map;
    void SetUp() override
    {
        memset(&ui, 0, sizeof(ui));
        memset(&map, 0, sizeof(map));
        VtxClearActive();
        ui.selBrush = ui.selEntity = ui.hoverBrush = -1;
        ui.cam3D = Camera3D{ { 10, 10, 10 }, { 0, 0, 0 }, { 0, 1, 0 }, 45, CAMERA_PERSPECTIVE };
        Follow2DCameras(ui);
        for (int v = 0; v < kViewCount; v++) ui.renderTargets[v].texture = Texture2D{ (unsigned)v + 1, 400, 300, 1, 7 };
        for (int i = 0; i < 3; i++) BrushInit(&map.brushes[i], i, Vector3{ 3.0f * i, 0, 0 }, Vector3{ 1, 1, 1 }, 0);
        map.brushCount = 3;
        map.entityCount = 1;
        map.entities[0].position = Vector3{ 0, 4, 0 };
    }
};
UiState ViewRedraw::ui;
MapDoc ViewRedraw::map;

TEST_F(ViewRedraw, NothingChangedRedrawsNothing)
{
    ViewKeys a = KeysOf(ui, &map);
    EXPECT_EQ(Redrawn(a, KeysOf(ui, &map)), 0);
    // What the views never show: a brush's colour and mass, an entity's name, the status line.
    map.brushes[1].colour = RED;
    map.brushes[1].mass = 7;
    strcpy(map.entities[0].name, "renamed");
    strcpy(ui.statusText, "something");
    EXPECT_EQ(Redrawn(a, KeysOf(ui, &map)), 0);
}

TEST_F(ViewRedraw, MapAndSelectionChangesRedrawEveryView)
{
    ViewKeys a = KeysOf(ui, &map);
    map.brushes[2].origin.x += 0.5f;
    ViewKeys b = KeysOf(ui, &map);
    EXPECT_EQ(Redrawn(a, b), kAll);
    map.entities[0].rotation.y = 45;
    ViewKeys c = KeysOf(ui, &map);
    EXPECT_EQ(Redrawn(b, c), kAll);
    ui.selBrush = 1;
    ViewKeys d = KeysOf(ui, &map);
    EXPECT_EQ(Redrawn(c, d), kAll);
    map.brushCount = 2;   // a deleted brush
    ViewKeys e = KeysOf(ui, &map);
    EXPECT_EQ(Redrawn(d, e), kAll);
    gSettings.gridStep *= 2.0f;
    ViewKeys f = KeysOf(ui, &map);
    gSettings.gridStep /= 2.0f;
    EXPECT_EQ(Redrawn(e, f), kAll);
}

TEST_F(ViewRedraw, ToolStateDrawnIntoTheViewsRedrawsThem)
{
    ui.activeTool = TOOL_VERTEX;
    gVtxActive[0] = 1;
    ViewKeys a = KeysOf(ui, &map);
    VtxSet(0, 3, 1);
    ViewKeys b = KeysOf(ui, &map);
    EXPECT_EQ(Redrawn(a, b), kAll);
    ui.hoverBrush = 0;
    ui.hoverVert = 3;
    ViewKeys c = KeysOf(ui, &map);
    EXPECT_NE(Redrawn(b, c), 0);
    ui.activeTool = TOOL_BLOCK;
    ui.blockBoxShown = true;
    ui.blockView = VIEW_TOP;
    ViewKeys d = KeysOf(ui, &map);
    ui.blockEnd = Vector3{ 2, 0, 2 };
    EXPECT_NE(Redrawn(d, KeysOf(ui, &map)) & (1 << VIEW_TOP), 0);
    VtxClearActive();
}

TEST_F(ViewRedraw, ACameraOrATargetRedrawsOnlyItsView)
{
    ViewKeys a = KeysOf(ui, &map);
    ui.cam3D.position.x += 1;   // the target stays: the 2D views do not move
    ViewKeys b = KeysOf(ui, &map);
    EXPECT_EQ(Redrawn(a, b), 1 << VIEW_3D);
    ui.cam2D[VIEW_FRONT - 1].fovy = 30;
    ViewKeys c = KeysOf(ui, &map);
    EXPECT_EQ(Redrawn(b, c), 1 << VIEW_FRONT);
    ui.renderTargets[VIEW_SIDE].texture.width = 500;   // a re-created, larger target
    EXPECT_EQ(Redrawn(c, KeysOf(ui, &map)), 1 << VIEW_SIDE);
}
