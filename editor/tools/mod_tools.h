// mod_tools.h: the editor's side of the mods: the MODS list of the left panel, the per-frame run
// of the selected mode tool and the one-shot runs. The Mods tab is editor/panels/mods_tab.cpp.
#pragma once

#include "document/map_records.h"
#include "editor/ui_state.h"

// Phase 8: forgets the mode tool when another tool was chosen; runs the selected one once.
void ModToolPhase(MapDoc *map, UiState &ui);
// Phase 25: the MODS label and one button (one-shot) or toggle (mode) per tool, from y down;
// returns the y below them.
float DrawModsList(MapDoc *map, UiState &ui, float y);
// Selects (on) or deselects a mode tool as the editor's tool 6; writes the status line. 1/0.
int ModToolSelect(UiState &ui, int mod, int tool, bool on);
// Runs a one-shot tool with one undo snapshot and writes the status line; 1/0.
int ModToolRunOnce(MapDoc *map, UiState &ui, int mod, int tool);
