// render_view.h: the Render view (the lit image of the scene) and the window that shows it.
//
// The GPU renderer draws it when it can; otherwise the brushes are drawn textured with one
// CPU-shaded colour per face from the lights gathered at the end of the previous frame.
#pragma once

#include "raylib.h"
#include "editor/ui_state.h"

constexpr float kRenderWindowW = 1530.0f;
constexpr float kRenderWindowH = 1170.0f;
constexpr float kRenderWindowMargin = 45.0f;   // kept free around the window when it fits
constexpr float kRenderWindowMinW = 450.0f;
constexpr float kRenderWindowMinH = 360.0f;
constexpr float kRenderTitleH = 54.0f;
constexpr float kRenderFooterH = 76.5f;
constexpr float kRenderMinImageH = 10.0f;

// The Render window for a screen of screenW x screenH: capped to the screen less 45, then at
// least 450 x 360, centred and never left of or above (0, 0).
Rectangle RenderWindowRect(int screenW, int screenH);
// The image area inside the Render window.
Rectangle RenderImageRect(Rectangle window);
// The largest rectangle of the image's shape inside area, centred in it (bands of the window's
// fill are left beside or above and below it); area itself for an empty image or area.
Rectangle RenderImageFit(Rectangle area, float imageW, float imageH);
// Phase 19: draws the Render view into the Render output target.
void RenderPreviewPass(UiState &ui, const MapDoc *map);
// Phase 37: the Render output window; its buttons and a right click close it.
void RenderOutputWindow(UiState &ui);
