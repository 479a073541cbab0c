// merge_prompt.h: the Merge Vertices prompt, opened when a drop lands vertices on others.
//
// It lists nothing itself: the Vertex tool's release fills the entries (brush, dropped vertex,
// vertex it landed on). Merge welds exactly those pairs, relying on the snapshot the drag took.
#pragma once

#include "document/map_records.h"
#include "editor/ui_state.h"

// Phase 36: draws the prompt and takes its buttons and keys (Merge: Enter or Y; Keep Separate: N).
void DrawMergePrompt(MapDoc *map, UiState &ui);
// Welds every entry that still names a vertex pair of a valid brush, closes the prompt; returns
// the number of vertices removed.
int MergePromptMerge(MapDoc *map, UiState &ui);
// Closes the prompt and leaves the vertices where they were dropped.
void MergePromptKeep(UiState &ui);
// Escape: closes the prompt, leaves the vertices where they were dropped and says so.
void MergePromptCancel(UiState &ui);
// Closes the prompt without a word: the map it was about has gone.
void MergePromptClose(UiState &ui);
