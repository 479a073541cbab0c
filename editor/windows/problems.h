// problems.h: the problem report: the counts of the last map check and the one repair,
// Auto-Fix All (weld near-duplicate vertices, fix face winding).
#pragma once

#include "document/map_records.h"
#include "editor/ui_state.h"

constexpr float kAutoFixWeld = 0.006f;   // four times the distance the check calls coincident

// Phase 35: the window with its counts and its Auto-Fix All and Close buttons.
void ProblemReportDialog(MapDoc *map, UiState &ui);
// Welds and fixes the winding of every brush whose repaired form stays a closed brush (others are
// left as they were), with one undo snapshot when anything changed; checks the map again and
// writes what changed to the status line. Returns the number of brushes changed.
int AutoFixAll(MapDoc *map, UiState &ui);
