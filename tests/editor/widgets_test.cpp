// Numeric field parsing and edit state, the tool table, the chrome's scroll arithmetic and the
// line breaks of wrapped labels.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "editor/chrome.h"
#include "editor/widgets.h"
#include "support/editor_state.h"

TEST(NumField, ParsesClampsAndRejectsNonFiniteText)
{
    float v = 5.0f;
    EXPECT_EQ(NumFieldParse("1e9", 1.0f, 400.0f, &v), 1);
    EXPECT_EQ(v, 400.0f);                          // "Range:" typed 1e9
    EXPECT_EQ(NumFieldParse("letters", 0.05f, 64.0f, &v), 1);
    EXPECT_FLOAT_EQ(v, 0.05f);                     // not a number reads 0, then clamped
    EXPECT_EQ(NumFieldParse("-3.25", -500.0f, 500.0f, &v), 1);
    EXPECT_EQ(v, -3.25f);
    for (const char *bad : { "nan", "NaN", "inf", "-inf", "infinity", "1e39", "-1e39", "1e999" }) {
        v = 12.5f;
        EXPECT_EQ(NumFieldParse(bad, 0.0f, 100.0f, &v), 0) << bad;
        EXPECT_EQ(v, 12.5f) << bad;
    }
}

TEST(NumField, SliderWidthHasAFloor)
{
    EXPECT_FLOAT_EQ(NumFieldSliderWidth(300.0f), 43.5f);
    EXPECT_FLOAT_EQ(NumFieldSliderWidth(280.0f), 40.5f);
}

TEST(NumField, EditStateIsReleasedWhenTheFieldIsNoLongerDrawn)
{
    ResetNumFields();
    EXPECT_FALSE(AnyNumFieldEditing());
    gNumFields.editing[30] = true;
    gNumFields.editing[3] = true;
    NumFieldsBeginFrame();
    gNumFields.drawn[30] = true;   // field 30 is still on screen, field 3 is not
    NumFieldsEndFrame();
    EXPECT_TRUE(gNumFields.editing[30]);
    EXPECT_FALSE(gNumFields.editing[3]);
    EXPECT_TRUE(AnyNumFieldEditing());
    snprintf(gNumFields.text[30], kNumFieldTextLen, "%s", "12.5");
    ResetNumFields();
    EXPECT_FALSE(AnyNumFieldEditing());
    EXPECT_STREQ(gNumFields.text[30], "12.5");     // the text stays
}

TEST(NumField, OutOfRangeIdsDrawNothing)
{
    float v = 1.0f;
    EXPECT_FALSE(GuiNumField(kNumFieldCount, Rectangle{ 0, 0, 300, 40 }, "X:", &v, 0.0f, 2.0f, nullptr));
    EXPECT_FALSE(GuiNumField(-1, Rectangle{ 0, 0, 300, 40 }, "X:", &v, 0.0f, 2.0f, nullptr));
    EXPECT_EQ(v, 1.0f);
}

TEST(ToolTable, PaletteOrderAndIds)
{
    const char *names[] = { "Select", "Block", "Clip", "Vertex", "Entity", "Texture" };
    const int ids[] = { 0, 2, 5, 4, 1, 3 };
    for (int i = 0; i < kToolRowCount; i++) {
        EXPECT_STREQ(kTools[i].name, names[i]);
        EXPECT_EQ(kTools[i].id, ids[i]);
        EXPECT_EQ(strlen(kTools[i].key), 1u);
    }
    EXPECT_STREQ(kTools[2].help, "Drag a cut line in a 2D view, Enter to slice the selection.");
}

TEST(Snapping, SnapStepMatchesGridRule)
{
    EXPECT_FLOAT_EQ(SnapStep(0.26f, 0.5f), 0.5f);
    EXPECT_FLOAT_EQ(SnapStep(-0.25f, 0.5f), -0.5f);
    EXPECT_FLOAT_EQ(SnapStep(1.3f, 0.0f), 1.3f);
}

TEST(Chrome, TopBarScrollRange)
{
    EXPECT_FLOAT_EQ(TopBarMaxScroll(2542.5f, 1440.0f), 1125.0f);
    EXPECT_FLOAT_EQ(TopBarMaxScroll(2542.5f, 2600.0f), 0.0f);
}

TEST(PanelScroll, LargestOffsetComesFromLastFramesContent)
{
    PanelScroll s = { 0.0f, 0.0f };
    EXPECT_EQ(PanelScrollMax(&s, 500.0f), 0.0f);
    s.contentHeight = 1500.0f;
    EXPECT_EQ(PanelScrollMax(&s, 500.0f), 1000.0f);
}

TEST(WrappedLabel, BreaksAtTheLastBlankThatFitsAndCutsOnlyWordsWiderThanALine)
{
    Font font = FixedWidthTestFont(10);         // every glyph 10 wide at size 10: 22 at 20 with spacing 2
    auto fit = [&](const char *text, float width) { return TextWrapLineLength(font, 20, 2, text, width); };
    EXPECT_EQ(fit("abc def", 22 * 7), 7);
    EXPECT_EQ(fit("abc  defgh", 22 * 8), 4);    // before the last blank that fits
    EXPECT_EQ(fit("abcdefgh xy", 22 * 5), 5);   // a word wider than the line is cut
    EXPECT_EQ(fit("x", 1), 1);                  // never an empty line
    EXPECT_EQ(fit("ab\ncd", 1000), 2);
}
