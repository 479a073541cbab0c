// window_table.h: every window and dialog drawn over the editor, one row each.
//
// The rows answer every question the frame asks about windows: when one is open, whether it is
// modal, whether it closes the input gate or holds the camera, whether it lies beneath the status
// bar, its place in Escape's order, where it takes the pointer, what Escape does to it and how it
// is drawn. The rows stand in draw order: each window is drawn over the rows before it. A new
// window is one row here plus its own file. The input gate and the pointer queries read the open
// expressions, facts and rectangles (window_table.cpp); only the frame expands the Escape and
// draw columns, so nothing beneath the frame calls into a window.
#pragma once

#include "raylib.h"
#include "document/map_records.h"
#include "editor/ui_state.h"

// X(id, open when, modal, closes the gate, holds the camera, beneath the status bar,
//   Escape rank (1 first, 0 never), pointer rectangle (FULL_SCREEN for a modal window),
//   Escape's action, draw)
// The map file dialog holds the keyboard, which closes the gate and stops the camera through
// uiBlocksInput; the merge prompt and the problem report leave the camera free; Escape never
// closes the console or the recovery prompt.
#define KIRTO_WINDOWS(X)                                                                                    \
    X(PROJECT_MANAGER, gProjects.managerOpen, true, true, true, true, 1, FULL_SCREEN,                      \
      CloseProjectManager(), if (DrawProjectManager(ui)) ProjectSwitch(map, ui))                           \
    X(MAP_FILE_DIALOG, ui.showOpenDialog || ui.showSaveDialog, true, false, false, false, 6, FULL_SCREEN,  \
      CancelMapFileDialog(ui), MapFileDialog(map, ui))                                                     \
    X(HELP, ui.showHelp, false, false, false, false, 5, HelpWindowRect(ui.screenW, ui.screenH),            \
      ui.showHelp = false, HelpWindow(ui))                                                                 \
    X(CONSOLE, gConsole.open, false, false, false, false, 0,                                               \
      ConsoleWindowRect(ui.screenW, ui.screenH, ui.statusBarH), (void)0, DrawConsoleWindow(ui))            \
    X(RECOVER_PROMPT, gRecoverPrompt, true, true, true, false, 0, FULL_SCREEN, (void)0,                    \
      RecoverDialog(map, ui))                                                                              \
    X(PROBLEM_REPORT, ui.showProblems, true, true, false, false, 2, FULL_SCREEN, ui.showProblems = false,  \
      ProblemReportDialog(map, ui))                                                                        \
    X(MERGE_PROMPT, ui.mergePrompt, true, true, false, false, 3, FULL_SCREEN, MergePromptCancel(ui),       \
      DrawMergePrompt(map, ui))                                                                            \
    X(RENDER_WINDOW, ui.showRenderOutput, true, true, true, false, 4, FULL_SCREEN, RenderOutputClose(ui),  \
      RenderOutputWindow(ui))

enum WindowId : int {
#define KIRTO_WINDOW_ID(id, ...) WIN_##id,
    KIRTO_WINDOWS(KIRTO_WINDOW_ID)
#undef KIRTO_WINDOW_ID
    kWindowCount
};

// What a window's row says besides its expressions.
struct WindowFacts {
    const char *name;
    bool modal;             // takes the whole screen; the top bar opens no other window meanwhile
    bool closesGate;        // shortcuts and most tools take no input while it is open
    bool holdsCamera;       // the fly camera stays still while it is open
    bool underStatusBar;    // drawn before the status bar, which stays visible over it
    int escapeRank;         // 1 = Escape closes it first, 2 next, ...; 0 = Escape leaves it open
};
extern const WindowFacts kWindowFacts[kWindowCount];

// Whether the window is open.
bool WindowIsOpen(const UiState &ui, int id);
// Where the window takes the pointer; the whole screen for a modal window.
Rectangle WindowPointerRect(const UiState &ui, int id);
