// main.cpp: the editor's spine: start-up, one frame loop in fixed phases, shutdown.
//
// The frame's phases are FrameRun's (frame.cpp); each phase's work lives in the file of its tool,
// panel or window.
#include <cstdio>

#include "editor/startup.h"
#include "editor/frame.h"
#include "editor/windows/map_dialogs.h"
#include "platform/platform.h"

static char lastStatus[kStatusLen];

int main(void)
{
    static UiState ui;   // lives as long as main, so gEd's pointers stay valid
    PlatformCatchCloseSignals();   // a logout's signal or Ctrl+C in the console is a close request like the window's
    if (!AppStartUp(ui)) {
        fprintf(stderr, "kirto: could not open a window. Is a display available (DISPLAY)?\n");
        return 1;
    }

    // Xlib ends the process from inside the loop when the display is lost; the work goes first.
    PlatformSetExitRescue(KeepUnsavedWorkAtExit);
    // A close request writes unsaved work into a file first; one that nothing can take is refused once.
    while (!FrameTakeCloseRequest(&activeMap, ui)) {
        FrameRun(&activeMap, ui, lastStatus);
        FrameRest(ui, &activeMap, lastStatus);   // waits for the next event while nothing moves
    }
    PlatformSetExitRescue(nullptr);   // the granted close request has kept the work already
    PlatformCloseTaken();             // a console close waiting for the work may end the process now

    AppShutDown(ui);
    return 0;
}
