// cameras.cpp: what the wheel and the right button do to the cameras: the 2D zoom, the fly
// speed and the fly camera.
#include "editor/cameras.h"

#include "raymath.h"
#include "document/settings.h"
#include "editor/input.h"
#include "editor/layout.h"
#include "editor/tools/clip_tool.h"

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int Zoom2DByWheel(UiState &ui, float wheel)
{
    // The wheel zooms whatever holds the keyboard, but never beneath an open window: there the
    // wheel is the window's.
    if (wheel == 0.0f || PointerOverWindow(ui)) return 0;
    if (ClipToolTakesWheel(ui, wheel)) return 0;   // it bends the arc line under the mouse
    for (int v = VIEW_TOP; v <= VIEW_SIDE; v++) {
        if (!CheckCollisionPointRec(ui.mouse, ui.viewRect[v])) continue;
        ui.orthoZoom = OrthoZoomStep(ui.orthoZoom, wheel);
        for (int i = 0; i < 3; i++) ui.cam2D[i].fovy = ui.orthoZoom;
        return 1;
    }
    return 0;
}

int FlySpeedByWheel(UiState &ui, float wheel)
{
    if (wheel == 0.0f || PointerOverWindow(ui)) return 0;
    SettingsSetFlySpeed(FlySpeedStep(gSettings.flySpeed, wheel));
    StatusSet(ui, "Fly speed %.3f", gSettings.flySpeed);
    return 1;
}

bool FlyCameraActive(const UiState &ui, Vector2 mouse)
{
    if (WindowHoldsCamera(ui)) return false;
    if (ui.xform.transformMode != XFORM_NONE) return false;
    return IsMouseButtonDown(MOUSE_BUTTON_RIGHT) && CheckCollisionPointRec(mouse, ui.viewRect[VIEW_3D]);
}

void FlyCameraPhase(UiState &ui)
{
    if (!FlyCameraActive(ui, ui.mouse)) return;

    Vector2 d = GetMouseDelta();
    ui.flyYaw -= kLookPerPixel * d.x;
    ui.flyPitch = Clamp(ui.flyPitch - kLookPerPixel * d.y, -kMaxPitch, kMaxPitch);
    Vector3 f = FlyForward(ui.flyYaw, ui.flyPitch);
    Vector3 r = Vector3Normalize(Vector3CrossProduct(f, Vector3{ 0.0f, 1.0f, 0.0f }));
    float step = gSettings.flySpeed * (ui.shiftHeld ? kFastFly : 1.0f);

    FlySpeedByWheel(ui, GetMouseWheelMove());   // this frame's step is the one before the change

    Vector3 pos = ui.cam3D.position;
    if (IsKeyDown(KEY_W)) pos = Vector3Add(pos, Vector3Scale(f, step));
    if (IsKeyDown(KEY_S)) pos = Vector3Subtract(pos, Vector3Scale(f, step));
    if (IsKeyDown(KEY_D)) pos = Vector3Add(pos, Vector3Scale(r, step));
    if (IsKeyDown(KEY_A)) pos = Vector3Subtract(pos, Vector3Scale(r, step));
    if (IsKeyDown(KEY_E)) pos.y += step;
    if (IsKeyDown(KEY_Q)) pos.y -= step;
    ui.cam3D.position = pos;
    ui.cam3D.target = Vector3Add(pos, f);
    ui.cam3D.up = Vector3{ 0.0f, 1.0f, 0.0f };
}
