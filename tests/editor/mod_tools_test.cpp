// The editor's runs of mod tools: a failed frame's selection, an exit beside an error, the dirty
// flag and undo steps of mode and one-shot tools; the Mods tab's list and its wrapped errors.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "document/undo.h"
#include "editor/app.h"
#include "editor/layout.h"
#include "editor/mod_tools.h"
#include "script/mods.h"
#include "support/gui_font.h"
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

// A registry of one package whose tools all failed to assemble with the given error.
static void FailedToolsRegistry(int tools, const char *error)
{
    memset(&gMods, 0, sizeof(gMods));
    gMods.activeMod = gMods.activeTool = -1;
    gMods.count = 1;
    ModPackage &package = gMods.mods[0];
    snprintf(package.name, sizeof(package.name), "%s", "Broken");
    package.valid = true;
    package.toolCount = tools;
    for (int t = 0; t < tools; t++) {
        snprintf(package.tools[t].name, sizeof(package.tools[t].name), "Tool%d", t);
        snprintf(package.tools[t].prog.error, sizeof(package.tools[t].prog.error), "%s", error);
    }
}

// Checks that the error rows from row i on hold the tool's whole error, wrapped to fit; returns
// the index after them.
static int ExpectWholeError(const ModsListLayout &layout, int i, const char *error)
{
    int end = 0, rows = 0;
    for (; i < layout.count && layout.rows[i].kind == MODS_ROW_ERROR; i++, rows++) {
        const ModsListRow &row = layout.rows[i];
        for (int k = end; k < row.start; k++) EXPECT_EQ(error[k], ' ');   // only blanks skipped at a wrap
        EXPECT_LE(10.0f * (float)row.length, row.rect.width);            // 10 pixels a glyph
        end = row.start + row.length;
    }
    EXPECT_GT(rows, 0);
    EXPECT_EQ(end, (int)strlen(error));
    return i;
}

TEST(ModsTab, ALongErrorIsWrappedWholeIntoTheListAndNoRowReachesLastRun)
{
    UseFixedWidthGuiFont(10);
    auto ui = std::make_unique<UiState>();
    UiStateStartValues(*ui, 0, 0);
    ui->screenW = 1440;
    const char *error = "line 3: unknown instruction 'FROB'; a line holds one instruction such as PUSH, POP, "
                        "CALL or JMP followed by its operand";
    FailedToolsRegistry(1, error);
    LayoutCompute(*ui, 1440, 900);
    ModsListLayout layout;
    ModsListLayoutBuild(&layout, RightPanelPlace(*ui, 0.0f));
    ASSERT_EQ(layout.count, 5);   // package, tool, three rows of 43 glyphs or fewer for its error
    EXPECT_EQ(layout.rows[1].kind, MODS_ROW_TOOL);
    EXPECT_EQ(ExpectWholeError(layout, 2, error), 5);
    EXPECT_EQ(layout.rows[4].rect.y - layout.rows[1].rect.y, 3 * 36.0f);

    // Whatever the window's height, a tool shows with its whole error or the list stops before it,
    // and every row starts half a row or more above the Last Run heading.
    FailedToolsRegistry(kMaxModTools, error);
    for (float h = 640.0f; h <= 1100.0f; h += 1.5f) {
        LayoutCompute(*ui, 1440, (int)h);
        PanelPlace place = RightPanelPlace(*ui, 0.0f);
        ModsListLayoutBuild(&layout, place);
        Rectangle heading = ModsLastRunHeading(place);
        for (int i = 0; i < layout.count; i++) EXPECT_LE(layout.rows[i].rect.y, heading.y - 18.0f) << h;
        for (int i = 1, tool = 0; i < layout.count; tool++) {
            ASSERT_EQ(layout.rows[i].kind, MODS_ROW_TOOL) << h;
            EXPECT_EQ(layout.rows[i].tool, tool);
            i = ExpectWholeError(layout, i + 1, error);
        }
    }
    memset(&gMods, 0, sizeof(gMods));
    gMods.activeMod = gMods.activeTool = -1;
}
