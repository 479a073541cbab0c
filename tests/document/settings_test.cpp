// The settings record: the snapping start values.
#include <gtest/gtest.h>

#include "document/settings.h"

TEST(Settings, SnapSettingsStartValues)
{
    EXPECT_EQ(gSnap.move, 1);
    EXPECT_EQ(gSnap.scale, 0);
    EXPECT_EQ(gSnap.rotate, 1);
    EXPECT_EQ(gSnap.vertex, 1);
    EXPECT_FLOAT_EQ(gSnap.rotStep, 15.0f);
    EXPECT_FLOAT_EQ(gSnap.scaleStep, 0.25f);
}
