// layout.cpp: the frame's layout, the view targets, the windows' rectangles and the camera geometry.
#include "editor/layout.h"

#include <cmath>
#include <cstdio>

#include "raymath.h"
#include "editor/console.h"

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

}

Ray PickRay3D(const UiState &ui)
{
    const Rectangle &r = ui.viewRect[VIEW_3D];
    return GetScreenToWorldRayEx(Vector2{ ui.mouse.x - r.x, ui.mouse.y - r.y }, ui.cam3D, (int)r.width, (int)r.height);
}

Rectangle HelpWindowRect(int screenW, int screenH)
{
    float w = kHelpW, h = kHelpH;
    if (w > (float)screenW - kHelpMargin) w = (float)screenW - kHelpMargin;
    if (h > (float)screenH - kHelpMargin) h = (float)screenH - kHelpMargin;
    float x = ((float)screenW - w) / 2.0f, y = ((float)screenH - h) / 2.0f;
    return Rectangle{ x < 0.0f ? 0.0f : x, y < 0.0f ? 0.0f : y, w, h };
}

Rectangle RenderWindowRect(int screenW, int screenH)
{
    float w = fminf(kRenderWindowW, (float)screenW - kRenderWindowMargin);
    float h = fminf(kRenderWindowH, (float)screenH - kRenderWindowMargin);
    w = fmaxf(w, kRenderWindowMinW);   // the minimum wins over the cap
    h = fmaxf(h, kRenderWindowMinH);
    float x = fmaxf(0.0f, ((float)screenW - w) / 2.0f);
    float y = fmaxf(0.0f, ((float)screenH - h) / 2.0f);
    return Rectangle{ x, y, w, h };
}

Rectangle ConsoleWindowRect(int screenW, int screenH, float statusBarH)
{
    float height = fminf(0.45f * (float)screenH, kConsoleMaxH);
    return Rectangle{ 18.0f, (float)screenH - statusBarH - height - 13.5f, (float)screenW - 36.0f, height };
}

bool ConsoleCoversPoint(Vector2 point, int screenW, int screenH, float statusBarH)
{
    return gConsole.open && CheckCollisionPointRec(point, ConsoleWindowRect(screenW, screenH, statusBarH));
}
