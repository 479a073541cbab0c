// mod_tools.h: the editor's side of the mods: the MODS list of the left panel, the per-frame run
// of the selected mode tool, and the Mods tab's body (declared with the other tabs in
// editor/panels/right_panel.h).
#pragma once

#include "document/map_records.h"
#include "editor/panels/right_panel.h"
#include "editor/ui_state.h"

// One row of the Mods tab's list: a package, a tool, one wrapped row of a tool's program error
// (its bytes start .. start + length), or a line of the hint shown when no mod is loaded (tool).
enum ModsRowKind : int32_t { MODS_ROW_PACKAGE = 0, MODS_ROW_TOOL = 1, MODS_ROW_ERROR = 2, MODS_ROW_HINT = 3 };
struct ModsListRow {
    int32_t kind, mod, tool;
    int32_t start, length;
    Rectangle rect;
};
constexpr int kModsListRowsMax = 128;
struct ModsListLayout {
    ModsListRow rows[kModsListRowsMax];
    int count;
    float bottom;                        // the y below the last row
};

// Phase 8: forgets the mode tool when another tool was chosen; runs the selected one once.
void ModToolPhase(MapDoc *map, UiState &ui);
// Phase 25: the MODS label and one button (one-shot) or toggle (mode) per tool, from y down;
// returns the y below them.
float DrawModsList(MapDoc *map, UiState &ui, float y);
// Selects (on) or deselects a mode tool as the editor's tool 6; writes the status line. 1/0.
int ModToolSelect(UiState &ui, int mod, int tool, bool on);
// Runs a one-shot tool with one undo snapshot and writes the status line; 1/0.
int ModToolRunOnce(MapDoc *map, UiState &ui, int mod, int tool);
// The Mods tab's list below Reload Mods, as the registry stands: rows are laid out while they start
// no lower than the list's end above the Last Run heading (measured without the scroll, so the tab
// never scrolls), and a tool comes with every row of its wrapped error or not at all, after which
// the list stops.
void ModsListLayoutBuild(ModsListLayout *layout, const PanelPlace &place);
// The Last Run heading's row, at a fixed place above the panel's bottom.
Rectangle ModsLastRunHeading(const PanelPlace &place);
// Where the Mods tab's content ends: the Last Run box where it lies unscrolled, or the list's end.
float ModsTabContentBottom(const PanelPlace &place);
