// The splash's timing and fit.
#include <gtest/gtest.h>

#include "project/splash.h"

TEST(Splash, FadesAndFits)
{
    EXPECT_FLOAT_EQ(SplashOpacity(0.25f), 0.5f);
    EXPECT_EQ(SplashOpacity(1.0f), 1.0f);
    EXPECT_FLOAT_EQ(SplashOpacity(2.45f), 0.5f);
    EXPECT_EQ(SplashOpacity(3.0f), 0.0f);
    Rectangle r = SplashFit(1440, 900, 1920, 1080);
    EXPECT_EQ(r.width, 1440.0f);
    EXPECT_EQ(r.height, 810.0f);
    EXPECT_EQ(r.y, 45.0f);
    EXPECT_EQ(SplashFit(1440, 900, 0, 10).width, 0.0f);
}
