// main.cpp: the editor's spine: start-up, one frame loop in fixed phases, shutdown.
//
// Phases 1 to 23 change the map and the state; nothing reaches the screen before phase 24.
// Each phase's work lives in the file of its tool, panel or window.
#include <cstdio>

#include "editor/app.h"
#include "editor/chrome.h"
#include "editor/console.h"
#include "editor/map_dialogs.h"
#include "editor/ui_state.h"
#include "editor/widgets.h"
#include "project/autosave.h"
#include "project/project_manager.h"

static char lastStatus[kStatusLen];

int main(void)
{
    static UiState ui;   // lives as long as main, so gEd's pointers stay valid
    if (!AppStartUp(ui)) {
        fprintf(stderr, "kirto: could not open a window. Is a display available (DISPLAY)?\n");
        return 1;
    }

    while (!WindowShouldClose()) {
        // Update: input, tools and cameras
        FrameReadWindow(ui);                                          // 1
        if (IsKeyPressed(KEY_ESCAPE)) EscapeChain(ui);                // 2
        FrameReadModifiers(ui);                                       // 3
        // 4 global shortcuts (behind the input gate)
        ui.mouse = GetMousePosition();                                // 5 (mouse; layout, targets, zoom to come)
        // 6 Vertex tool;  7 tool change bookkeeping;  8 mode tool of a mod
        // 9 Texture tool painting;  10 Clip tool;  11 click selection;  12 delete and transforms
        // 13 Texture tool by click;  14 Block tool;  15 Entity tool;  16 fly camera;  17 2D follow
        // 18 the four views into their targets;  19 the Render view
        RunAutoSave(&activeMap, GetFrameTime(), ui.statusText, kStatusLen);   // 20
        // 21 light gathering;  22 mesh cache
        ui.tooltipText = nullptr;                                     // 23
        StatusToConsole(ui.statusText, lastStatus, kStatusLen);

        // Screen pass: each window drawn over the ones before it
        BeginDrawing();                                               // 24
        NumFieldsBeginFrame();
        float leftPanelBottom = DrawChromeTop(ui);
        // 25 MODS list
        EndLeftPanel(ui, leftPanelBottom);
        // 26 view images;  27 right panel;  28 overlays
        if (DrawProjectManager(ui.screenW, ui.screenH, ui.statusText, kStatusLen))   // 29
            ProjectSwitch(&activeMap, ui);
        DrawChromeBottom(ui);                                         // 30
        if (ui.showOpenDialog || ui.showSaveDialog) MapFileDialog(&activeMap, ui);   // 31
        // 32 Help
        if (gConsole.open) DrawConsoleWindow(ui);                     // 33
        if (gRecoverPrompt) RecoverDialog(&activeMap, ui);            // 34
        // 35 problem report;  36 merge prompt;  37 Render output window
        NumFieldsEndFrame();
        EndDrawing();                                                 // 38
    }

    AppShutDown(ui);
    return 0;
}
