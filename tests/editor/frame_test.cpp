// The frame's own rules: the Escape chain, the input gate, the status line's copy to the console,
// and the rest between frames.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "document/undo.h"
#include "editor/startup.h"
#include "editor/frame.h"
#include "editor/input.h"
#include "editor/console.h"
#include "editor/layout.h"
#include "editor/tools/mod_tools.h"
#include "editor/windows/window_table.h"
#include "project/asset_browser.h"
#include "project/autosave.h"
#include "project/projects.h"
#include "script/mods.h"
#include "support/project_folder.h"

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui = std::make_unique<UiState>();
        UiStateStartValues(*ui, 0, 0);
        ConsoleClear();
        gConsole.follow = true;
    }
    void TearDown() override
    {
        ResetProjectState();
        gConsole.open = false;
    }
    std::unique_ptr<UiState> ui;
};

TEST_F(FrameTest, EscapeClosesOneWindowPerPressInOrder)
{
    ui->showHelp = true;
    ui->showRenderOutput = true;
    ui->showProblems = true;
    EscapeChain(*ui);
    EXPECT_TRUE(ui->escConsumed);
    EXPECT_FALSE(ui->showProblems);
    EXPECT_TRUE(ui->showRenderOutput);
    ui->escConsumed = false;
    EscapeChain(*ui);
    EXPECT_FALSE(ui->showRenderOutput);
    EXPECT_STREQ(ui->statusText, "Closed render view.");
    EXPECT_TRUE(ui->showHelp);
    ui->escConsumed = false;
    EscapeChain(*ui);
    EXPECT_FALSE(ui->showHelp);
    ui->escConsumed = false;
    EscapeChain(*ui);   // nothing left to close
    EXPECT_FALSE(ui->escConsumed);
}

TEST_F(FrameTest, EscapeCancelsMergeAndReleasesFileBox)
{
    ui->mergePrompt = true;
    ui->mergeCount = 3;
    EscapeChain(*ui);
    EXPECT_FALSE(ui->mergePrompt);
    EXPECT_EQ(ui->mergeCount, 0);
    EXPECT_STREQ(ui->statusText, "Merge cancelled.");

    ui->showSaveDialog = true;
    ui->fileBoxEdit = true;
    EXPECT_TRUE(UiBlocksInput(*ui));
    EscapeChain(*ui);
    EXPECT_FALSE(ui->showSaveDialog);
    EXPECT_FALSE(ui->fileBoxEdit);
    EXPECT_FALSE(UiBlocksInput(*ui));
}

TEST_F(FrameTest, EscapeRanksNameOneWindowEach)
{
    bool taken[kWindowCount + 1] = {};
    for (int id = 0; id < kWindowCount; id++) {
        int rank = kWindowFacts[id].escapeRank;
        ASSERT_TRUE(rank >= 0 && rank <= kWindowCount) << kWindowFacts[id].name;
        EXPECT_TRUE(rank == 0 || !taken[rank]) << kWindowFacts[id].name;
        taken[rank] = true;
    }
}

TEST_F(FrameTest, EscapeNeverClosesConsole)
{
    gConsole.open = true;
    EscapeChain(*ui);
    EXPECT_TRUE(gConsole.open);
    EXPECT_FALSE(ui->escConsumed);
    gConsole.open = false;
}

TEST_F(FrameTest, InputGate)
{
    EXPECT_TRUE(InputGateOpen(*ui));
    ui->nameBoxEdit = true;
    ui->uiBlocksInput = UiBlocksInput(*ui);
    EXPECT_FALSE(InputGateOpen(*ui));
    ui->nameBoxEdit = false;
    ui->vtxCentreEdit[1] = true;
    ui->uiBlocksInput = UiBlocksInput(*ui);
    EXPECT_FALSE(InputGateOpen(*ui));
    ui->vtxCentreEdit[1] = false;
    ui->uiBlocksInput = UiBlocksInput(*ui);
    for (bool *flag : { &ui->showRenderOutput, &ui->mergePrompt, &ui->showProblems }) {
        *flag = true;
        EXPECT_FALSE(InputGateOpen(*ui));
        *flag = false;
    }
    ui->showHelp = true;   // Help holds nothing back
    EXPECT_TRUE(InputGateOpen(*ui));
}

TEST_F(FrameTest, StatusLineReachesConsoleOncePerChange)
{
    char last[kStatusLen] = "";
    StatusToConsole("Saved", last, kStatusLen);
    StatusToConsole("Saved", last, kStatusLen);   // same text next frame: one line
    EXPECT_EQ(gConsole.count, 1);
    EXPECT_STREQ(ConsoleAt(0)->text, "Saved");
    EXPECT_EQ(ConsoleAt(0)->level, CONSOLE_EDITOR);

    StatusToConsole("Other", last, kStatusLen);
    StatusToConsole("Saved", last, kStatusLen);
    EXPECT_EQ(gConsole.count, 3);

    StatusToConsole("", last, kStatusLen);        // emptied: not pushed, but remembered
    EXPECT_EQ(gConsole.count, 3);
    StatusToConsole("Saved", last, kStatusLen);   // so the same message is pushed again
    EXPECT_EQ(gConsole.count, 4);
}

TEST_F(FrameTest, LibraryLogLevelsMapToConsoleLevels)
{
    auto log = [](int level, const char *fmt, ...) {
        va_list args;
        va_start(args, fmt);
        KirtoTraceLog(level, fmt, args);
        va_end(args);
    };
    testing::internal::CaptureStdout();
    log(LOG_INFO, "INFO: %s %d", "hello", 3);
    log(LOG_WARNING, "careful");
    log(LOG_ERROR, "broken");
    log(LOG_FATAL, "worse");
    log(LOG_DEBUG, "detail");
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "INFO: hello 3\ncareful\nbroken\nworse\ndetail\n");
    EXPECT_EQ(ConsoleAt(4)->level, CONSOLE_INFO);
    EXPECT_EQ(ConsoleAt(3)->level, CONSOLE_WARN);
    EXPECT_EQ(ConsoleAt(2)->level, CONSOLE_ERROR);
    EXPECT_EQ(ConsoleAt(1)->level, CONSOLE_ERROR);
    EXPECT_EQ(ConsoleAt(0)->level, CONSOLE_INFO);
    EXPECT_EQ(gConsole.errorCount, 2);

    std::string longText(300, 'x');
    testing::internal::CaptureStdout();
    log(LOG_INFO, "%s", longText.c_str());
    out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(strlen(ConsoleAt(0)->text), 199u);
    EXPECT_EQ(out.size(), 200u);
}

TEST_F(FrameTest, ProjectManagerHeadsTheEscapeChainAndReleasesItsNameBox)
{
    gProjects.managerOpen = true;
    gProjects.nameEditing = true;
    ui->showHelp = true;
    ui->uiBlocksInput = UiBlocksInput(*ui);
    EXPECT_TRUE(ui->uiBlocksInput);             // the name box holds the keyboard
    EXPECT_FALSE(InputGateOpen(*ui));
    EscapeChain(*ui);
    EXPECT_TRUE(ui->escConsumed);
    EXPECT_FALSE(gProjects.managerOpen);
    EXPECT_FALSE(gProjects.nameEditing);
    EXPECT_TRUE(ui->showHelp);
    ui->uiBlocksInput = UiBlocksInput(*ui);
    EXPECT_FALSE(ui->uiBlocksInput);
    EXPECT_TRUE(InputGateOpen(*ui));
    ui->escConsumed = false;
    EscapeChain(*ui);
    EXPECT_FALSE(ui->showHelp);
}

TEST_F(FrameTest, RecoveryPromptHoldsTheGateAndEscapeLeavesIt)
{
    gRecoverPrompt = true;
    EXPECT_FALSE(InputGateOpen(*ui));
    EscapeChain(*ui);
    EXPECT_FALSE(ui->escConsumed);
    EXPECT_TRUE(gRecoverPrompt);
    gRecoverPrompt = false;
    EXPECT_TRUE(InputGateOpen(*ui));
}

TEST_F(FrameTest, ModalWindowsCoverTheScreenAndTheConsoleItsRectangle)
{
    ui->screenW = 1440;
    ui->screenH = 900;
    Rectangle console = ConsoleWindowRect(1440, 900, ui->statusBarH);
    ui->mouse = Vector2{ console.x + 10.0f, console.y - 1.0f };
    gConsole.open = true;
    ui->showHelp = true;                          // Help and the console are no modal windows
    EXPECT_FALSE(AnyModalOpen(*ui));
    EXPECT_FALSE(PointerOverWindow(*ui));
    for (bool *flag : { &ui->showOpenDialog, &ui->showSaveDialog, &gRecoverPrompt, &ui->showProblems, &ui->mergePrompt,
                        &ui->showRenderOutput, &gProjects.managerOpen }) {
        *flag = true;
        EXPECT_TRUE(AnyModalOpen(*ui));
        EXPECT_TRUE(PointerOverWindow(*ui));
        *flag = false;
    }
    ui->mouse.y = console.y + 10.0f;
    gProjects.managerOpen = true;                 // drawn beneath the console
    EXPECT_TRUE(PointerOverConsole(*ui));
    gProjects.managerOpen = false;
    ui->showRenderOutput = true;                  // drawn over it
    EXPECT_FALSE(PointerOverConsole(*ui));
}

//----------------------------------------------------------------------------------
// The rest between frames: what keeps the editor drawing, how long it may wait, its clock
//----------------------------------------------------------------------------------
TEST_F(FrameTest, RestsOnlyWhenNothingMovesAndNoStatusWaits)
{
    ProjectWorkFolder work;
    auto map = std::make_unique<MapDoc>();
    BuildCubes(map.get(), 1);
    MakeTestMod("m", "mode = Still | still.asm\n", { { "still.asm", "HALT\n" } });
    ScanMods();
    StatusSet(*ui, "%s", "Ready.");
    const char *copied = "Ready.";
    EXPECT_TRUE(FrameMayRest(*ui, map.get(), copied));
    EXPECT_FALSE(FrameMayRest(*ui, map.get(), ""));          // the status line waits for its console copy

    ASSERT_EQ(ModToolSelect(*ui, 0, 0, true), 1);
    StatusSet(*ui, "%s", "Ready.");
    EXPECT_FALSE(FrameMayRest(*ui, map.get(), copied));      // a selected mode tool runs every frame
    gProjects.managerOpen = true;                 // but not while a window holds the tools
    EXPECT_TRUE(FrameMayRest(*ui, map.get(), copied));
    gProjects.managerOpen = false;
    ui->activeTool = TOOL_SELECT;                 // any other tool stops it
    EXPECT_TRUE(FrameMayRest(*ui, map.get(), copied));
    gMods.activeMod = gMods.activeTool = -1;

    ui->sideTab = TAB_MODEL;                      // the turntable turns only a model it can draw
    ASSERT_TRUE(gBrowser.spin);
    ui->curModel = -1;
    EXPECT_TRUE(FrameMayRest(*ui, map.get(), copied));

    ui->showRenderOutput = true;                  // an open Render view owes the image of a moved brush
    map->brushes[0].origin.x += 123.25f;
    EXPECT_FALSE(FrameMayRest(*ui, map.get(), copied));
    ui->showRenderOutput = false;
}

TEST_F(FrameTest, RestEndsWhenTheAutosaveIsDue)
{
    ProjectWorkFolder work;
    EXPECT_EQ(AutoSaveSecondsLeft(), -1.0f);         // no project: no timer runs, the rest is unbounded
    OpenTestProject("Rest");
    EXPECT_EQ(AutoSaveSecondsLeft(), kAutoSaveInterval);
    for (int i = 0; i < 100 * 64; i++) RunAutoSave(&activeMap, 1.0f / 64.0f, ui->statusText, kStatusLen);
    EXPECT_EQ(AutoSaveSecondsLeft(), kAutoSaveInterval - 100.0f);

    // The frame after a rest of the whole timeout counts the rest, so the attempt comes then.
    int saves = gAutoSave.saveCount;
    gMapDirty = true;
    RunAutoSave(&activeMap, AutoSaveSecondsLeft(), ui->statusText, kStatusLen);
    EXPECT_EQ(gAutoSave.saveCount, saves + 1);
    EXPECT_EQ(AutoSaveSecondsLeft(), kAutoSaveInterval);
    gAutoSave.timer = kAutoSaveInterval + 5.0f;   // overdue: no wait at all
    EXPECT_EQ(AutoSaveSecondsLeft(), 0.0f);
    gRecoverPrompt = true;                        // the timer stands still behind the prompt
    EXPECT_EQ(AutoSaveSecondsLeft(), -1.0f);
}

TEST(FrameClockTest, TheRestCountsForTheAutosaveButMovesNothing)
{
    FrameClock clock = { -1.0, 0.0, 0.0f, 0.0f };
    FrameClockTick(&clock, 5.0);                  // the first frame has no time before it
    EXPECT_EQ(clock.frameSeconds, 0.0f);
    EXPECT_EQ(clock.motionSeconds, 0.0f);
    FrameClockTick(&clock, 5.25);
    EXPECT_EQ(clock.frameSeconds, 0.25f);
    EXPECT_EQ(clock.motionSeconds, 0.25f);
    clock.restSeconds += 30.0;                    // a rest after that frame
    FrameClockTick(&clock, 35.5);
    EXPECT_EQ(clock.frameSeconds, 30.25f);
    EXPECT_EQ(clock.motionSeconds, 0.25f);
    FrameClockTick(&clock, 35.75);                // each rest is taken out once
    EXPECT_EQ(clock.motionSeconds, 0.25f);
}
