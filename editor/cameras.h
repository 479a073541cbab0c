// cameras.h: what the wheel and the right button do to the cameras.
//
// Each takes its input only where no open window lies over the pointer; the geometry (zoom and
// speed steps, the fly heading) is the layout's.
#pragma once

#include "raylib.h"
#include "editor/ui_state.h"

// The wheel over a 2D view at ui.mouse zooms all three, unless an open window lies over the
// pointer; returns 1 when the zoom was applied.
int Zoom2DByWheel(UiState &ui, float wheel);
// The wheel while flying changes the fly speed and reports it, unless an open window lies over the
// pointer; returns 1 when the speed changed.
int FlySpeedByWheel(UiState &ui, float wheel);
// Phase 16: fly camera while the right button is held over the 3D view.
void FlyCameraPhase(UiState &ui);
// Whether the fly camera takes this frame's keys: right button held over the 3D view, no
// transform running and no window holding the camera.
bool FlyCameraActive(const UiState &ui, Vector2 mouse);
