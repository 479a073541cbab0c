// input.h: what this frame's input may reach: the input gate, the open windows over the pointer,
// the left press a tool may take, the status line and the frame clock.
//
// Tools, panels, the layout and the windows ask here instead of the frame. Which windows are open,
// modal or holding the camera comes from the window table (editor/windows/window_table.h).
#pragma once

#include "raylib.h"
#include "editor/ui_state.h"

// Whether this frame's uiBlocksInput holds: a text box or file dialog has the keyboard.
bool UiBlocksInput(const UiState &ui);
// Whether the shortcuts and most tools take input this frame: nothing holds the keyboard and no
// window that closes the gate is open.
bool InputGateOpen(const UiState &ui);
// Whether a modal window is open: map file dialog, recovery prompt, problem report, merge prompt,
// Render window or project manager. While one is open the top bar opens no other.
bool AnyModalOpen(const UiState &ui);
// Whether an open window holds the camera: the fly camera stays still while one is open.
bool WindowHoldsCamera(const UiState &ui);
// Whether the pointer is over the open console window and no modal window drawn over it is open.
bool PointerOverConsole(const UiState &ui);
// Whether the pointer is over an open window this frame: any modal window covers the screen, the
// console and Help their rectangles. What lies beneath (views, fly camera, top bar, panels) leaves
// the wheel to the window.
bool PointerOverWindow(const UiState &ui);
// Whether a tool may take this frame's left press: pressed, and not over an open window (the
// press belongs to the window drawn over the views).
bool ToolLeftPress(const UiState &ui);
// Overwrites the status line whole with the formatted text, cut to its size.
void StatusSet(UiState &ui, const char *fmt, ...);

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
