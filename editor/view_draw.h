// view_draw.h: the four views, drawn from the map when something they show changed.
//
// The off-screen half renders the 3D view and the three 2D views into their targets; the window
// half puts the images on screen with their titles, the orientation widget and the 2D cursor
// readout. Nothing here changes the map.
#pragma once

#include "editor/ui_state.h"

extern int gViewRedraws[kViewCount];   // images drawn per view since start (frame_bench reports them)

constexpr float kViewTitleW = 247.5f;
constexpr float kViewTitleH = 40.5f;
// Phase 18: the 3D view, then Top, Front and Side, into their render targets; a view whose
// map, selection, tool state, settings, camera and target are as at its last drawing keeps its image.
void ViewportRenderPass(UiState &ui, const MapDoc *map);
// What view `view` is drawn from, as one hash; equal keys draw equal images. It reads the brush
// cache's hashes: bring the cache up to date (MapDrawCacheUpdate) first.
uint64_t ViewDrawKey(const UiState &ui, const MapDoc *map, int view);
// Phase 26: the four images with their title bars, and the orientation widget of the 3D view.
void ViewportFrames(UiState &ui);
// The readout text for world point p in 2D view `view` ("x %.2f   z %.2f" for Top and so on).
void CursorReadoutText(char *out, int outSize, int view, Vector3 p);
// Phase 28: the world position under the mouse in the first 2D view that holds it.
void DrawCursorReadout(const UiState &ui);
// Phase 28: the Vertex tool's box selection while it is being dragged.
void DrawVertexMarquee(const UiState &ui);
