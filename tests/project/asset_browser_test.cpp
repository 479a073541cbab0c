// The asset browser's arithmetic: grid columns and content, scroll limits, the turntable and the
// framing of a point model.
#include <gtest/gtest.h>

#include <cmath>

#include "project/asset_browser.h"

TEST(AssetBrowser, GridScrollAndTurntableArithmetic)
{
    EXPECT_EQ(AssetGridColumns(486.0f), 4);       // (486 - 9) / 112.5 = 4.24
    EXPECT_EQ(AssetGridColumns(100.0f), 1);       // too narrow for one whole cell: still one column
    EXPECT_EQ(AssetGridColumns(0.0f), 1);
    float content = AssetGridContentHeight(10, 4);
    EXPECT_FLOAT_EQ(content, 346.5f);             // 3 rows
    EXPECT_FLOAT_EQ(AssetGridContentHeight(0, 4), 9.0f);
    EXPECT_FLOAT_EQ(AssetScrollClamp(500.0f, content, 300.0f), 46.5f);
    EXPECT_FLOAT_EQ(AssetScrollClamp(-20.0f, content, 300.0f), 0.0f);
    EXPECT_FLOAT_EQ(AssetScrollClamp(NAN, content, 300.0f), 0.0f);
    // A rescan that leaves less to list pulls an old scroll back; content that fits never scrolls.
    EXPECT_FLOAT_EQ(AssetScrollClamp(46.5f, AssetGridContentHeight(4, 4), 300.0f), 0.0f);

    EXPECT_FLOAT_EQ(PreviewAngleAfter(350.0f, 0.5f, true), 7.5f);     // 350 + 17.5 wraps once
    EXPECT_FLOAT_EQ(PreviewAngleAfter(120.0f, 0.5f, false), 120.0f);  // spin off: the angle holds
    EXPECT_FLOAT_EQ(PreviewRadius(BoundingBox{ { 1, 1, 1 }, { 1, 1, 1 } }), 1.0f);   // a point model
}
