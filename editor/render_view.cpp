// render_view.cpp: the Render view's pass and its output window.
#include "editor/render_view.h"

#include <cmath>

#include "editor/gui.h"
#include "render/brush_draw.h"
#include "render/gizmos.h"
#include "render/renderer.h"
#include "render/settings.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static const char *const kRenderWindowTitle = "Render Viewport Output  -  ESC or right-click to close";

static constexpr int kSkyGridLines = 60;
static constexpr float kSkyGridSpacing = 4.0f;

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
Rectangle RenderWindowRect(int screenW, int screenH)
{
    float w = fminf(kRenderWindowW, (float)screenW - kRenderWindowMargin);
    float h = fminf(kRenderWindowH, (float)screenH - kRenderWindowMargin);
    w = fmaxf(w, kRenderWindowMinW);   // the minimum wins over the cap
    h = fmaxf(h, kRenderWindowMinH);
    float x = fmaxf(0.0f, ((float)screenW - w) / 2.0f);
    float y = fmaxf(0.0f, ((float)screenH - h) / 2.0f);
    return Rectangle{ x, y, w, h };
}

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

void RenderOutputWindow(UiState &ui)
{
    Rectangle win = RenderWindowRect(ui.screenW, ui.screenH);
    GuiDrawRectangleExt(win, 3, Color{ 80, 80, 80, 255 }, Color{ 245, 245, 245, 255 });
    GuiStatusBar(Rectangle{ win.x, win.y, win.width, kRenderTitleH }, kRenderWindowTitle);
    if (GuiButton(Rectangle{ win.x + win.width - 49.5f, win.y + 4.5f, 45.0f, 45.0f }, "X")) ui.showRenderOutput = false;

    const Texture2D &image = ui.renderTargets[kRenderOutputTarget].texture;
    Rectangle source = { 0.0f, 0.0f, (float)image.width, -(float)image.height };   // upright
    Rectangle shown = RenderImageFit(RenderImageRect(win), (float)image.width, (float)image.height);
    DrawTexturePro(image, source, shown, Vector2{ 0.0f, 0.0f }, 0.0f, WHITE);

    Rectangle close = { win.x + (win.width - 225.0f) / 2.0f, win.y + win.height - kRenderFooterH + 9.0f, 225.0f, 49.5f };
    if (GuiButton(close, "Close")) ui.showRenderOutput = false;
    if (IsMouseButtonPressed(MOUSE_BUTTON_RIGHT)) ui.showRenderOutput = false;
}
