// The editor's runs of mod tools: a failed frame's selection, an exit beside an error, the dirty
// flag and undo steps of mode and one-shot tools.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "document/undo.h"
#include "editor/app.h"
#include "editor/mod_tools.h"
#include "script/mods.h"
#include "support/project_folder.h"

TEST(ModToolRuns, FailedFramesExitsAndEdits)
{
    ProjectWorkFolder work;
    MakeTestMod("m", "tool = Wipe | wipe.asm\nmode = WipeFail | wipefail.asm\nmode = Nudge | nudge.asm\n",
            { { "wipe.asm", "CALL map.clearbrushes\nPOP\n" },
              { "wipefail.asm", "CALL map.clearbrushes\nPOP\nCALL mod.exit\nPOP\nPUSH 1\nPUSH 0\nDIV\n" },
              { "nudge.asm", "PUSH 0\nPUSH 5\nPUSH 0\nPUSH 0\nCALL brush.setpos\nPOP\n" } });
    ScanMods();
    ASSERT_EQ(gMods.count, 1);
    auto ui = std::make_unique<UiState>();
    auto map = std::make_unique<MapDoc>();
    memset(map.get(), 0, sizeof(MapDoc));
    UiStateStartValues(*ui, 0, 0);
    BuildCubes(map.get(), 3);

    // A frame that cleared the brushes and then failed: the selection is dropped all the same,
    // and its error stays in the status line although the script also asked to exit.
    ui->selBrush = 2;
    ASSERT_EQ(ModToolSelect(*ui, 0, 1, true), 1);
    ModToolPhase(map.get(), *ui);
    EXPECT_EQ(map->brushCount, 0);
    EXPECT_EQ(ui->selBrush, -1);
    EXPECT_EQ(ui->activeTool, TOOL_SELECT);
    EXPECT_NE(strstr(ui->statusText, "divide by zero"), nullptr);
    EXPECT_STREQ(gMods.lastOutput, "");

    // A mode tool's edit marks the map dirty and takes no undo step; a one-shot run takes one.
    BuildCubes(map.get(), 1);
    ClearMapDirty();
    int snapshots = gUndo.count;
    ASSERT_EQ(ModToolSelect(*ui, 0, 2, true), 1);
    ModToolPhase(map.get(), *ui);
    EXPECT_EQ(map->brushes[0].origin.x, 5.0f);
    EXPECT_TRUE(gMapDirty);
    EXPECT_EQ(gUndo.count, snapshots);
    EXPECT_EQ(gMods.mods[0].tools[2].frame, 1);
    ui->activeTool = TOOL_SELECT;   // any other tool deselects it
    ModToolPhase(map.get(), *ui);
    EXPECT_EQ(gMods.activeMod, -1);

    ui->selBrush = 0;
    EXPECT_EQ(ModToolRunOnce(map.get(), *ui, 0, 0), 1);
    EXPECT_EQ(gUndo.count, snapshots + 1);
    EXPECT_EQ(ui->selBrush, -1);
}
