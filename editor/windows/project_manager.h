// project_manager.h: the modal window in which projects are created and one is opened.
//
// Its state lives in gProjects. The window draws itself only while managerOpen is set and tells
// its caller when a project was opened, so that the editor can switch to it.
#pragma once

#include "raylib.h"
#include "editor/ui_state.h"

// The window's rectangle for a screen of w by h pixels.
Rectangle ProjectManagerRect(int screenW, int screenH);
// Draws the window and acts on its controls; returns 1 in the frame in which a project was opened
// (the window has closed itself), else 0. Draws nothing while the window is closed.
int DrawProjectManager(UiState &ui);
// Closes the window and releases its name box, so the keyboard is never left with a hidden box.
void CloseProjectManager(void);
// Create: a project named by the name box; on success the box is emptied. Writes the outcome.
int ProjectManagerCreate(UiState &ui);
// Open Selected: opens the selected row; 0 with "Select a project first." when no valid row is
// selected.
int ProjectManagerOpenSelected(UiState &ui);
// Refresh: rescans the project folders and reports how many were found.
void ProjectManagerRefresh(UiState &ui);
// Rescans the project folders and opens the window (the top bar's Projects, Save without a project).
void OpenProjectManager(void);
