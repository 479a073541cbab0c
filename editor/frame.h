// frame.h: one frame of the editor in fixed phases, the frame's own phases, and the rest between
// frames.
//
// main() calls FrameRun and FrameRest once per frame; each tool, panel and window has its own file.
#pragma once

#include "document/map_records.h"
#include "editor/ui_state.h"

// When FrameRun reached each group of its phases (GetTime() seconds), for a benchmark's sums.
enum FrameMark {
    FRAME_MARK_START,        // input, shortcuts, layout, tools and cameras follow
    FRAME_MARK_CAMERAS,      // the views' render pass follows
    FRAME_MARK_VIEWS,        // the Render view's pass follows
    FRAME_MARK_RENDER_VIEW,  // autosave, lights, meshes and the status line follow
    FRAME_MARK_GATHER,       // the screen pass follows
    FRAME_MARK_SCREEN,       // EndDrawing follows
    FRAME_MARK_END,
    kFrameMarkCount
};
struct FrameMarks {
    double at[kFrameMarkCount];
};

// One frame, phases 1 to 38, from reading the window to EndDrawing. lastStatus is the status line
// last copied into the console; marks, when given, receives when each group of phases began.
void FrameRun(MapDoc *map, UiState &ui, char *lastStatus, FrameMarks *marks = nullptr);
// Phase 1: window size, whether something holds the keyboard, escConsumed cleared, the frame
// clock advanced.
void FrameReadWindow(UiState &ui);
// Phase 2: closes the open window that comes first in Escape's order.
void EscapeChain(UiState &ui);
// Phases 29 and 31 to 37: the open windows in draw order, those beneath the status bar or those
// over it.
void DrawWindows(MapDoc *map, UiState &ui, bool underStatusBar);
// Phase 3: Control and Shift for the rest of the frame.
void FrameReadModifiers(UiState &ui);
// Phase 7: leaving the Vertex tool lets go of its active solids.
void ToolChangePhase(UiState &ui);
// Phase 20: the autosave's timer; a write's outcome becomes the status line.
void AutoSavePhase(const MapDoc *map, UiState &ui);
// Phase 23: a changed, non-empty status line becomes one Editor line of the console.
void StatusToConsole(const char *statusText, char *lastStatus, int lastStatusSize);

// Whether the editor may stop drawing until the next event: nothing animates (a running mode
// tool, the turning model preview), no key or mouse button is held, no status line is waiting
// for its copy into the console (lastStatus is the copied one) and the Render view owes no image.
bool FrameMayRest(const UiState &ui, const MapDoc *map, const char *lastStatus);
// After EndDrawing: rests until the next event, timer or close signal when input has been still
// for a few frames and FrameMayRest holds; otherwise returns at once.
void FrameRest(const UiState &ui, const MapDoc *map, const char *lastStatus);
// Before each frame: takes the window's close request and a SIGTERM or SIGHUP alike
// (CloseRequestGranted); true when the program ends now.
bool FrameTakeCloseRequest(const MapDoc *map, UiState &ui);
