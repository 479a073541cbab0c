// The console ring, its filters and the window's arithmetic.
#include <gtest/gtest.h>

#include <string>

#include "editor/console.h"
#include "editor/layout.h"
#include "editor/windows/console_window.h"

class ConsoleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ConsoleClear();
        gConsole.scroll = 0.0f;
        gConsole.follow = true;
        gConsole.showInfo = gConsole.showWarn = gConsole.showError = gConsole.showEditor = true;
    }
};

TEST_F(ConsoleTest, RingWrapsAt600AndReadsNewestFirst)
{
    for (int i = 0; i < 601; i++) ConsolePush(CONSOLE_INFO, std::to_string(i).c_str());
    EXPECT_EQ(gConsole.count, 600);
    EXPECT_EQ(gConsole.head, 1);
    EXPECT_STREQ(ConsoleAt(0)->text, "600");
    EXPECT_STREQ(ConsoleAt(599)->text, "1");   // the first line pushed is gone
    EXPECT_EQ(ConsoleAt(600), nullptr);
    EXPECT_EQ(ConsoleAt(-1), nullptr);
}

TEST_F(ConsoleTest, ErrorCountSurvivesOverwritesAndFollowResetsScroll)
{
    ConsolePush(CONSOLE_ERROR, "bad");
    for (int i = 0; i < 700; i++) ConsolePush(CONSOLE_INFO, "ok");
    EXPECT_EQ(gConsole.errorCount, 1);

    gConsole.scroll = 6.0f;
    gConsole.follow = false;
    ConsolePush(CONSOLE_WARN, "kept");
    EXPECT_EQ(gConsole.scroll, 6.0f);
    gConsole.follow = true;
    ConsolePush(CONSOLE_WARN, "reset");
    EXPECT_EQ(gConsole.scroll, 0.0f);
}

TEST_F(ConsoleTest, LongLinesAreCutAndFormatted)
{
    ConsolePush(CONSOLE_INFO, std::string(250, 'a').c_str());
    EXPECT_EQ(std::string(ConsoleAt(0)->text).size(), 199u);
    ConsoleLogf(CONSOLE_EDITOR, "Created Brush #%d", 7);
    EXPECT_STREQ(ConsoleAt(0)->text, "Created Brush #7");
    EXPECT_EQ(ConsoleAt(0)->level, CONSOLE_EDITOR);
    ConsolePush(CONSOLE_INFO, nullptr);
    EXPECT_STREQ(ConsoleAt(0)->text, "");
}

TEST_F(ConsoleTest, FiltersByLevelAndShowsUnknownLevels)
{
    gConsole.showInfo = false;
    EXPECT_FALSE(ConsoleLevelVisible(CONSOLE_INFO));
    EXPECT_TRUE(ConsoleLevelVisible(CONSOLE_EDITOR));
    EXPECT_TRUE(ConsoleLevelVisible(CONSOLE_WARN));
    EXPECT_TRUE(ConsoleLevelVisible(CONSOLE_ERROR));
    gConsole.showEditor = gConsole.showWarn = gConsole.showError = false;
    EXPECT_TRUE(ConsoleLevelVisible(7));
    EXPECT_TRUE(ConsoleLevelVisible(-1));
}

TEST(ConsoleWindow, SizeFollowsTheWindow)
{
    Rectangle r = ConsoleWindowRect(1440, 900, 49.5f);
    EXPECT_FLOAT_EQ(r.x, 18.0f);
    EXPECT_FLOAT_EQ(r.width, 1404.0f);
    EXPECT_FLOAT_EQ(r.height, 405.0f);
    EXPECT_FLOAT_EQ(r.y, 900.0f - 49.5f - 405.0f - 13.5f);
    EXPECT_EQ(ConsoleLinesThatFit(r.height - 67.5f), 11);   // 337.5 / 29.25 = 11.5
    EXPECT_FLOAT_EQ(ConsoleWindowRect(1920, 2000, 49.5f).height, 675.0f);
    EXPECT_EQ(ConsoleLinesThatFit(-20.0f), 0);
}
