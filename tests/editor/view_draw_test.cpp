// Which views must be drawn again: a view's key changes exactly when something it shows changed.
#include <gtest/gtest.h>

#include <cstring>

#include "document/primitives.h"
#include "document/selection.h"
#include "editor/layout.h"
#include "editor/view_draw.h"
#include "project/assets.h"
#include "render/draw_cache.h"

static constexpr int kAllViews = (1 << kViewCount) - 1;

// The views an edit asks to redraw, one bit per view.
static int RedrawnBy(UiState &ui, MapDoc *map, void (*edit)(UiState &, MapDoc *))
{
    uint64_t before[kViewCount];
    MapDrawCacheUpdate(map);   // the keys read the cache's hashes, as the render pass does
    for (int v = 0; v < kViewCount; v++) before[v] = ViewDrawKey(ui, map, v);
    edit(ui, map);
    MapDrawCacheUpdate(map);
    int bits = 0;
    for (int v = 0; v < kViewCount; v++) bits |= (ViewDrawKey(ui, map, v) != before[v]) ? (1 << v) : 0;
    return bits;
}

static void SetUpScene(UiState &ui, MapDoc *map)
{
    memset(&ui, 0, sizeof(ui));
    memset(map, 0, sizeof(*map));
    VtxClearActive();
    ui.selBrush = ui.selEntity = ui.vertex.hoverBrush = -1;
    ui.cam3D = Camera3D{ { 10, 10, 10 }, { 0, 0, 0 }, { 0, 1, 0 }, 45, CAMERA_PERSPECTIVE };
    Follow2DCameras(ui);
    for (int v = 0; v < kViewCount; v++) ui.renderTargets[v].texture = Texture2D{ (unsigned)v + 1, 400, 300, 1, 7 };
    for (int i = 0; i < 3; i++) BrushInit(&map->brushes[i], i, Vector3{ 3.0f * i, 0, 0 }, Vector3{ 1, 1, 1 }, 0);
    map->brushCount = 3;
    map->entityCount = 1;
}

TEST(ViewRedraw, EachChangeRedrawsTheViewsThatShowIt)
{
    static UiState ui;
    static MapDoc map;
    static TextureAsset icon0;
    icon0 = gAssets.icons[0];
    const int iconCount = gAssets.iconCount;
    gAssets.iconCount = 1;
    struct Case {
        const char *what;
        void (*edit)(UiState &, MapDoc *);
        int views;
    };
    const Case cases[] = {
        { "nothing", [](UiState &, MapDoc *) {}, 0 },
        { "fields never drawn", [](UiState &u, MapDoc *m) {
              m->brushes[1].colour = RED;
              strcpy(m->entities[0].name, "renamed");
              strcpy(u.statusText, "status");
          }, 0 },
        { "a moved brush", [](UiState &, MapDoc *m) { m->brushes[2].origin.x += 0.5f; }, kAllViews },
        { "a deleted brush", [](UiState &, MapDoc *m) { m->brushCount = 2; }, kAllViews },
        { "a turned entity", [](UiState &, MapDoc *m) { m->entities[0].rotation.y = 45; }, kAllViews },
        { "the selection", [](UiState &u, MapDoc *) { u.selBrush = 1; }, kAllViews },
        { "a selected vertex", [](UiState &u, MapDoc *) { u.activeTool = TOOL_VERTEX; gVtxActive[0] = 1; }, kAllViews },
        { "the Block box", [](UiState &u, MapDoc *) { u.block.blockBoxShown = true; u.block.blockEnd.x = 2; }, kAllViews },
        { "the grid step", [](UiState &, MapDoc *) { SettingsForTests().editor.gridStep *= 2.0f; }, kAllViews },
        { "another icon set", [](UiState &, MapDoc *) { strcpy(gAssets.icons[0].name, "light"); }, kAllViews },
        { "the 3D camera", [](UiState &u, MapDoc *) { u.cam3D.position.x += 1; }, 1 << VIEW_3D },
        { "the Front zoom", [](UiState &u, MapDoc *) { u.cam2D[VIEW_FRONT - 1].fovy = 30; }, 1 << VIEW_FRONT },
        { "the Side target size", [](UiState &u, MapDoc *) { u.renderTargets[VIEW_SIDE].texture.width = 500; },
          1 << VIEW_SIDE },
    };
    for (const Case &c : cases) {
        SetUpScene(ui, &map);
        EXPECT_EQ(RedrawnBy(ui, &map, c.edit), c.views) << c.what;
    }
    SettingsForTests().editor.gridStep /= 2.0f;
    gAssets.icons[0] = icon0;
    gAssets.iconCount = iconCount;
    VtxClearActive();
}
