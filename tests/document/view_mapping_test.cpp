// Screen/world mapping of the four views, ray/plane meeting, the widget test and face picking.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "document/brush_geometry.h"
#include "document/primitives.h"
#include "document/view_mapping.h"
#include "support/vector_check.h"

namespace {

const Rectangle kRect = { 162.0f, 112.5f, 640.5f, 360.25f };

Camera3D OrthoCamera(Vector3 target)
{
    Camera3D c = {};
    c.target = target;
    c.position = target;
    c.up = Vector3{ 0, 1, 0 };
    c.fovy = 16.0f;
    c.projection = CAMERA_ORTHOGRAPHIC;
    return c;
}

TEST(ScreenToOrthoWorld, CentreAndCornersOfEachView)
{
    Camera3D cam = OrthoCamera(Vector3{ 1.0f, 2.0f, 3.0f });
    float zoom = 16.0f, aspect = kRect.width / kRect.height;
    Vector2 centre = { kRect.x + kRect.width / 2, kRect.y + kRect.height / 2 };
    Vector2 bottomRight = { kRect.x + kRect.width, kRect.y + kRect.height };
    for (int view = VIEW_TOP; view <= VIEW_SIDE; view++) {
        Vector3 p = ScreenToOrthoWorld(centre, kRect, cam, zoom, view);
        ExpectNear(p, Vector3{ 1.0f, 2.0f, 3.0f }, 1e-5f);
    }
    Vector3 top = ScreenToOrthoWorld(bottomRight, kRect, cam, zoom, VIEW_TOP);
    EXPECT_NEAR(top.x, 1.0f + zoom * aspect / 2, 1e-4f);
    EXPECT_EQ(top.y, 2.0f);
    EXPECT_NEAR(top.z, 3.0f + zoom / 2, 1e-4f);
    Vector3 front = ScreenToOrthoWorld(bottomRight, kRect, cam, zoom, VIEW_FRONT);
    EXPECT_NEAR(front.x, 1.0f + zoom * aspect / 2, 1e-4f);
    EXPECT_NEAR(front.y, 2.0f - zoom / 2, 1e-4f);          // screen down is -Y
    EXPECT_EQ(front.z, 3.0f);
    Vector3 side = ScreenToOrthoWorld(bottomRight, kRect, cam, zoom, VIEW_SIDE);
    EXPECT_EQ(side.x, 1.0f);
    EXPECT_NEAR(side.y, 2.0f - zoom / 2, 1e-4f);
    EXPECT_NEAR(side.z, 3.0f - zoom * aspect / 2, 1e-4f);   // screen right is -Z
    Vector3 sideLeft = ScreenToOrthoWorld(Vector2{ kRect.x, centre.y }, kRect, cam, zoom, VIEW_SIDE);
    EXPECT_GT(sideLeft.z, side.z);
}

TEST(ScreenToOrthoWorld, DegenerateRectangleAndUnknownView)
{
    Camera3D cam = OrthoCamera(Vector3{ 1, 2, 3 });
    Rectangle thin = { 10, 10, 0.0005f, 100 };
    Rectangle flat = { 10, 10, 100, 0.001f };
    for (int view = VIEW_TOP; view <= VIEW_SIDE; view++) {
        Vector3 p = ScreenToOrthoWorld(Vector2{ 10, 10 }, thin, cam, 16, view);
        EXPECT_EQ(p.x, 0.0f);
        EXPECT_EQ(p.y, 0.0f);
        EXPECT_EQ(p.z, 0.0f);
        Vector2 s = WorldToViewportScreen(Vector3{ 1, 2, 3 }, flat, cam, 16, view);
        EXPECT_EQ(s.x, -10000.0f);
        EXPECT_EQ(s.y, -10000.0f);
    }
    Vector3 p = ScreenToOrthoWorld(Vector2{ 300, 300 }, kRect, cam, 16, VIEW_3D);
    EXPECT_EQ(p.x, 0.0f);
    p = ScreenToOrthoWorld(Vector2{ 300, 300 }, kRect, cam, 16, 7);
    EXPECT_EQ(p.y, 0.0f);
    Vector2 s = WorldToViewportScreen(Vector3{ 50, 50, 50 }, kRect, cam, 16, 7);
    EXPECT_FLOAT_EQ(s.x, kRect.x + kRect.width / 2);         // an unknown view maps to the centre
    EXPECT_FLOAT_EQ(s.y, kRect.y + kRect.height / 2);
}

TEST(WorldToViewportScreen, InverseOfScreenToOrthoWorldInEveryView)
{
    Camera3D cam = OrthoCamera(Vector3{ -4.5f, 1.25f, 7.0f });
    float zoom = 23.0f;
    const Vector3 points[] = { { 0, 0, 0 }, { -10, 3.5f, 12 }, { 2.25f, -8, -1 }, { -4.5f, 1.25f, 7 } };
    for (int view = VIEW_TOP; view <= VIEW_SIDE; view++) {
        for (Vector3 w : points) {
            Vector2 s = WorldToViewportScreen(w, kRect, cam, zoom, view);
            Vector3 back = ScreenToOrthoWorld(s, kRect, cam, zoom, view);
            // The two view axes come back; the depth axis is the camera target's.
            Vector3 want = w;
            if (view == VIEW_TOP) want.y = cam.target.y;
            if (view == VIEW_FRONT) want.z = cam.target.z;
            if (view == VIEW_SIDE) want.x = cam.target.x;
            SCOPED_TRACE(testing::Message() << "view " << view);
            ExpectNear(back, want);
        }
    }
}

TEST(WorldToViewportScreen, PerspectiveViewMatchesThePickRay)
{
    Camera3D cam = {};
    cam.position = Vector3{ 12, 10, 12 };
    cam.target = Vector3{ 0, 0, 0 };
    cam.up = Vector3{ 0, 1, 0 };
    cam.fovy = 75.0f;
    cam.projection = CAMERA_PERSPECTIVE;
    const Vector3 points[] = { { 0, 0, 0 }, { 2, 1, -3 }, { -4, 0.5f, 1 } };
    for (Vector3 w : points) {
        Vector2 s = WorldToViewportScreen(w, kRect, cam, 16, VIEW_3D);
        EXPECT_GT(s.x, kRect.x);
        EXPECT_LT(s.x, kRect.x + kRect.width);
        Ray ray = GetScreenToWorldRayEx(Vector2{ s.x - kRect.x, s.y - kRect.y }, cam, (int)kRect.width,
                                        (int)kRect.height);
        // The ray through the drawn point passes through the world point.
        Vector3 to = Vector3Subtract(w, ray.position);
        float along = Vector3DotProduct(to, ray.direction);
        Vector3 closest = Vector3Add(ray.position, Vector3Scale(ray.direction, along));
        EXPECT_LT(Vector3Distance(closest, w), 1e-3f);
    }
    Vector2 centre = WorldToViewportScreen(cam.target, kRect, cam, 16, VIEW_3D);
    EXPECT_NEAR(centre.x, kRect.x + (int)kRect.width / 2.0f, 1e-3f);
    EXPECT_NEAR(centre.y, kRect.y + (int)kRect.height / 2.0f, 1e-3f);
}

TEST(RayPlaneIntersect, ParallelBehindAndAtOrigin)
{
    Ray ray = { Vector3{ 0, 5, 0 }, Vector3{ 0, -1, 0 } };
    Vector3 out = { 9, 9, 9 };
    ASSERT_EQ(RayPlaneIntersect(ray, Vector3{ 3, 1, 3 }, Vector3{ 0, 1, 0 }, &out), 1);
    EXPECT_FLOAT_EQ(out.y, 1.0f);
    EXPECT_FLOAT_EQ(out.x, 0.0f);

    out = Vector3{ 9, 9, 9 };
    Ray flat = { Vector3{ 0, 1, 0 }, Vector3{ 1, 0, 0 } };    // lying in the plane y = 1
    EXPECT_EQ(RayPlaneIntersect(flat, Vector3{ 0, 1, 0 }, Vector3{ 0, 1, 0 }, &out), 0);
    Ray above = { Vector3{ 0, 2, 0 }, Vector3{ 1, 0, 0 } };   // parallel above it
    EXPECT_EQ(RayPlaneIntersect(above, Vector3{ 0, 1, 0 }, Vector3{ 0, 1, 0 }, &out), 0);
    Ray away = { Vector3{ 0, 5, 0 }, Vector3{ 0, 1, 0 } };    // the plane is behind
    EXPECT_EQ(RayPlaneIntersect(away, Vector3{ 0, 1, 0 }, Vector3{ 0, 1, 0 }, &out), 0);
    EXPECT_EQ(out.x, 9.0f);

    ASSERT_EQ(RayPlaneIntersect(away, Vector3{ 0, 5, 0 }, Vector3{ 0, 1, 0 }, &out), 1);
    EXPECT_EQ(out.y, 5.0f);                                   // the origin itself
}

TEST(CameraGizmo, RadiusEdge)
{
    Rectangle r = { 100, 50, 800, 600 };
    Vector2 c = { r.x + r.width - 101.25f, r.y + 101.25f };
    EXPECT_EQ(IsMouseOverCameraGizmo(c, r), 1);
    EXPECT_EQ(IsMouseOverCameraGizmo(Vector2{ c.x + 85, c.y }, r), 1);
    EXPECT_EQ(IsMouseOverCameraGizmo(Vector2{ c.x, c.y - 85.5f }, r), 1);
    EXPECT_EQ(IsMouseOverCameraGizmo(Vector2{ c.x - 86, c.y }, r), 0);
    EXPECT_EQ(IsMouseOverCameraGizmo(Vector2{ c.x + 61, c.y + 61 }, r), 0);   // 86.3 away
}

struct PickTest : ::testing::Test {
    std::unique_ptr<MapDoc> map{ new MapDoc() };
    Brush *AddCube(Vector3 origin)
    {
        Brush *b = &map->brushes[map->brushCount++];
        BrushInit(b, SHAPE_CUBE, origin, Vector3{ 2, 2, 2 }, -1);
        return b;
    }
    Ray Down(float x, float z) { return Ray{ Vector3{ x, 10, z }, Vector3{ 0, -1, 0 } }; }
};

TEST_F(PickTest, NearestFaceAndMisses)
{
    AddCube(Vector3{ 0, 0, 0 });
    AddCube(Vector3{ 0, 3, 0 });
    int b = 7, f = 7;
    ASSERT_EQ(PickFace3D(map.get(), Down(0.3f, -0.2f), &b, &f), 1);
    EXPECT_EQ(b, 1);
    EXPECT_EQ(f, 1);                           // the top of the higher cube
    Ray up = { Vector3{ 0.3f, -10, 0.2f }, Vector3{ 0, 1, 0 } };
    ASSERT_EQ(PickFace3D(map.get(), up, &b, &f), 1);
    EXPECT_EQ(b, 0);
    EXPECT_EQ(f, 0);                           // the bottom of the lower cube
    b = f = 7;
    EXPECT_EQ(PickFace3D(map.get(), Down(5, 5), &b, &f), 0);
    EXPECT_EQ(b, 7);
    EXPECT_EQ(f, 7);
}

TEST_F(PickTest, RotatedBrushUsesWorldPositions)
{
    Brush *c = AddCube(Vector3{ 0, 0, 0 });
    c->rotation = Vector3{ 0, 0, 90 };         // roll: the top becomes a side
    int b = -1, f = -1;
    ASSERT_EQ(PickFace3D(map.get(), Down(0.2f, 0.3f), &b, &f), 1);
    EXPECT_NE(f, 1);
    Vector3 n = Vector3Transform(FaceNormalLocal(c, &c->faces[f]), BrushRotMatrix(c));
    EXPECT_NEAR(n.y, 1.0f, 1e-4f);
}

TEST_F(PickTest, TiesGoToTheLowerBrushThenFace)
{
    AddCube(Vector3{ 0, 0, 0 });
    AddCube(Vector3{ 0, 0, 0 });               // the same cube twice
    int b = -1, f = -1;
    ASSERT_EQ(PickFace3D(map.get(), Down(0.25f, 0.5f), &b, &f), 1);
    EXPECT_EQ(b, 0);
    map->brushes[0].hidden = 1;
    ASSERT_EQ(PickFace3D(map.get(), Down(0.25f, 0.5f), &b, &f), 1);
    EXPECT_EQ(b, 1);

    Brush *twin = &map->brushes[1];            // a second copy of the top face, later in the list
    twin->faces[twin->faceCount++] = twin->faces[1];
    ASSERT_EQ(PickFace3D(map.get(), Down(0.25f, 0.5f), &b, &f), 1);
    EXPECT_EQ(f, 1);
    // Through the top face's diagonal: both of its triangles are hit at the same distance.
    ASSERT_EQ(PickFace3D(map.get(), Down(0.0f, 0.0f), &b, &f), 1);
    EXPECT_EQ(f, 1);
}

TEST_F(PickTest, SkipsHiddenAndShortFaces)
{
    Brush *c = AddCube(Vector3{ 0, 0, 0 });
    c->faces[1].count = 2;                     // the top can no longer be hit
    int b = -1, f = -1;
    ASSERT_EQ(PickFace3D(map.get(), Down(0.2f, 0.3f), &b, &f), 1);
    EXPECT_EQ(f, 0);                           // the ray goes on to the bottom
    c->hidden = 1;
    EXPECT_EQ(PickFace3D(map.get(), Down(0.2f, 0.3f), &b, &f), 0);
}

}  // namespace
