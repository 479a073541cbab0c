// asset_browser.cpp: the texture grid, the model list and the model preview.
#include "project/asset_browser.h"

#include <cmath>

#include "raygui.h"
#include "document/draw_colours.h"
#include "project/assets.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
AssetBrowserState gBrowser = { 0.0f, 0.0f, 0.0f, true, -1, RenderTexture2D{}, false };

static constexpr Color kPreviewClear = { 32, 34, 40, 255 };
static constexpr Color kPreviewFrame = { 70, 74, 84, 255 };
static constexpr Color kPreviewWire = { 0, 158, 47, 255 };
static constexpr Color kBoxBorder = { 60, 62, 70, 255 };
static constexpr Color kBoxFill = { 28, 29, 34, 255 };
static constexpr Color kCellEmpty = { 50, 52, 58, 255 };
static constexpr Color kCellHovered = { 102, 191, 255, 255 };
static constexpr Color kCellPlain = { 70, 72, 80, 200 };
static constexpr Color kRowSelected = { 80, 90, 120, 255 };
static constexpr Color kRowHovered = { 52, 55, 64, 255 };
static constexpr Color kTrack = { 40, 42, 48, 255 };
static constexpr Color kThumb = { 120, 124, 134, 255 };
static constexpr float kGridPitch = kGridCell + kGridGap;
static constexpr float kMinRadius = 0.0001f;
static constexpr int kPreviewGridSlices = 10;

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static Rectangle BrowserBegin(Rectangle bounds, Rectangle clip, float *scroll, float contentHeight, float wheelStep);
static void BrowserEnd(Rectangle bounds, Rectangle clip, float scroll, float contentHeight, const char *emptyText, int count);
static Rectangle RectOverlap(Rectangle a, Rectangle b);
static bool RowHidden(Rectangle bounds, Rectangle row);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void InitAssetBrowser(void)
{
    gBrowser.preview = LoadRenderTexture(kPreviewSize, kPreviewSize);
    gBrowser.previewReady = gBrowser.preview.id != 0;
}

void FreeAssetBrowser(void)
{
    if (gBrowser.previewReady) UnloadRenderTexture(gBrowser.preview);
    gBrowser.previewReady = false;
}

void UpdateModelPreview(int model, float seconds)
{
    if (!gBrowser.previewReady) return;
    gBrowser.previewAngle = PreviewAngleAfter(gBrowser.previewAngle, seconds, gBrowser.spin);
    BeginTextureMode(gBrowser.preview);
    ClearBackground(kPreviewClear);
    if (!AssetModelUsable(model)) {
        DrawRectangleLinesEx(Rectangle{ 8.0f, 8.0f, 240.0f, 240.0f }, 2.0f, kPreviewFrame);
        EndTextureMode();
        return;
    }
    Model m = gAssets.models[model].model;
    BoundingBox b = GetModelBoundingBox(m);
    Vector3 c = { (b.min.x + b.max.x) * 0.5f, (b.min.y + b.max.y) * 0.5f, (b.min.z + b.max.z) * 0.5f };
    float r = PreviewRadius(b);
    float d = 3.0f * r, a = gBrowser.previewAngle * DEG2RAD;
    Camera3D cam = {};
    cam.position = Vector3{ c.x + cosf(a) * d, c.y + 1.2f * r, c.z + sinf(a) * d };
    cam.target = c;
    cam.up = Vector3{ 0.0f, 1.0f, 0.0f };
    cam.fovy = 45.0f;
    cam.projection = CAMERA_PERSPECTIVE;
    BeginMode3D(cam);
    DrawModel(m, Vector3{ 0.0f, 0.0f, 0.0f }, 1.0f, WHITE);
    DrawModelWires(m, Vector3{ 0.0f, 0.0f, 0.0f }, 1.0f, Fade(kPreviewWire, 0.25f));
    DrawGrid(kPreviewGridSlices, 0.4f * r);
    EndMode3D();
    EndTextureMode();
}

int DrawTextureGrid(Rectangle bounds, Rectangle clip, int selected, float *scroll, int *hovered)
{
    int count = gAssets.textureCount < kMaxTextures ? gAssets.textureCount : kMaxTextures;
    int columns = AssetGridColumns(bounds.width);
    float contentHeight = AssetGridContentHeight(count, columns);
    Rectangle visible = BrowserBegin(bounds, clip, scroll, contentHeight, kGridWheelStep);
    Vector2 mouse = GetMousePosition();
    bool mouseIn = CheckCollisionPointRec(mouse, visible);
    int result = -1;
    *hovered = -1;
    for (int i = 0; i < count; i++) {
        Rectangle cell = AssetGridCell(bounds, columns, i, *scroll);
        if (RowHidden(bounds, cell)) continue;
        const TextureAsset &t = gAssets.textures[i];
        if (t.loaded) {
            Rectangle src = { 0.0f, 0.0f, (float)t.texture.width, (float)t.texture.height };
            DrawTexturePro(t.texture, src, cell, Vector2{ 0.0f, 0.0f }, 0.0f, WHITE);
        } else {
            DrawRectangleRec(cell, kCellEmpty);
        }
        bool over = mouseIn && CheckCollisionPointRec(mouse, cell);
        if (over) *hovered = i;
        if (i == selected) DrawRectangleLinesEx(cell, 4.5f, kSelectionColour);
        else DrawRectangleLinesEx(cell, 2.25f, over ? kCellHovered : kCellPlain);
        if (over && IsMouseButtonPressed(MOUSE_BUTTON_LEFT)) result = i;
    }
    BrowserEnd(bounds, clip, *scroll, contentHeight, "No textures in assets/textures", count);
    return result;
}

int DrawModelList(Rectangle bounds, Rectangle clip, int selected, float *scroll, int *hovered)
{
    int count = gAssets.modelCount < kMaxModels ? gAssets.modelCount : kMaxModels;
    float contentHeight = (float)count * kModelRowH + kGridGap;
    Rectangle visible = BrowserBegin(bounds, clip, scroll, contentHeight, kModelWheelStep);
    Vector2 mouse = GetMousePosition();
    bool mouseIn = CheckCollisionPointRec(mouse, visible);
    int result = -1;
    *hovered = -1;
    for (int i = 0; i < count; i++) {
        Rectangle row = { bounds.x + 4.5f, bounds.y + 4.5f + kModelRowH * (float)i - *scroll, bounds.width - 18.0f,
                          kModelRowH };
        if (RowHidden(bounds, row)) continue;
        bool over = mouseIn && CheckCollisionPointRec(mouse, row);
        if (over) *hovered = i;
        if (i == selected) DrawRectangleRec(row, kRowSelected);
        else if (over) DrawRectangleRec(row, kRowHovered);
        GuiLabel(Rectangle{ row.x + 9.0f, row.y, row.width - 18.0f, kModelRowH }, gAssets.models[i].name);
        if (over && IsMouseButtonPressed(MOUSE_BUTTON_LEFT)) result = i;
    }
    BrowserEnd(bounds, clip, *scroll, contentHeight, "No models in assets/models", count);
    return result;
}

int AssetGridColumns(float width)
{
    int columns = (int)((width - kGridGap) / kGridPitch);
    return columns < 1 ? 1 : columns;
}

Rectangle AssetGridCell(Rectangle bounds, int columns, int i, float scroll)
{
    if (columns < 1) columns = 1;
    return Rectangle{ bounds.x + kGridGap + kGridPitch * (float)(i % columns),
                      bounds.y + kGridGap + kGridPitch * (float)(i / columns) - scroll, kGridCell, kGridCell };
}

float AssetGridContentHeight(int count, int columns)
{
    if (columns < 1) columns = 1;
    int rows = count <= 0 ? 0 : (count + columns - 1) / columns;
    return kGridPitch * (float)rows + kGridGap;
}

float AssetScrollClamp(float scroll, float contentHeight, float viewHeight)
{
    float most = fmaxf(0.0f, contentHeight - viewHeight);
    if (!(scroll > 0.0f)) return 0.0f;   // a NaN offset reads as the top too
    return scroll > most ? most : scroll;
}

float PreviewAngleAfter(float angle, float seconds, bool spin)
{
    if (spin) angle += kPreviewTurnSpeed * seconds;
    if (angle >= 360.0f) angle -= 360.0f;
    return angle;
}

float PreviewRadius(BoundingBox box)
{
    float r = 0.5f * fmaxf(box.max.x - box.min.x, fmaxf(box.max.y - box.min.y, box.max.z - box.min.z));
    return r < kMinRadius ? 1.0f : r;
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// Shared start of the two lists: the wheel while the mouse is over the visible part, the clamp,
// the background and the scissor of that part; returns the visible part.
static Rectangle BrowserBegin(Rectangle bounds, Rectangle clip, float *scroll, float contentHeight, float wheelStep)
{
    Rectangle visible = RectOverlap(bounds, clip);
    if (CheckCollisionPointRec(GetMousePosition(), visible)) *scroll -= wheelStep * GetMouseWheelMove();
    *scroll = AssetScrollClamp(*scroll, contentHeight, bounds.height);
    DrawRectangleRec(bounds, kBoxFill);
    DrawRectangleLinesEx(bounds, 1.0f, kBoxBorder);
    BeginScissorMode((int)visible.x, (int)visible.y, (int)visible.width, (int)visible.height);
    return visible;
}

// Shared end: the region's own scissor back, the scrollbar when the content overflows, and the
// empty text when there is nothing to list.
static void BrowserEnd(Rectangle bounds, Rectangle clip, float scroll, float contentHeight, const char *emptyText, int count)
{
    BeginScissorMode((int)clip.x, (int)clip.y, (int)clip.width, (int)clip.height);
    float most = contentHeight - bounds.height;
    if (most > 0.0f) {
        float thumbH = fmaxf(bounds.height / contentHeight * bounds.height, kBrowserThumbMin);
        Rectangle track = { bounds.x + bounds.width - 11.25f, bounds.y, 9.0f, bounds.height };
        DrawRectangleRec(track, kTrack);
        float thumbY = bounds.y + (bounds.height - thumbH) * scroll / most;
        DrawRectangleRec(Rectangle{ track.x, thumbY, track.width, thumbH }, kThumb);
    }
    if (count == 0) GuiLabel(Rectangle{ bounds.x + 18.0f, bounds.y + 13.5f, bounds.width - 36.0f, 36.0f }, emptyText);
}

static Rectangle RectOverlap(Rectangle a, Rectangle b)
{
    float x0 = fmaxf(a.x, b.x), y0 = fmaxf(a.y, b.y);
    float x1 = fminf(a.x + a.width, b.x + b.width), y1 = fminf(a.y + a.height, b.y + b.height);
    return Rectangle{ x0, y0, fmaxf(0.0f, x1 - x0), fmaxf(0.0f, y1 - y0) };
}

static bool RowHidden(Rectangle bounds, Rectangle row)
{
    return row.y + row.height < bounds.y || row.y > bounds.y + bounds.height;
}
