// startup.h: start-up and shutdown of the editor application, the start values of its state and
// the one map document of the run.
#pragma once

#include "document/map_records.h"
#include "editor/ui_state.h"

// The one map document of the run.
extern MapDoc activeMap;

// Start-up, from the window flags to the status line; returns 0 when no window could be opened.
int AppStartUp(UiState &ui);
// Shutdown in order: targets, renderer, assets, audio, undo history, window.
void AppShutDown(UiState &ui);

// Start values of every UiState field that is not a resource (targets, font, cameras).
void UiStateStartValues(UiState &ui, int modelCount, int textureCount);
// The cameras, their heading, the panel scrolls and the 2D zoom as a run begins.
void CamerasStartValues(UiState &ui);
// Points ctx (gEd) at the script-visible fields of ui and marks it valid; points gScriptGlobals at
// the asset library's counts.
void EditorContextFill(EditorContext *ctx, UiState &ui);
// The map every run begins with: the ground brush and the sun. Selects the ground.
void DefaultMap(MapDoc *map, UiState &ui);
// Every asset scan (start-up, project switch, a rescan): the renderer lets go of the library
// texture it borrowed, then the library is emptied and loaded anew.
void RescanAssets(void);
