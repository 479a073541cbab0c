// main.cpp: the editor's spine: start-up, one frame loop in fixed phases, shutdown.
//
// Phases 1 to 23 change the map and the state; nothing reaches the screen before phase 24.
// Each phase's work lives in the file of its tool, panel or window.
#include <cstdio>

#include "editor/app.h"
#include "editor/chrome.h"
#include "editor/console.h"
#include "editor/layout.h"
#include "editor/panels/right_panel.h"
#include "editor/shortcuts.h"
#include "editor/tools/block.h"
#include "editor/tools/clip_tool.h"
#include "editor/tools/entity_tool.h"
#include "editor/tools/mod_tools.h"
#include "editor/tools/select.h"
#include "editor/tools/texture_tool.h"
#include "editor/tools/vertex.h"
#include "editor/ui_state.h"
#include "editor/view_draw.h"
#include "editor/widgets.h"
#include "editor/windows/help.h"
#include "editor/windows/map_dialogs.h"
#include "editor/windows/merge_prompt.h"
#include "editor/windows/problems.h"
#include "editor/windows/project_manager.h"
#include "editor/windows/render_view.h"
#include "project/autosave.h"
#include "render/lights.h"
#include "render/mesh_cache.h"
#include "render/renderer.h"

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
        ShortcutsPhase(&activeMap, ui);                               // 4
        LayoutPhase(ui);                                              // 5
        VertexToolPhase(&activeMap, ui);                              // 6
        ToolChangePhase(ui);                                          // 7
        ModToolPhase(&activeMap, ui);                                 // 8
        TexturePaintPhase(&activeMap, ui);                            // 9
        ClipToolPhase(&activeMap, ui);                                // 10
        ClickSelectPhase(&activeMap, ui);                             // 11
        DeleteAndTransformPhase(&activeMap, ui);                      // 12
        TextureApplyPhase(&activeMap, ui);                            // 13
        BlockToolPhase(&activeMap, ui);                               // 14
        EntityToolPhase(&activeMap, ui);                              // 15
        FlyCameraPhase(ui);                                           // 16
        Follow2DCameras(ui);                                          // 17
        ViewportRenderPass(ui, &activeMap);                           // 18
        if (ui.showRenderOutput) RenderPreviewPass(ui, &activeMap);   // 19
        RunAutoSave(&activeMap, gFrameClock.frameSeconds, ui.statusText, kStatusLen);   // 20
        GatherLights(&activeMap);                                     // 21
        if (gRenderer.ready) SyncBrushMeshes(&activeMap);            // 22
        ui.tooltipText = nullptr;                                     // 23
        StatusToConsole(ui.statusText, lastStatus, kStatusLen);

        // Screen pass: each window drawn over the ones before it
        BeginDrawing();                                               // 24
        NumFieldsBeginFrame();
        float leftPanelBottom = DrawChromeTop(ui);
        leftPanelBottom = DrawModsList(&activeMap, ui, leftPanelBottom);   // 25
        EndLeftPanel(ui, leftPanelBottom);
        ViewportFrames(ui);                                           // 26
        RightPanelPhase(&activeMap, ui);                              // 27
        DrawCursorReadout(ui);                                        // 28
        ClipOverlay(ui);
        DrawVertexMarquee(ui);
        if (DrawProjectManager(ui.screenW, ui.screenH, ui.statusText, kStatusLen))   // 29
            ProjectSwitch(&activeMap, ui);
        DrawChromeBottom(ui);                                         // 30
        if (ui.showOpenDialog || ui.showSaveDialog) MapFileDialog(&activeMap, ui);   // 31
        if (ui.showHelp) HelpWindow(ui);                              // 32
        if (gConsole.open) DrawConsoleWindow(ui);                     // 33
        if (gRecoverPrompt) RecoverDialog(&activeMap, ui);            // 34
        if (ui.showProblems) ProblemReportDialog(&activeMap, ui);    // 35
        if (ui.mergePrompt) DrawMergePrompt(&activeMap, ui);          // 36
        if (ui.showRenderOutput) RenderOutputWindow(ui);              // 37
        NumFieldsEndFrame();
        EndDrawing();                                                 // 38
        FrameRest(ui, &activeMap, lastStatus);   // waits for the next event while nothing moves
    }

    KeepUnsavedWorkOnClose(&activeMap, ui);   // the close request: unsaved work to the autosave
    AppShutDown(ui);
    return 0;
}
