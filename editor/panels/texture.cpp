// texture.cpp: the Texture tab: the preview box, the texture grid, Apply and Rescan.
#include "editor/panels/right_panel.h"

#include <cmath>
#include <cstdio>

#include "rlgl.h"
#include "document/selection.h"
#include "document/undo.h"
#include "editor/startup.h"
#include "editor/input.h"
#include "editor/gui.h"
#include "editor/tools/select.h"
#include "project/asset_browser.h"
#include "project/assets.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static constexpr float kPreviewMaxH = 180.0f;
static constexpr float kPreviewInset = 13.5f;
static constexpr int kTextureLabelLen = 96;
static constexpr Color kPreviewBorder = { 80, 84, 94, 255 };
static constexpr Color kPreviewFill = { 22, 23, 28, 255 };

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static void DrawTexturePreview(Rectangle box, int shown);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
float DrawTextureTab(MapDoc *map, UiState &ui, const PanelPlace &place)
{
    TextureTabRects r = TextureTabLayout(place);
    GuiLabel(r.title, "Texture Browser");

    // The cell hovered in the last frame's grid, else the active texture; a number that a rescan
    // left behind shows as none.
    int shown = gBrowser.hoveredTexture >= 0 ? gBrowser.hoveredTexture : ui.curTexture;
    if (!AssetTextureUsable(shown)) shown = -1;
    DrawTexturePreview(r.preview, shown);
    char label[kTextureLabelLen];
    if (shown >= 0) {
        const Texture2D &t = gAssets.textures[shown].texture;
        snprintf(label, sizeof(label), "%s  (%dx%d)", gAssets.textures[shown].name, t.width, t.height);
    } else {
        snprintf(label, sizeof(label), "%s", "No texture selected");
    }
    GuiLabel(r.label, label);

    int hovered = -1;
    int picked = DrawTextureGrid(r.grid, place.view, ui.curTexture, &gBrowser.textureScroll, &hovered);
    gBrowser.hoveredTexture = hovered;
    if (hovered >= 0) ui.tooltipText = "Scroll to browse. Click to make it the active texture.";
    if (picked >= 0) {
        ui.curTexture = picked;
        StatusSet(ui, "Selected Texture #%d (%s)", picked, gAssets.textures[picked].name);
    }

    const char *applyText = FaceSelCount(map) > 0 ? "Apply To Selected Faces" : "Apply To Selected Object";
    if (GuiButton(r.apply, applyText)) TextureApplyToSelection(map, ui);
    if (GuiButton(r.rescan, "Rescan assets/ Folder")) TextureTabRescan(ui);
    return r.rescan.y;
}

TextureTabRects TextureTabLayout(const PanelPlace &place)
{
    TextureTabRects r;
    float x0 = place.x + 27.0f, w0 = place.w - 54.0f, y = place.y;
    r.title = Rectangle{ x0, y, w0, 36.0f };
    y += 40.5f;
    float ph = fminf(w0 * 0.62f, kPreviewMaxH);
    r.preview = Rectangle{ x0, y, w0, ph };
    y += ph + 6.75f;
    r.label = Rectangle{ x0, y, w0, 36.0f };
    y += 42.75f;
    // Sized from where the grid lies unscrolled: a grid that grew with the scroll would carry the
    // content down with it and never let the region's offset come back.
    float gh = fmaxf(place.bottom - (y + place.scroll) - 117.0f, kAssetBoxMinH);
    r.grid = Rectangle{ x0, y, w0, gh };
    y += gh + 9.0f;
    r.apply = Rectangle{ x0, y, w0, 49.5f };
    y += 56.25f;
    r.rescan = Rectangle{ x0, y, w0, 45.0f };
    return r;
}

int TextureApplyToSelection(MapDoc *map, UiState &ui)
{
    int n = FaceSelCount(map);
    bool brush = MapBrushValid(map, ui.selBrush), entity = MapEntityValid(map, ui.selEntity);
    if (n == 0 && !brush && !entity) {
        StatusSet(ui, "Nothing selected to texture.");
        return 0;
    }
    if (!AssetTextureUsable(ui.curTexture)) {
        // A number a rescan left behind would name whatever file the next scan puts there.
        StatusSet(ui, "No texture selected.");
        return 0;
    }
    TransformCancel(map, ui);
    PushUndoState(map);
    int t = ui.curTexture;
    if (n > 0) {
        for (int b = 0; b < ClampCount(map->brushCount, kMaxBrushes); b++) {
            if (gFaceSel[b] == 0) continue;
            Brush *br = &map->brushes[b];
            for (int f = 0; f < br->faceCount && f < kMaxBrushFaces; f++) {
                if (FaceIsSel(b, f)) br->faces[f].texture = t;
            }
        }
        StatusSet(ui, "Applied texture to %d face(s).", n);
    } else if (brush) {
        Brush *br = &map->brushes[ui.selBrush];
        br->texture = t;
        for (int f = 0; f < br->faceCount && f < kMaxBrushFaces; f++) br->faces[f].texture = -1;   // follow the brush
        StatusSet(ui, "Applied texture #%d to Brush #%d", t, ui.selBrush);
    } else {
        map->entities[ui.selEntity].texture = t;
        StatusSet(ui, "Applied texture #%d to Entity #%d", t, ui.selEntity);
    }
    return 1;
}

void TextureTabRescan(UiState &ui)
{
    // The grid and preview of this frame still wait in the draw batch with the old textures:
    // they are drawn before the scan unloads them.
    rlDrawRenderBatchActive();
    RescanAssets();
    gBrowser.hoveredTexture = -1;
    StatusSet(ui, "Rescanned: %d model(s), %d texture(s), %d icon(s).",
             gAssets.modelCount, gAssets.textureCount, gAssets.iconCount);
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// The framed box with texture `shown` (-1: none) scaled to fit and centred.
static void DrawTexturePreview(Rectangle box, int shown)
{
    GuiDrawRectangleExt(box, 1, kPreviewBorder, kPreviewFill);
    if (shown < 0) return;
    const Texture2D &t = gAssets.textures[shown].texture;
    if (t.width <= 0 || t.height <= 0) return;
    float k = fminf((box.width - kPreviewInset) / (float)t.width, (box.height - kPreviewInset) / (float)t.height);
    float w = (float)t.width * k, h = (float)t.height * k;
    Rectangle dst = { box.x + (box.width - w) / 2.0f, box.y + (box.height - h) / 2.0f, w, h };
    DrawTexturePro(t, Rectangle{ 0.0f, 0.0f, (float)t.width, (float)t.height }, dst, Vector2{ 0.0f, 0.0f }, 0.0f, WHITE);
}
