// layout.cpp: the frame's layout, the view targets, the 2D zoom and the cameras.
#include "editor/layout.h"

#include <cmath>
#include <cstdio>

#include "raymath.h"
#include "editor/app.h"
#include "editor/tools/clip_tool.h"
#include "project/autosave.h"
#include "project/projects.h"
#include "render/settings.h"

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void LayoutSetBars(UiState &ui)
{
    ui.menuBarH = kMenuBarH;
    ui.toolbarH = kToolbarH;
    ui.statusBarH = kStatusBarH;
    ui.leftPanelW = kLeftPanelW;
    ui.rightPanelW = kRightPanelW;
    ui.viewsTop = ui.menuBarH + ui.toolbarH;
}

void LayoutCompute(UiState &ui, int screenW, int screenH)
{
    LayoutSetBars(ui);
    // A window smaller than its bars and panels leaves no room: the views shrink to nothing
    // rather than to negative sizes.
    ui.viewsArea.x = fmaxf(0.0f, (float)screenW - ui.leftPanelW - ui.rightPanelW);
    ui.viewsArea.y = fmaxf(0.0f, (float)screenH - ui.viewsTop - ui.statusBarH);
    ui.viewSize = Vector2{ ui.viewsArea.x * 0.5f, ui.viewsArea.y * 0.5f };
    float left = ui.leftPanelW, top = ui.viewsTop, w = ui.viewSize.x, h = ui.viewSize.y;
    ui.viewRect[VIEW_3D] = Rectangle{ left, top, w, h };
    ui.viewRect[VIEW_TOP] = Rectangle{ left + w, top, w, h };
    ui.viewRect[VIEW_FRONT] = Rectangle{ left, top + h, w, h };
    ui.viewRect[VIEW_SIDE] = Rectangle{ left + w, top + h, w, h };
}

int ViewTargetsNeedResize(Vector2 viewSize, int targetW, int targetH)
{
    if (!(viewSize.x > kMinTargetSide && viewSize.y > kMinTargetSide)) return 0;
    return ((int)viewSize.x != targetW || (int)viewSize.y != targetH) ? 1 : 0;
}

float OrthoZoomStep(float zoom, float wheel)
{
    return Clamp(zoom - kZoomPerWheel * wheel, kMinOrthoZoom, kMaxOrthoZoom);
}

float FlySpeedStep(float speed, float wheel)
{
    if (wheel == 0.0f) return speed;
    return Clamp(speed * (wheel > 0.0f ? kFlySpeedUp : kFlySpeedDown), kMinFlySpeed, kMaxFlySpeed);
}

Vector3 FlyForward(float yaw, float pitch)
{
    return Vector3{ sinf(yaw) * cosf(pitch), sinf(pitch), cosf(yaw) * cosf(pitch) };
}

int FlyHeadingFromCamera(Camera3D camera, float *yaw, float *pitch)
{
    Vector3 d = Vector3Subtract(camera.target, camera.position);
    float length = Vector3Length(d);
    if (length <= 0.0f) return 0;   // no direction: the heading stays
    d = Vector3Scale(d, 1.0f / length);
    *yaw = atan2f(d.x, d.z);
    *pitch = Clamp(asinf(Clamp(d.y, -1.0f, 1.0f)), -kMaxPitch, kMaxPitch);
    return 1;
}

void Follow2DCameras(UiState &ui)
{
    Vector3 t = ui.cam3D.target;
    ui.cam2D[0].target = t;
    ui.cam2D[1].target = t;
    ui.cam2D[2].target = t;
    ui.cam2D[0].position = Vector3{ t.x, t.y + kFollowDistance, t.z };   // Top
    ui.cam2D[1].position = Vector3{ t.x, t.y, t.z + kFollowDistance };   // Front
    ui.cam2D[2].position = Vector3{ t.x + kFollowDistance, t.y, t.z };   // Side
}

void LayoutPhase(UiState &ui)
{
    LayoutCompute(ui, ui.screenW, ui.screenH);
    if (ViewTargetsNeedResize(ui.viewSize, ui.renderTargets[VIEW_3D].texture.width,
                              ui.renderTargets[VIEW_3D].texture.height)) {
        for (int v = 0; v < kViewCount; v++) {
            UnloadRenderTexture(ui.renderTargets[v]);
            ui.renderTargets[v] = LoadRenderTexture((int)ui.viewSize.x, (int)ui.viewSize.y);
        }
    }
    ui.mouse = GetMousePosition();
    gEd.viewRect = ui.viewRect;

    Zoom2DByWheel(ui, GetMouseWheelMove());
}

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
    gSettings.flySpeed = FlySpeedStep(gSettings.flySpeed, wheel);
    StatusSet(ui, "Fly speed %.3f", gSettings.flySpeed);
    return 1;
}

bool FlyCameraActive(const UiState &ui, Vector2 mouse)
{
    // The merge prompt and the problem report leave the camera free; the other windows hold it.
    if (ui.uiBlocksInput || ui.showRenderOutput || gProjects.managerOpen || gRecoverPrompt) return false;
    if (ui.xform.transformMode != XFORM_NONE) return false;
    return IsMouseButtonDown(MOUSE_BUTTON_RIGHT) && CheckCollisionPointRec(mouse, ui.viewRect[VIEW_3D]);
}

Ray PickRay3D(const UiState &ui)
{
    const Rectangle &r = ui.viewRect[VIEW_3D];
    return GetScreenToWorldRayEx(Vector2{ ui.mouse.x - r.x, ui.mouse.y - r.y }, ui.cam3D, (int)r.width, (int)r.height);
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
