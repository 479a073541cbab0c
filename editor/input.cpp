// input.cpp: the input gate, the windows over the pointer, the status line and the frame clock.
#include "editor/input.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "editor/widgets.h"
#include "editor/windows/window_table.h"
#include "project/projects.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
FrameClock gFrameClock = { -1.0, 0.0, 0.0f, 0.0f };

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static bool AnyOpen(const UiState &ui, bool WindowFacts::*fact);
static bool PointerOverRow(const UiState &ui, int row);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
bool UiBlocksInput(const UiState &ui)
{
    return ui.fileBoxEdit || ui.showSaveDialog || ui.showOpenDialog || ui.nameBoxEdit || ui.classBoxEdit ||
           gProjects.nameEditing || AnyNumFieldEditing() || ui.vtxCentreEdit[0] || ui.vtxCentreEdit[1] || ui.vtxCentreEdit[2];
}

bool InputGateOpen(const UiState &ui)
{
    return !ui.uiBlocksInput && !AnyOpen(ui, &WindowFacts::closesGate);
}

bool AnyModalOpen(const UiState &ui)
{
    return AnyOpen(ui, &WindowFacts::modal);
}

bool WindowHoldsCamera(const UiState &ui)
{
    return ui.uiBlocksInput || AnyOpen(ui, &WindowFacts::holdsCamera);
}

bool PointerOverConsole(const UiState &ui)
{
    return PointerOverRow(ui, WIN_CONSOLE);
}

bool PointerOverWindow(const UiState &ui)
{
    // A modal window's veil covers the whole screen. The Render window has none, but it fills the
    // screen and a right click anywhere closes it, so it counts the same.
    if (AnyModalOpen(ui)) return true;
    for (int id = 0; id < kWindowCount; id++) {
        if (PointerOverRow(ui, id)) return true;
    }
    return false;
}

bool ToolLeftPress(const UiState &ui)
{
    return IsMouseButtonPressed(MOUSE_BUTTON_LEFT) && !PointerOverWindow(ui);
}

void StatusSet(UiState &ui, const char *fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    vsnprintf(ui.statusText, sizeof(ui.statusText), fmt, args);
    va_end(args);
}

void FrameClockTick(FrameClock *clock, double now)
{
    double since = clock->lastTick >= 0.0 ? fmax(0.0, now - clock->lastTick) : 0.0;
    clock->frameSeconds = (float)since;
    clock->motionSeconds = (float)fmax(0.0, since - clock->restSeconds);
    clock->restSeconds = 0.0;
    clock->lastTick = now;
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// Whether an open window has the given fact set.
static bool AnyOpen(const UiState &ui, bool WindowFacts::*fact)
{
    for (int id = 0; id < kWindowCount; id++) {
        if (kWindowFacts[id].*fact && WindowIsOpen(ui, id)) return true;
    }
    return false;
}

// Whether the pointer lies over a window that is not modal while it is open and no modal window
// drawn over it is open (modal windows are answered for the whole screen before).
static bool PointerOverRow(const UiState &ui, int row)
{
    if (kWindowFacts[row].modal || !WindowIsOpen(ui, row)) return false;
    if (!CheckCollisionPointRec(ui.mouse, WindowPointerRect(ui, row))) return false;
    for (int id = row + 1; id < kWindowCount; id++) {
        if (kWindowFacts[id].modal && WindowIsOpen(ui, id)) return false;
    }
    return true;
}
