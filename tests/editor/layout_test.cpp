// Layout arithmetic for any window size, zoom and fly steps, the 2D follow, the Render window
// and the cursor readout texts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "raylib.h"
#include "raymath.h"
#include "document/settings.h"
#include "editor/console.h"
#include "editor/cameras.h"
#include "editor/layout.h"
#include "editor/view_draw.h"
#include "editor/windows/render_view.h"
#include "render/gizmos.h"
#include "support/vector_check.h"

static UiState Laid(int w, int h)
{
    static UiState ui;
    memset(&ui, 0, sizeof(ui));
    LayoutCompute(ui, w, h);
    return ui;
}

static void ExpectRect(Rectangle r, float x, float y, float w, float h)
{
    EXPECT_FLOAT_EQ(r.x, x);
    EXPECT_FLOAT_EQ(r.y, y);
    EXPECT_FLOAT_EQ(r.width, w);
    EXPECT_FLOAT_EQ(r.height, h);
}

TEST(Layout, StartSizeGivesFour369PixelViews)
{
    UiState ui = Laid(1440, 900);
    EXPECT_FLOAT_EQ(ui.viewsTop, 112.5f);
    EXPECT_FLOAT_EQ(ui.viewsArea.x, 738.0f);
    EXPECT_FLOAT_EQ(ui.viewsArea.y, 738.0f);
    ExpectRect(ui.viewRect[VIEW_3D], 162, 112.5f, 369, 369);
    ExpectRect(ui.viewRect[VIEW_TOP], 531, 112.5f, 369, 369);
    ExpectRect(ui.viewRect[VIEW_FRONT], 162, 481.5f, 369, 369);
    ExpectRect(ui.viewRect[VIEW_SIDE], 531, 481.5f, 369, 369);
    EXPECT_TRUE(ViewTargetsNeedResize(ui.viewSize, 400, 300));     // the start targets are re-made
    EXPECT_FALSE(ViewTargetsNeedResize(ui.viewSize, 369, 369));
}

TEST(Layout, OtherSizesFollowTheWindow)
{
    UiState ui = Laid(1100, 900);
    EXPECT_FLOAT_EQ(ui.viewsArea.x, 398.0f);
    EXPECT_FLOAT_EQ(ui.viewSize.x, 199.0f);
    ui = Laid(1920, 1080);
    ExpectRect(ui.viewRect[VIEW_SIDE], 162 + 609, 112.5f + 459, 609, 459);
    ui = Laid(1441, 901);                                         // half pixels: targets take the whole part
    EXPECT_FLOAT_EQ(ui.viewSize.x, 369.5f);
    EXPECT_FALSE(ViewTargetsNeedResize(ui.viewSize, 369, 369));
}

TEST(Layout, SmallWindowsKeepTheirTargetsAndNeverGoNegative)
{
    UiState ui = Laid(722, 900);                                  // views exactly 10 wide
    EXPECT_FLOAT_EQ(ui.viewSize.x, 10.0f);
    EXPECT_FALSE(ViewTargetsNeedResize(ui.viewSize, 369, 369));
    EXPECT_TRUE(ViewTargetsNeedResize(Laid(724, 900).viewSize, 369, 369));
    for (int w : { 0, 1, 200, 701, 702, 703 }) {
        for (int h : { 0, 1, 150, 161, 162, 163 }) {
            ui = Laid(w, h);
            for (int v = 0; v < kViewCount; v++) {
                EXPECT_GE(ui.viewRect[v].width, 0.0f) << w << "x" << h;
                EXPECT_GE(ui.viewRect[v].height, 0.0f) << w << "x" << h;
            }
            EXPECT_FALSE(ViewTargetsNeedResize(ui.viewSize, 369, 369)) << w << "x" << h;
        }
    }
}

TEST(Cameras, WheelZoomAndFlySpeedClamp)
{
    float zoom = 16.0f;
    for (int i = 0; i < 10; i++) zoom = OrthoZoomStep(zoom, 1.0f);
    EXPECT_FLOAT_EQ(zoom, 2.0f);
    EXPECT_FLOAT_EQ(OrthoZoomStep(16.0f, -2.0f), 19.0f);
    EXPECT_FLOAT_EQ(OrthoZoomStep(99.0f, -1.0f), 100.0f);
    float speed = 0.2f;
    for (int i = 0; i < 23; i++) speed = FlySpeedStep(speed, 1.0f);
    EXPECT_LT(speed, 5.0f);
    speed = FlySpeedStep(speed, 1.0f);
    EXPECT_FLOAT_EQ(speed, 5.0f);                                 // 24 steps up reach 5
    EXPECT_FLOAT_EQ(FlySpeedStep(5.0f, 1.0f), 5.0f);
    EXPECT_FLOAT_EQ(FlySpeedStep(0.2f, -1.0f), 0.2f * 0.87f);
    EXPECT_FLOAT_EQ(FlySpeedStep(0.011f, -1.0f), 0.01f);
}

TEST(Cameras, TheWheelOverTheConsoleNeitherZoomsNorChangesTheFlySpeed)
{
    UiState ui = Laid(1440, 900);
    ui.screenW = 1440;
    ui.screenH = 900;
    ui.orthoZoom = 16.0f;
    float speed = gSettings.flySpeed;
    // The console lies over the Side view and over the 3D view's lower edge.
    float consoleY = ConsoleWindowRect(1440, 900, ui.statusBarH).y;
    Vector2 overSide = { ui.viewRect[VIEW_SIDE].x + 100.0f, consoleY + 100.0f };
    Vector2 over3D = { ui.viewRect[VIEW_3D].x + 100.0f, consoleY + 10.0f };
    gConsole.open = true;
    ui.mouse = overSide;
    EXPECT_EQ(Zoom2DByWheel(ui, 1.0f), 0);
    ui.mouse = over3D;
    EXPECT_EQ(FlySpeedByWheel(ui, 1.0f), 0);
    EXPECT_EQ(ui.orthoZoom, 16.0f);
    EXPECT_EQ(gSettings.flySpeed, speed);
    gConsole.open = false;                        // the same places without the console
    EXPECT_EQ(FlySpeedByWheel(ui, -1.0f), 1);
    ui.mouse = overSide;
    EXPECT_EQ(Zoom2DByWheel(ui, 1.0f), 1);
    EXPECT_FLOAT_EQ(ui.cam2D[2].fovy, 14.5f);
    SettingsForTests().editor.flySpeed = speed;
}

TEST(Cameras, HeadingAndFollow)
{
    Vector3 f = FlyForward(0.0f, 0.0f);
    EXPECT_FLOAT_EQ(f.z, 1.0f);
    f = FlyForward(0.0f, 0.5f);
    EXPECT_GT(f.y, 0.0f);                                         // positive pitch looks up
    static UiState ui;
    memset(&ui, 0, sizeof(ui));
    ui.cam3D.target = Vector3{ 10, 0, 0 };
    Follow2DCameras(ui);
    EXPECT_FLOAT_EQ(ui.cam2D[0].position.y, 20.0f);
    EXPECT_FLOAT_EQ(ui.cam2D[0].position.x, 10.0f);
    EXPECT_FLOAT_EQ(ui.cam2D[1].position.z, 20.0f);
    EXPECT_FLOAT_EQ(ui.cam2D[2].position.x, 30.0f);
    EXPECT_FLOAT_EQ(ui.cam2D[2].target.x, 10.0f);
}

TEST(Cameras, FlyHeadingGoesOnFromEachOrientationHandle)
{
    for (const OrientHandle &h : kOrientHandles) {
        Camera3D cam = {};
        cam.target = Vector3{ 3, -2, 5 };
        cam.position = Vector3Add(cam.target, h.cameraOffset);
        float yaw = 9.0f, pitch = 9.0f;
        ASSERT_TRUE(FlyHeadingFromCamera(cam, &yaw, &pitch)) << h.label;
        Vector3 f = FlyForward(yaw, pitch), look = Vector3Normalize(Vector3Negate(h.cameraOffset));
        if (h.label[0] == 'Y') {
            // Straight down is beyond the fly camera's limit: held at it, leaning toward -Z (up).
            EXPECT_TRUE(pitch == -kMaxPitch && f.z < 0.0f && fabsf(f.x) < 1e-4f);
        } else {
            ExpectNear(f, look);
        }
    }
    Camera3D still = {};
    float yaw = 1.0f, pitch = 0.5f;
    EXPECT_FALSE(FlyHeadingFromCamera(still, &yaw, &pitch));      // no direction: heading untouched
    EXPECT_TRUE(yaw == 1.0f && pitch == 0.5f);
}

TEST(RenderWindow, ImageKeepsItsShapeCentredInTheArea)
{
    Rectangle wide = { 40.5f, 85.5f, 1199, 535.5f };             // the area of a 1280 x 720 window
    ExpectRect(RenderImageFit(wide, 800, 600), 40.5f + (1199 - 714) / 2.0f, 85.5f, 714, 535.5f);
    ExpectRect(RenderImageFit(Rectangle{ 0, 0, 400, 900 }, 800, 600), 0, 300, 400, 300);
    ExpectRect(RenderImageFit(Rectangle{ 5, 5, 80, 60 }, 800, 600), 5, 5, 80, 60);
    ExpectRect(RenderImageFit(Rectangle{ 5, 5, 80, 60 }, 0, 600), 5, 5, 80, 60);   // no image: the area
}

TEST(RenderWindow, CappedToTheScreenButNeverBelowItsMinimum)
{
    ExpectRect(RenderWindowRect(1280, 720), 22.5f, 22.5f, 1235, 675);
    ExpectRect(RenderWindowRect(400, 300), 0, 0, 450, 360);
    ExpectRect(RenderWindowRect(1920, 1440), 195, 135, 1530, 1170);
    Rectangle img = RenderImageRect(Rectangle{ 0, 0, 450, 100 });
    EXPECT_FLOAT_EQ(img.height, 10.0f);                           // never below 10
    img = RenderImageRect(RenderWindowRect(1280, 720));
    ExpectRect(img, 40.5f, 85.5f, 1199, 675 - 63 - 76.5f);
}

TEST(CursorReadout, AxesByView)
{
    char text[64];
    Vector3 p = { 1.5f, -2.25f, 3.0f };
    CursorReadoutText(text, sizeof(text), VIEW_TOP, p);
    EXPECT_STREQ(text, "x 1.50   z 3.00");
    CursorReadoutText(text, sizeof(text), VIEW_FRONT, p);
    EXPECT_STREQ(text, "x 1.50   y -2.25");
    CursorReadoutText(text, sizeof(text), VIEW_SIDE, p);
    EXPECT_STREQ(text, "z 3.00   y -2.25");
    CursorReadoutText(text, sizeof(text), VIEW_3D, p);
    EXPECT_STREQ(text, "");
}
