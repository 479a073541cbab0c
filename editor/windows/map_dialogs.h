// map_dialogs.h: the map file dialog (Open and Save modes), the top bar's file actions, the
// project switch and the recovery prompt.
//
// The windows are drawn in the screen pass and act at once; the actions are separate functions so
// that every outcome can be reached without a window.
#pragma once

#include "document/map_records.h"
#include "editor/ui_state.h"

// After the project manager opened a project: unsaved work of the project left behind written to
// its autosave, then fresh assets, selection, numeric fields, autosave timer and recovery test,
// then the project's newest map (or an empty one) with a fresh undo history, clean. Work built
// before any project was open becomes this project's autosave and is offered at once; with no map
// to load, or when it cannot be written, it stays open with its history and flag instead. Work the
// project left behind cannot take becomes the opened project's autosave, offered at once; when
// that project's own autosave is on offer or the write fails, the switch is undone: the previous
// project, the map and its history stay, and the status line says why. A write that failed is the
// status line.
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
// mapFileName into the project's maps folder and the dirty flag cleared. A Save over the map's own
// file after another writer changed it is refused once; the next Save overwrites it. Returns 1 when
// the map was written.
int SaveMapToProject(const MapDoc *map, UiState &ui);
// When the window is about to close: unsaved changes go to the open project's autosave, for the
// recovery prompt of its next open, except over an autosave still on offer. Returns 1 when
// nothing was left unwritten; else the status line and the log say why.
int KeepUnsavedWorkOnClose(const MapDoc *map, UiState &ui);
// A close request (the window's, or a signal's): 1 when the program may end. When
// KeepUnsavedWorkOnClose leaves work unwritten, the first request is refused (0) and the status
// line says why and that a second close discards the changes; the next request ends the program.
int CloseRequestGranted(const MapDoc *map, UiState &ui);
// When the process ends before the frame loop does (a lost display connection): the live map's
// unsaved changes to the open project's autosave by the close's rule, the outcome to the log only.
// Touches neither the window nor the GL.
void KeepUnsavedWorkAtExit(void);

// Phase 34: the recovery prompt, while gRecoverPrompt is set.
void RecoverDialog(MapDoc *map, UiState &ui);
// Recover: loads the offered autosave with a fresh undo history; the map stays as it was when the
// autosave cannot be read. Closes the prompt; returns 1 on success.
int RecoverAutoSave(MapDoc *map, UiState &ui);
// Ignore: closes the prompt; the autosave stays where it is.
void IgnoreAutoSave(void);
