// map_dialogs.h: the map file dialog (Open and Save modes), the top bar's file actions, the
// project switch and the recovery prompt.
//
// The windows are drawn in the screen pass and act at once; the actions are separate functions so
// that every outcome can be reached without a window.
#pragma once

#include "document/map_records.h"
#include "editor/ui_state.h"

// After the project manager opened a project: fresh assets, selection, numeric fields, autosave
// timer and recovery test, then the project's newest map. When another project was open before,
// the new map (or an empty one) starts a fresh undo history; when none was, the map built so far
// stays one Undo away from the loaded one, or, with no map to load, is kept with its history and
// dirty flag. A loaded or emptied map starts clean: an untouched project is never autosaved.
void ProjectSwitch(MapDoc *map, UiState &ui);

// The top bar's Open (isSave 0) and Save As (isSave 1): the project's maps listed, the dialog shown.
void OpenMapFileDialog(UiState &ui, int isSave);
// Closes the dialog and releases its File box.
void CloseMapFileDialog(UiState &ui);
// Phase 31: the dialog, while showOpenDialog or showSaveDialog is set.
void MapFileDialog(MapDoc *map, UiState &ui);
// The dialog's action button: saves or opens mapFileName in the mode of this frame (dlgIsSave),
// then closes the dialog whatever the outcome; returns 1 on success.
int MapDialogAction(MapDoc *map, UiState &ui);
// The top bar's Save: without a project the project manager opens; else the map is written under
// mapFileName into the project's maps folder. Returns 1 when the map was written.
int SaveMapToProject(const MapDoc *map, UiState &ui);

// Phase 34: the recovery prompt, while gRecoverPrompt is set.
void RecoverDialog(MapDoc *map, UiState &ui);
// Recover: loads the offered autosave with a fresh undo history; the map stays as it was when the
// autosave cannot be read. Closes the prompt; returns 1 on success.
int RecoverAutoSave(MapDoc *map, UiState &ui);
// Ignore: closes the prompt; the autosave stays where it is.
void IgnoreAutoSave(void);
