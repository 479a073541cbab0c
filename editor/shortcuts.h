// shortcuts.h: the keys that act whatever tool is active.
//
// Every row is tested once per frame in a fixed order, so several can act in one frame. Keys that
// act only inside a tool (transforms, Delete, Enter) belong to the tool.
#pragma once

#include "document/map_records.h"
#include "editor/ui_state.h"

constexpr float kMinGridStep = 0.0625f;
constexpr float kMaxGridStep = 16.0f;
constexpr float kPasteOffsetGrids = 4.0f;     // a paste lands this many grid steps away on X and Z
constexpr float kMinPasteOffset = 0.5f;

// Phase 4: the shortcut table, behind the input gate.
void ShortcutsPhase(MapDoc *map, UiState &ui);

// The grid step after [ (down) or ] (up), held within kMinGridStep..kMaxGridStep.
float GridStepAfter(float step, bool up);
// Copies the selected brush, else the selected entity, into its clipboard; 1, or 0 with nothing
// selected (the clipboards unchanged).
int CopySelection(const MapDoc *map, UiState &ui);
// Pastes the clipboard beside the copied object and selects the copy ("Pasted" or "Duplicated"
// in the status line); 1, or 0 with an empty clipboard or a full map (map unchanged, no snapshot).
int PasteClipboard(MapDoc *map, UiState &ui, bool duplicate);
// Centres the 3D camera's target (keeping its offset) on the selected brush, else entity; 1/0.
int CentreViewsOnSelection(const MapDoc *map, UiState &ui);
// Undo (redo when `redo`) of the map; when a state was restored the selection is dropped. 1/0.
int UndoStep(MapDoc *map, UiState &ui, bool redo);
// Subdivides the selected brush with one snapshot, or says why it could not; 1/0.
int SubdivideSelected(MapDoc *map, UiState &ui);
