// render_view.h: the Render view (the lit image of the scene) and the window that shows it.
//
// The GPU renderer draws it when it can; otherwise the brushes are drawn textured with one
// CPU-shaded colour per face from the lights gathered at the end of the previous frame.
#pragma once

#include "raylib.h"
#include "editor/ui_state.h"

constexpr float kRenderTitleH = 54.0f;
constexpr float kRenderFooterH = 76.5f;
constexpr float kRenderMinImageH = 10.0f;

// The image area inside the Render window.
Rectangle RenderImageRect(Rectangle window);
// The largest rectangle of the image's shape inside area, centred in it (bands of the window's
// fill are left beside or above and below it); area itself for an empty image or area.
Rectangle RenderImageFit(Rectangle area, float imageW, float imageH);
extern int gRenderViewRedraws;   // images drawn into the Render output target since start

// Phase 19: draws the Render view into the Render output target when its key changed since the
// image it holds was drawn; otherwise that image stays.
void RenderPreviewPass(UiState &ui, const MapDoc *map);
// What the Render view is drawn from, as one hash: the map as both paths draw it, the gathered
// lights, the GPU meshes, the lighting settings, the renderer, the camera, the target, the sky
// and the assets. Equal keys draw equal images. It reads the brush cache's hashes: bring the cache
// up to date (MapDrawCacheUpdate, as the views' pass does earlier in the frame) first.
uint64_t RenderViewKey(const UiState &ui, const MapDoc *map);
// 1 when the Render view is open and the next pass would draw a new image (the lights and meshes
// gathered at a frame's end show in the frame after it), 0 otherwise. The view itself never
// changes with time alone.
int RenderViewPending(const UiState &ui, const MapDoc *map);
// The Render view drawn now, whatever it holds: GPU when it can, else the CPU fallback.
void RenderViewDraw(UiState &ui, const MapDoc *map);
// Escape: closes the Render output window and says so.
void RenderOutputClose(UiState &ui);
// Phase 37: the Render output window; its buttons and a right click close it.
void RenderOutputWindow(UiState &ui);
