// render_view.cpp: the Render view's pass and its output window.
#include "editor/windows/render_view.h"

#include <cmath>

#include "document/settings.h"
#include "editor/gui.h"
#include "editor/input.h"
#include "editor/layout.h"
#include "editor/view_draw.h"
#include "project/assets.h"
#include "render/brush_draw.h"
#include "render/draw_cache.h"
#include "render/gizmos.h"
#include "render/lights.h"
#include "render/mesh_cache.h"
#include "render/renderer.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static const char *const kRenderWindowTitle = "Render Viewport Output  -  ESC or right-click to close";

static constexpr Color kRenderWindowBorder = { 80, 80, 80, 255 };
static constexpr Color kRenderWindowFill = { 245, 245, 245, 255 };
static constexpr int kSkyGridLines = 60;
static constexpr float kSkyGridSpacing = 4.0f;

int gRenderViewRedraws;
static uint64_t renderKey;       // what the Render output target's image was drawn from
static bool renderKeyValid;

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static uint64_t HashRenderBrushes(uint64_t h, const MapDoc *map);
static uint64_t HashRenderEntities(uint64_t h, const MapDoc *map);
static uint64_t HashRenderSettings(uint64_t h);
static void FillAround(Rectangle outer, Rectangle hole, Color colour);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

Rectangle RenderImageRect(Rectangle window)
{
    float h = fmaxf(kRenderMinImageH, window.height - kRenderTitleH - 9.0f - kRenderFooterH);
    return Rectangle{ window.x + 18.0f, window.y + kRenderTitleH + 9.0f, window.width - 36.0f, h };
}

Rectangle RenderImageFit(Rectangle area, float imageW, float imageH)
{
    if (!(imageW > 0.0f && imageH > 0.0f) || !(area.width > 0.0f && area.height > 0.0f)) return area;
    float scale = fminf(area.width / imageW, area.height / imageH);
    float w = imageW * scale, h = imageH * scale;
    return Rectangle{ area.x + (area.width - w) / 2.0f, area.y + (area.height - h) / 2.0f, w, h };
}

void RenderPreviewPass(UiState &ui, const MapDoc *map)
{
    // An image drawn from the same inputs is the same image: the last one stays.
    uint64_t key = RenderViewKey(ui, map);
    if (!gDrawUncached && renderKeyValid && renderKey == key) return;
    RenderViewDraw(ui, map);
    renderKey = key;
    renderKeyValid = true;
    gRenderViewRedraws++;
}

int RenderViewPending(const UiState &ui, const MapDoc *map)
{
    if (!ui.showRenderOutput) return 0;
    MapDrawCacheUpdate(map);   // asked after the frame, when an edit may have come after the views' pass
    return (!renderKeyValid || renderKey != RenderViewKey(ui, map)) ? 1 : 0;
}

uint64_t RenderViewKey(const UiState &ui, const MapDoc *map)
{
    uint64_t h = HashRenderBrushes(0, map);
    h = HashRenderEntities(h, map);
    h = HashRenderSettings(h);
    const Texture2D &t = ui.renderTargets[kRenderOutputTarget].texture;
    const int32_t view[4] = { (int32_t)t.id, t.width, t.height, (int32_t)ui.skyStyle };
    h = HashCamera(h, ui.cam3D);
    h = HashBytes(h, view, (int)sizeof(view));
    return HashAssetTables(h);
}

void RenderViewDraw(UiState &ui, const MapDoc *map)
{
    RenderTexture2D &target = ui.renderTargets[kRenderOutputTarget];
    bool ok = RenderScene3D_GPU(map, ui.cam3D, target, Color{ 0, 0, 0, 255 }, ui.skyStyle);
    BeginTextureMode(target);
    if (!ok) {
        ClearBackground(Color{ 0, 0, 0, 255 });
        DrawSkyBackground(ui.skyStyle, target.texture.width, target.texture.height);
    }
    BeginMode3D(ui.cam3D);
    if (!ok) {
        if (ui.skyStyle == SKY_GRID) DrawGrid(kSkyGridLines, kSkyGridSpacing);
        // Always shaded: with lighting off the fixed key light still gives the faces depth.
        int brushes = ClampCount(map->brushCount, kMaxBrushes);
        for (int i = 0; i < brushes; i++) {
            if (!map->brushes[i].hidden) DrawBrushGeometry(&map->brushes[i], WHITE, false, true);
        }
    }
    int entities = ClampCount(map->entityCount, kMaxEntities);
    for (int i = 0; i < entities; i++) {
        if (!map->entities[i].hidden) DrawEntityModelShaded(&map->entities[i], ok);
    }
    EndMode3D();
    EndTextureMode();
}

void RenderOutputClose(UiState &ui)
{
    ui.showRenderOutput = false;
    StatusSet(ui, "Closed render view.");
}

void RenderOutputWindow(UiState &ui)
{
    Rectangle win = RenderWindowRect(ui.screenW, ui.screenH);
    const Texture2D &image = ui.renderTargets[kRenderOutputTarget].texture;
    Rectangle source = { 0.0f, 0.0f, (float)image.width, -(float)image.height };   // upright
    Rectangle shown = RenderImageFit(RenderImageRect(win), (float)image.width, (float)image.height);
    // The fill goes only around the image: a software GL pays for every pixel painted twice.
    FillAround(Rectangle{ (float)(int)win.x, (float)(int)win.y, (float)(int)win.width, (float)(int)win.height }, shown,
               kRenderWindowFill);
    GuiDrawRectangleExt(win, 3, kRenderWindowBorder, BLANK);
    GuiStatusBar(Rectangle{ win.x, win.y, win.width, kRenderTitleH }, kRenderWindowTitle);
    if (GuiButton(Rectangle{ win.x + win.width - 49.5f, win.y + 4.5f, 45.0f, 45.0f }, "X")) ui.showRenderOutput = false;
    DrawTexturePro(image, source, shown, Vector2{ 0.0f, 0.0f }, 0.0f, WHITE);

    Rectangle close = { win.x + (win.width - 225.0f) / 2.0f, win.y + win.height - kRenderFooterH + 9.0f, 225.0f, 49.5f };
    if (GuiButton(close, "Close")) ui.showRenderOutput = false;
    if (IsMouseButtonPressed(MOUSE_BUTTON_RIGHT)) ui.showRenderOutput = false;
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// Each brush as either path draws it: the views' geometry hash (shape, transform, face looks and
// the textures they resolve to), the GPU mesh it has now, and its own colour, texture and flag.
static uint64_t HashRenderBrushes(uint64_t h, const MapDoc *map)
{
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    h = HashBytes(h, &brushes, (int)sizeof(brushes));
    for (int i = 0; i < brushes; i++) {
        const Brush *b = &map->brushes[i];
        const MeshCacheEntry *mesh = &gMeshCache[i];
        const int32_t look[4] = { (int32_t)mesh->valid, (int32_t)mesh->hash, b->texture, (int32_t)b->hidden };
        h = HashBytes(h, &gBrushDrawCache[i].hash, (int)sizeof(uint64_t));
        h = HashBytes(h, look, (int)sizeof(look));
        h = HashBytes(h, &b->colour, (int)sizeof(b->colour));
    }
    return h;
}

// The entities' models as drawn; the lights reach the picture through the gathered table.
static uint64_t HashRenderEntities(uint64_t h, const MapDoc *map)
{
    int entities = ClampCount(map->entityCount, kMaxEntities);
    h = HashBytes(h, &entities, (int)sizeof(entities));
    for (int i = 0; i < entities; i++) {
        const Entity *e = &map->entities[i];
        const float place[7] = { e->position.x, e->position.y, e->position.z, e->rotation.x, e->rotation.y,
                                 e->rotation.z, e->scale };
        const int32_t look[3] = { e->model, e->texture, (int32_t)e->hidden };
        h = HashBytes(h, place, (int)sizeof(place));
        h = HashBytes(h, look, (int)sizeof(look));
        h = HashBytes(h, &e->tint, (int)sizeof(e->tint));
    }
    int lights = ClampCount(gLightCount, kMaxLights);
    h = HashBytes(h, &lights, (int)sizeof(lights));
    return HashBytes(h, gLights, lights * (int)sizeof(LightInfo));
}

// The lighting settings and the renderer's state: which path draws and with which programs.
static uint64_t HashRenderSettings(uint64_t h)
{
    const LightingSettings &l = gLighting;
    const float values[8] = { l.shadowBias, l.shadowArea, l.aoRadius, l.aoStrength, l.specular, l.gamma,
                              gSettings.ambient, 0.0f };
    const int32_t switches[12] = { (int32_t)l.quality, l.shadows, l.ssao, gSettings.lighting, gRenderer.ready,
                                   gRenderer.targetsOk, gRenderer.shadowMapSize, (int32_t)gRenderer.lighting.shader.id,
                                   (int32_t)gRenderer.depth.id, (int32_t)gRenderer.ssao.id,
                                   (int32_t)gRenderer.blur.id, gRendererLoads };
    h = HashBytes(h, values, (int)sizeof(values));
    return HashBytes(h, switches, (int)sizeof(switches));
}

// outer filled with colour except where hole (which lies inside it) is.
static void FillAround(Rectangle outer, Rectangle hole, Color colour)
{
    float right = outer.x + outer.width, bottom = outer.y + outer.height;
    float holeRight = hole.x + hole.width, holeBottom = hole.y + hole.height;
    DrawRectangleRec(Rectangle{ outer.x, outer.y, outer.width, hole.y - outer.y }, colour);
    DrawRectangleRec(Rectangle{ outer.x, holeBottom, outer.width, bottom - holeBottom }, colour);
    DrawRectangleRec(Rectangle{ outer.x, hole.y, hole.x - outer.x, hole.height }, colour);
    DrawRectangleRec(Rectangle{ holeRight, hole.y, right - holeRight, hole.height }, colour);
}
