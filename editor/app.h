// app.h: start-up, the frame's own phases and shutdown of the editor application.
//
// main() calls these in the order of the frame; each tool, panel and window has its own file.
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
// Points gEd at the script-visible fields of ui and marks it valid.
void EditorContextFill(EditorContext *ctx, UiState &ui);
// The map every run begins with: the ground brush and the sun. Selects the ground.
void DefaultMap(MapDoc *map, UiState &ui);
// Every asset scan (start-up, project switch, a rescan): the renderer lets go of the library
// texture it borrowed, then the library is emptied and loaded anew.
void RescanAssets(void);

// Phase 1: window size, whether something holds the keyboard, escConsumed cleared, the frame
// clock advanced.
void FrameReadWindow(UiState &ui);
// Whether this frame's uiBlocksInput holds: a text box or file dialog has the keyboard.
bool UiBlocksInput(const UiState &ui);
// Phase 2: closes the top-most window that Escape may close.
void EscapeChain(UiState &ui);
// Phase 3: Control and Shift for the rest of the frame.
void FrameReadModifiers(UiState &ui);
// Whether the shortcuts and most tools take input this frame.
bool InputGateOpen(const UiState &ui);
// Whether a modal window is open: map file dialog, recovery prompt, problem report, merge prompt,
// Render window or project manager. While one is open the top bar opens no other.
bool AnyModalOpen(const UiState &ui);
// Whether the pointer is over the open console window and no modal window drawn over it is open.
bool PointerOverConsole(const UiState &ui);
// Whether the pointer is over an open window this frame: any modal window covers the screen, the
// console and Help their rectangles. What lies beneath (views, fly camera, top bar, panels) leaves
// the wheel to the window.
bool PointerOverWindow(const UiState &ui);
// Overwrites the status line whole with the formatted text, cut to its size.
void StatusSet(UiState &ui, const char *fmt, ...);
// Whether a tool may take this frame's left press: pressed, and not over an open window (the
// press belongs to the window drawn over the views).
bool ToolLeftPress(const UiState &ui);
// Phase 7: leaving the Vertex tool lets go of its active solids.
void ToolChangePhase(UiState &ui);
// Phase 23: a changed, non-empty status line becomes one Editor line of the console.
void StatusToConsole(const char *statusText, char *lastStatus, int lastStatusSize);

// The frame clock: the time between the starts of two frames, and the part of it that was not a
// rest (what anything that moves on its own integrates, so that it never jumps after a rest).
struct FrameClock {
    double lastTick;       // GetTime() at the last tick; -1 before the first
    double restSeconds;    // rest since the last tick
    float frameSeconds;    // last tick to this one, rest included (the autosave counts it)
    float motionSeconds;   // the same without the rest
};
extern FrameClock gFrameClock;

// Advances the clock to now (seconds); the first tick gives 0 for both times.
void FrameClockTick(FrameClock *clock, double now);
// Whether the editor may stop drawing until the next event: nothing animates (a running mode
// tool, the turning model preview), no key or mouse button is held, no status line is waiting
// for its copy into the console (lastStatus is the copied one) and the Render view owes no image.
bool FrameMayRest(const UiState &ui, const MapDoc *map, const char *lastStatus);
// After EndDrawing: rests until the next event or timer when input has been still for a few
// frames and FrameMayRest holds; otherwise returns at once.
void FrameRest(const UiState &ui, const MapDoc *map, const char *lastStatus);
