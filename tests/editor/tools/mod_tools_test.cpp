// The editor's runs of mod tools: a failed frame's selection, an exit beside an error, the dirty
// flag and undo steps of mode and one-shot tools; the Mods tab's list and its wrapped errors.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "document/undo.h"
#include "editor/startup.h"
#include "editor/gui.h"
#include "editor/layout.h"
#include "editor/panels/right_panel.h"
#include "editor/tools/mod_tools.h"
#include "script/mods.h"
#include "support/editor_state.h"
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

// Makes raygui measure every printable glyph 10 pixels wide; the font is never drawn.
static void UseFixedWidthGuiFont(void)
{
    GuiSetFont(FixedWidthTestFont(20));
    GuiSetStyle(DEFAULT, TEXT_SPACING, 0);
}

// A registry of one package whose tools all failed to assemble with the given error.
static void FailedToolsRegistry(int tools, const char *error)
{
    memset(&gMods, 0, sizeof(gMods));
    gMods.activeMod = gMods.activeTool = -1;
    gMods.count = tools > 0 ? 1 : 0;
    gMods.mods[0].toolCount = tools;
    for (int t = 0; t < tools; t++) snprintf(gMods.mods[0].tools[t].prog.error, sizeof(VmProgram::error), "%s", error);
}

TEST(ModsTab, AToolsErrorIsWrappedWholeIntoTheListAndNoRowReachesLastRun)
{
    UseFixedWidthGuiFont();   // an error row 441 wide holds 43 glyphs
    auto ui = std::make_unique<UiState>();
    UiStateStartValues(*ui, 0, 0);
    ui->screenW = 1440;
    const char *error = "line 3: unknown instruction 'FROB'; a line holds one instruction such as PUSH, POP, "
                        "CALL or JMP followed by its operand";
    FailedToolsRegistry(kMaxModTools, error);
    ModsListLayout layout;
    // At any window height a tool shows with every row of its error or the list ends before it, and
    // every row starts half a row or more above the Last Run heading.
    for (float h = 640.0f; h <= 1100.0f; h += 1.5f) {
        LayoutCompute(*ui, 1440, (int)h);
        PanelPlace place = RightPanelPlace(*ui, 0.0f);
        ModsListLayoutBuild(&layout, place);
        for (int i = 0; i < layout.count; i++) EXPECT_LE(layout.rows[i].rect.y, ModsLastRunHeading(place).y - 18.0f);
        for (int i = 1, tool = 0; i < layout.count; tool++) {
            ASSERT_EQ(layout.rows[i].kind, MODS_ROW_TOOL);
            EXPECT_EQ(layout.rows[i].tool, tool);
            int end = 0;
            for (i++; i < layout.count && layout.rows[i].kind == MODS_ROW_ERROR; i++) {
                const ModsListRow &row = layout.rows[i];
                EXPECT_EQ(std::string(error + end, (size_t)(row.start - end)).find_first_not_of(' '), std::string::npos);
                EXPECT_LE(10.0f * (float)row.length, row.rect.width);
                end = row.start + row.length;
            }
            EXPECT_EQ(end, (int)strlen(error)) << h;   // three rows, the whole message
        }
    }
    EXPECT_EQ(layout.count, 1 + 3 * 4);   // at 1100 high: the package and three tools
    FailedToolsRegistry(0, "");
}
