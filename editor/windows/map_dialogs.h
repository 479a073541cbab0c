// map_dialogs.h: the map file dialog (Open and Save modes), the top bar's file actions, the
// project switch and the recovery prompt.
//
// The windows are drawn in the screen pass and act at once; the actions are separate functions so
// that every outcome can be reached without a window.
#pragma once

#include "document/map_records.h"
#include "editor/ui_state.h"

// The actions that make unsaved work leave memory; a refusal holds for the same one asked again.
enum RescueAction { RESCUE_CLOSE, RESCUE_SWITCH, RESCUE_RECOVER };

// After the project manager opened a project: the opened project's newest map is read, then
// unsaved work goes into a file (the project left behind's autosave, else a new unsaved map in
// its maps folder or the working folder, else one in the opened project's maps folder), then
// fresh assets, selection, numeric fields, autosave timer and recovery test, and the newest map
// (or an empty one) with a fresh undo history, clean. When no file can take the work the switch
// is undone once, changing nothing on disk, and the status line says why; asked again, it goes
// ahead.
void ProjectSwitch(MapDoc *map, UiState &ui);

// The top bar's Open (isSave 0) and Save As (isSave 1): the project's maps listed, the dialog shown.
void OpenMapFileDialog(UiState &ui, int isSave);
// Closes the dialog and releases its File box.
void CloseMapFileDialog(UiState &ui);
// Cancel and Escape: the file name back to what it was when the dialog opened, then closed.
void CancelMapFileDialog(UiState &ui);
// Phase 31: the dialog, while showOpenDialog or showSaveDialog is set.
void MapFileDialog(MapDoc *map, UiState &ui);
// The dialog's action button: saves or opens mapFileName in the mode of this frame (dlgIsSave),
// then closes the dialog whatever the outcome; returns 1 on success. A save clears the dirty flag;
// a failed Open puts the file name back.
int MapDialogAction(MapDoc *map, UiState &ui);
// The top bar's Save: without a project the project manager opens; else the map is written under
// mapFileName into the project's maps folder and the dirty flag cleared. A Save over a file that
// this editor has not read or written as it is now (another's, or its own after another writer
// changed it) is refused once; the next Save replaces it. Returns 1 when the map was written.
int SaveMapToProject(const MapDoc *map, UiState &ui);
// A close request (the window's, or a signal's): 1 when the program may end, once unsaved work
// is in a file (the open project's autosave, else a new unsaved map in its maps folder or the
// working folder), which the status line and the log name. When no file can take it, the first
// request is refused (0) with the reason; the next one, over the same work, ends the program.
int CloseRequestGranted(const MapDoc *map, UiState &ui);
// When the process ends before the frame loop does (a lost display connection): the live map's
// unsaved work into a file by the close's rule, the outcome to the log only. Touches neither the
// window nor the GL.
void KeepUnsavedWorkAtExit(void);

// Phase 34: the recovery prompt, while gRecoverPrompt is set.
void RecoverDialog(MapDoc *map, UiState &ui);
// Recover: loads the offered autosave with a fresh undo history, once the unsaved work it replaces
// is in a new unsaved map (never the autosave on offer). The map stays as it was when the
// autosave cannot be read, and the prompt too when no file can take the work (once: Recover
// again goes ahead). Returns 1 when the autosave was loaded.
int RecoverAutoSave(MapDoc *map, UiState &ui);
// Ignore: closes the prompt; the autosave stays where it is.
void IgnoreAutoSave(void);
