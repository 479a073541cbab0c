// layout.h: the window's bars, panels and four views for this frame, the rectangles of the
// windows drawn over them, and the cameras' geometry.
//
// The layout is recomputed from the window size every frame. The 2D views cannot pan on their
// own: they always look at the 3D camera's target, and share one zoom.
#pragma once

#include "raylib.h"
#include "editor/ui_state.h"

constexpr float kMenuBarH = 49.5f;
constexpr float kToolbarH = 63.0f;
constexpr float kStatusBarH = 49.5f;
constexpr float kLeftPanelW = 162.0f;
constexpr float kRightPanelW = 540.0f;
constexpr float kMinTargetSide = 10.0f;      // views this small or smaller keep their old targets
constexpr float kZoomPerWheel = 1.5f;
constexpr float kMinOrthoZoom = 2.0f;
constexpr float kMaxOrthoZoom = 100.0f;
constexpr float kLookPerPixel = 0.004f;      // fly camera: radians of turn per pixel of mouse
constexpr float kMaxPitch = 1.5533f;         // about 89 degrees
constexpr float kFastFly = 3.0f;             // Shift multiplies the step
constexpr float kFlySpeedUp = 1.15f;
constexpr float kFlySpeedDown = 0.87f;
constexpr float kMinFlySpeed = 0.01f;
constexpr float kMaxFlySpeed = 5.0f;
constexpr float kFollowDistance = 20.0f;     // 2D cameras stand this far from the target
constexpr float kHelpW = 1080.0f, kHelpH = 1350.0f;
constexpr float kHelpMargin = 27.0f;         // kept free around Help when the screen is smaller
constexpr float kRenderWindowW = 1530.0f;
constexpr float kRenderWindowH = 1170.0f;
constexpr float kRenderWindowMargin = 45.0f;   // kept free around the window when it fits
constexpr float kRenderWindowMinW = 450.0f;
constexpr float kRenderWindowMinH = 360.0f;
constexpr float kConsoleMaxH = 675.0f;

// The fixed bar heights and panel widths, and where the views start below the bars.
void LayoutSetBars(UiState &ui);
// Bar and panel metrics, the views area, one view's size and the four view rectangles for a
// window of screenW x screenH. A window smaller than its bars and panels gets empty views.
void LayoutCompute(UiState &ui, int screenW, int screenH);
// 1 when the view targets must be re-created for this view size: its whole-number part differs
// from the current target size and both sides are above 10.
int ViewTargetsNeedResize(Vector2 viewSize, int targetW, int targetH);
// The 2D zoom after one wheel movement, clamped to 2..100.
float OrthoZoomStep(float zoom, float wheel);
// The fly speed after one wheel movement, clamped to 0.01..5.
float FlySpeedStep(float speed, float wheel);
// Unit forward of a heading: yaw 0 looks along +Z, positive pitch looks up.
Vector3 FlyForward(float yaw, float pitch);
// The fly heading that looks along the camera's direction (pitch kept within +-kMaxPitch), so
// flying goes on from a camera set some other way; 0 (heading untouched) when position is target.
int FlyHeadingFromCamera(Camera3D camera, float *yaw, float *pitch);
// Positions and targets of the three 2D cameras around the 3D camera's target.
void Follow2DCameras(UiState &ui);

// Phase 5: metrics, view targets, mouse, view rectangles (also to gEd).
void LayoutPhase(UiState &ui);
// The pick ray of the 3D view through ui.mouse, for the view's own rectangle.
Ray PickRay3D(const UiState &ui);

// The windows drawn over the views, for a screen of the given size
// Help: centred, at most the screen less its margin.
Rectangle HelpWindowRect(int screenW, int screenH);
// The Render window: capped to the screen less 45, then at least 450 x 360, centred and never
// left of or above (0, 0).
Rectangle RenderWindowRect(int screenW, int screenH);
// The console window, above the status bar.
Rectangle ConsoleWindowRect(int screenW, int screenH, float statusBarH);
// Whether the open console window lies under the point.
bool ConsoleCoversPoint(Vector2 point, int screenW, int screenH, float statusBarH);
