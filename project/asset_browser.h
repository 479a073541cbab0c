// asset_browser.h: the asset browser: a texture grid, a model list and a turning model preview.
//
// Immediate-mode widgets in raygui's manner: each call draws the widget for this frame, reads the
// mouse and returns what the user did. The list widgets read the library directly and belong in
// the screen pass. A widget inside a clipped region is given that region as its clip: it draws
// and takes the mouse only where both overlap, and hands the region its scissor back at the end.
// The preview renders into its own target, which must happen while no scissor is on.
#pragma once

#include <cstdint>
#include "raylib.h"

constexpr int kPreviewSize = 256;              // side of the preview target in pixels
constexpr float kPreviewTurnSpeed = 35.0f;     // degrees per second while spinning
constexpr float kGridCell = 103.5f;            // texture thumbnail side
constexpr float kGridGap = 9.0f;
constexpr float kGridWheelStep = 63.0f;
constexpr float kModelRowH = 40.5f;
constexpr float kModelWheelStep = 45.0f;
constexpr float kBrowserThumbMin = 36.0f;      // shortest scrollbar thumb

struct AssetBrowserState {
    float textureScroll;       // pixels the texture grid is scrolled
    float modelScroll;         // pixels the model list is scrolled
    float previewAngle;        // turntable angle in degrees
    bool spin;                 // the turntable turns
    int32_t hoveredTexture;    // cell under the mouse in the last drawn grid, -1 none
    RenderTexture2D preview;   // the preview's off-screen target
    bool previewReady;         // the target exists
};

extern AssetBrowserState gBrowser;

// Creates the preview target (after the first asset scan); previewReady tells whether it exists.
void InitAssetBrowser(void);
// Releases the preview target.
void FreeAssetBrowser(void);
// Turns the turntable by the frame's seconds and renders the model (an empty frame for a number
// that names no loaded model) into the preview target. Call with no scissor on.
void UpdateModelPreview(int model, float seconds);
// The texture grid in bounds, visible only inside clip; the selected cell outlined. Wheel scrolls
// *scroll; *hovered gets the cell under the mouse or -1. Returns the cell pressed this frame, or -1.
int DrawTextureGrid(Rectangle bounds, Rectangle clip, int selected, float *scroll, int *hovered);
// The model names, one row each, otherwise as DrawTextureGrid.
int DrawModelList(Rectangle bounds, Rectangle clip, int selected, float *scroll, int *hovered);

// Columns of a texture grid of the given width, at least 1.
int AssetGridColumns(float width);
// Cell i of a texture grid in bounds with the given columns, scrolled up by scroll.
Rectangle AssetGridCell(Rectangle bounds, int columns, int i, float scroll);
// Content height of a texture grid of count cells in the given columns, margins included.
float AssetGridContentHeight(int count, int columns);
// scroll held within 0 .. the largest scroll of content in a view of the given height.
float AssetScrollClamp(float scroll, float contentHeight, float viewHeight);
// The turntable angle after the given seconds, in 0..360 when it started there.
float PreviewAngleAfter(float angle, float seconds, bool spin);
// Half the largest extent of a box; 1 for a box too small to frame.
float PreviewRadius(BoundingBox box);
