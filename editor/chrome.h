// chrome.h: the fixed frame around the views: top bar, tool strip, left panel, status bar.
#pragma once

#include "editor/ui_state.h"

// The top bar's buttons, left to right.
enum TopBarButton : int {
    TOPBAR_NEW = 0, TOPBAR_OPEN, TOPBAR_SAVE, TOPBAR_SAVE_AS, TOPBAR_RENDER, TOPBAR_PROJECTS, TOPBAR_CONSOLE, TOPBAR_HELP,
};

// Largest scroll of the top bar for its content width and the window width; 0 when it fits.
float TopBarMaxScroll(float contentWidth, float screenW);
// Phase 24: background, top bar, tool strip, and the left panel up to where mods are listed;
// returns the y below the left panel's content so far (inside its scrolled region).
float DrawChromeTop(UiState &ui);
// Phase 24's end: closes the left panel's scrolled region below contentBottom.
void EndLeftPanel(UiState &ui, float contentBottom);
// Phase 30: the tooltip, then the status bar.
void DrawChromeBottom(UiState &ui);
// Whether a top-bar button opens a modal window: Open, Save As, Render, Projects, and Save while no
// project is open (it opens the project manager).
bool TopBarOpensModal(int button);
// A click on a top-bar button. While a modal window is open a button that would open another does
// nothing and returns 0; else the button acts and 1 is returned.
int TopBarPress(MapDoc *map, UiState &ui, int button);
// ADD LIGHT button 0 (Point), 1 (Spot) or 2 (Sun): a light at the 3D view's focus, aimed where the
// camera looks, selected; returns 0 with "Object limit reached." when the map holds no more entities.
int AddLight(MapDoc *map, UiState &ui, int button);
// New: an undo snapshot, then an empty map with nothing selected, named "untitled.zizudu".
void NewMap(MapDoc *map, UiState &ui);
