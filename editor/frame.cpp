// frame.cpp: the frame's own phases: reading the window, the Escape chain, the modifiers, the
// input gate, which windows are open over the pointer, and the status line's copy into the console.
#include "editor/app.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "document/selection.h"
#include "editor/console.h"
#include "editor/help_window.h"
#include "editor/project_manager.h"
#include "editor/widgets.h"
#include "project/autosave.h"
#include "project/projects.h"

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void FrameReadWindow(UiState &ui)
{
    ui.screenW = GetScreenWidth();
    ui.screenH = GetScreenHeight();
    ui.uiBlocksInput = UiBlocksInput(ui);
    ui.escConsumed = false;
    ui.textureClickConsumed = false;
    ui.transformInputUsed = false;
}

bool UiBlocksInput(const UiState &ui)
{
    return ui.fileBoxEdit || ui.showSaveDialog || ui.showOpenDialog || ui.nameBoxEdit || ui.classBoxEdit ||
           gProjects.nameEditing || AnyNumFieldEditing() || ui.vtxCentreEdit[0] || ui.vtxCentreEdit[1] || ui.vtxCentreEdit[2];
}

void EscapeChain(UiState &ui)
{
    // One window per press, top-most first; the console and the recovery prompt are never closed
    // here and the program never ends.
    if (gProjects.managerOpen) {
        CloseProjectManager();   // releases its name box too
    } else if (ui.showProblems) {
        ui.showProblems = false;
    } else if (ui.mergePrompt) {
        ui.mergePrompt = false;
        ui.mergeCount = 0;
        snprintf(ui.statusText, sizeof(ui.statusText), "%s", "Merge cancelled.");
    } else if (ui.showRenderOutput) {
        ui.showRenderOutput = false;
        snprintf(ui.statusText, sizeof(ui.statusText), "%s", "Closed render view.");
    } else if (ui.showHelp) {
        ui.showHelp = false;
    } else if (ui.showSaveDialog) {
        ui.showSaveDialog = false;
        ui.fileBoxEdit = false;
    } else if (ui.showOpenDialog) {
        ui.showOpenDialog = false;
        ui.fileBoxEdit = false;
    } else {
        return;
    }
    ui.escConsumed = true;
}

void FrameReadModifiers(UiState &ui)
{
    ui.ctrlHeld = IsKeyDown(KEY_LEFT_CONTROL) || IsKeyDown(KEY_RIGHT_CONTROL);
    ui.shiftHeld = IsKeyDown(KEY_LEFT_SHIFT) || IsKeyDown(KEY_RIGHT_SHIFT);
}

bool InputGateOpen(const UiState &ui)
{
    return !ui.uiBlocksInput && !ui.showRenderOutput && !ui.mergePrompt && !ui.showProblems && !gProjects.managerOpen &&
           !gRecoverPrompt;
}

bool AnyModalOpen(const UiState &ui)
{
    return ui.showOpenDialog || ui.showSaveDialog || gRecoverPrompt || ui.showProblems || ui.mergePrompt ||
           ui.showRenderOutput || gProjects.managerOpen;
}

bool PointerOverConsole(const UiState &ui)
{
    // The recovery prompt, the problem report, the merge prompt and the Render window are drawn
    // after the console and cover it.
    if (gRecoverPrompt || ui.showProblems || ui.mergePrompt || ui.showRenderOutput) return false;
    return ConsoleCoversPoint(ui.mouse, ui.screenW, ui.screenH, ui.statusBarH);
}

bool PointerOverWindow(const UiState &ui)
{
    // A modal window's veil covers the whole screen. The Render window has none, but it fills the
    // screen and a right click anywhere closes it, so it counts the same.
    if (AnyModalOpen(ui) || PointerOverConsole(ui)) return true;
    return ui.showHelp && CheckCollisionPointRec(ui.mouse, HelpWindowRect(ui.screenW, ui.screenH));
}

void StatusSet(UiState &ui, const char *fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    vsnprintf(ui.statusText, sizeof(ui.statusText), fmt, args);
    va_end(args);
}

bool ToolLeftPress(const UiState &ui)
{
    return IsMouseButtonPressed(MOUSE_BUTTON_LEFT) && !PointerOverWindow(ui);
}

void ToolChangePhase(UiState &ui)
{
    if (ui.wasVertexTool && ui.activeTool != TOOL_VERTEX) VtxClearActive();
    ui.wasVertexTool = (ui.activeTool == TOOL_VERTEX);
}

void StatusToConsole(const char *statusText, char *lastStatus, int lastStatusSize)
{
    if (strcmp(statusText, lastStatus) == 0) return;
    snprintf(lastStatus, (size_t)lastStatusSize, "%s", statusText);
    // An emptied line is remembered but not pushed, so the next message is pushed even if it
    // repeats the one before.
    if (statusText[0] != '\0') ConsolePush(CONSOLE_EDITOR, statusText);
}
