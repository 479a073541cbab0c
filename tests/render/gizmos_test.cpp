// Sky and orientation widget arithmetic.
#include <gtest/gtest.h>

#include "render/gizmos.h"

TEST(Sky, StarsStayInTheUpperThreeQuartersAndInsideTheTarget)
{
    for (int i = 0; i < kSkyStars; i++) {
        Vector2 p = SkyStarPosition(i, 800, 600);
        EXPECT_LT(p.y, 450.0f);
        EXPECT_LT(p.x, 800.0f);
        EXPECT_GE(p.x, 0.0f);
    }
    Vector2 p = SkyStarPosition(5, 0, 1);                        // degenerate sizes divide by 1
    EXPECT_EQ(p.x, 0.0f);
    EXPECT_EQ(p.y, 0.0f);
}

TEST(Sky, UnknownStylesAreDay)
{
    Color top, bottom, dayTop, dayBottom;
    SkyColours(0, &dayTop, &dayBottom);
    SkyColours(9, &top, &bottom);
    EXPECT_EQ(top.b, dayTop.b);
    EXPECT_EQ(dayTop.r, 74);
    SkyColours(2, &top, &bottom);
    EXPECT_EQ(top.r, 5);
    EXPECT_EQ(bottom.b, 56);
}

TEST(OrientationWidget, HandlesFollowTheCameraBasis)
{
    Rectangle rect = { 162, 112.5f, 369, 369 };
    Camera3D cam = {};
    cam.position = Vector3{ 0, 0, 10 };                          // looking along -Z
    cam.up = Vector3{ 0, 1, 0 };
    Vector2 c = { 162 + 369 - 101.25f, 112.5f + 101.25f };
    Vector2 x = OrientHandlePosition(rect, cam, 0), y = OrientHandlePosition(rect, cam, 1);
    Vector2 z = OrientHandlePosition(rect, cam, 2), r = OrientHandlePosition(rect, cam, 3);
    EXPECT_NEAR(x.x, c.x + 50.4f, 1e-3f); EXPECT_NEAR(x.y, c.y, 1e-3f);
    EXPECT_NEAR(y.x, c.x, 1e-3f);         EXPECT_NEAR(y.y, c.y - 50.4f, 1e-3f);
    EXPECT_NEAR(z.x, c.x, 1e-3f);         EXPECT_NEAR(z.y, c.y, 1e-3f);   // seen end-on
    EXPECT_EQ(r.x, c.x);                  EXPECT_EQ(r.y, c.y);
    EXPECT_STREQ(kOrientHandles[1].label, "Y");
    EXPECT_EQ(kOrientHandles[1].cameraUp.z, -1.0f);
}
