// frame.cpp: the frame's own phases: reading the window, the Escape chain, the modifiers, the
// input gate, which windows are open over the pointer, the status line's copy into the console,
// and the rest between frames when nothing moves.
#include "editor/app.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "document/selection.h"
#include "editor/console.h"
#include "editor/widgets.h"
#include "editor/windows/help.h"
#include "editor/windows/map_dialogs.h"
#include "editor/windows/project_manager.h"
#include "editor/windows/render_view.h"
#include "project/asset_browser.h"
#include "project/assets.h"
#include "project/autosave.h"
#include "project/projects.h"
#include "script/mods.h"

// GLFW is built into raylib; raylib offers a wait for events only without a timeout.
extern "C" void glfwWaitEvents(void);
extern "C" void glfwWaitEventsTimeout(double timeout);

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
// Frames drawn after any input or other event before the loop may rest: a panel's change shows
// in the next frame and a status line reaches the console one frame later, and widgets that act
// on a release see the pointer settle.
static constexpr int kAwakeFrames = 8;
static constexpr float kShortestRest = 0.002f;   // a timer due sooner gets a frame, not a wait
static constexpr int kLastKey = KEY_KB_MENU;
static constexpr int kLastMouseButton = MOUSE_BUTTON_BACK;

FrameClock gFrameClock = { -1.0, 0.0, 0.0f, 0.0f };
static int sAwakeFrames = kAwakeFrames;   // the first frames draw the window as it appears

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static bool InputPending(void);
static bool InputHeld(void);

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
    ui.modClickConsumed = false;
    ui.transformInputUsed = false;
    FrameClockTick(&gFrameClock, GetTime());
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
        StatusSet(ui, "Merge cancelled.");
    } else if (ui.showRenderOutput) {
        ui.showRenderOutput = false;
        StatusSet(ui, "Closed render view.");
    } else if (ui.showHelp) {
        ui.showHelp = false;
    } else if (ui.showSaveDialog || ui.showOpenDialog) {
        CancelMapFileDialog(ui);   // Save mode, then Open: one dialog either way
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
    if (ui.vertex.wasVertexTool && ui.activeTool != TOOL_VERTEX) VtxClearActive();
    ui.vertex.wasVertexTool = (ui.activeTool == TOOL_VERTEX);
}

void StatusToConsole(const char *statusText, char *lastStatus, int lastStatusSize)
{
    if (strcmp(statusText, lastStatus) == 0) return;
    snprintf(lastStatus, (size_t)lastStatusSize, "%s", statusText);
    // An emptied line is remembered but not pushed, so the next message is pushed even if it
    // repeats the one before.
    if (statusText[0] != '\0') ConsolePush(CONSOLE_EDITOR, statusText);
}

void FrameClockTick(FrameClock *clock, double now)
{
    double since = clock->lastTick >= 0.0 ? fmax(0.0, now - clock->lastTick) : 0.0;
    clock->frameSeconds = (float)since;
    clock->motionSeconds = (float)fmax(0.0, since - clock->restSeconds);
    clock->restSeconds = 0.0;
    clock->lastTick = now;
}

bool FrameMayRest(const UiState &ui, const MapDoc *map, const char *lastStatus)
{
    const ModTool *modeTool = ModToolAt(gMods.activeMod, gMods.activeTool);
    bool modeToolRuns = ui.activeTool == TOOL_MOD && modeTool && modeTool->loaded && InputGateOpen(ui);
    bool previewTurns = ui.sideTab == TAB_MODEL && gBrowser.spin && gBrowser.previewReady &&
                        AssetModelUsable(ui.curModel);
    // A held key or button drives the fly camera, a drag or a marquee, frame by frame.
    // The lights and meshes gathered at a frame's end show in the Render view only in the next.
    return !modeToolRuns && !previewTurns && !InputHeld() && strcmp(ui.statusText, lastStatus) == 0 &&
           !RenderViewPending(ui, map);
}

void FrameRest(const UiState &ui, const MapDoc *map, const char *lastStatus)
{
    // What the poll at the end of this frame read belongs to the next frame: never rest over it.
    if (InputPending()) sAwakeFrames = kAwakeFrames;
    if (sAwakeFrames > 0) {
        sAwakeFrames--;
        return;
    }
    // A close request read by that poll ends the loop right after this call.
    if (WindowShouldClose() || !FrameMayRest(ui, map, lastStatus)) return;
    float timeout = AutoSaveSecondsLeft();   // the only timer that needs a frame
    if (timeout >= 0.0f && timeout < kShortestRest) return;
    // Events that arrive during the wait reach raylib's current input state while its previous
    // state stays as the last poll left it, so the next frame sees each press as a press.
    double start = GetTime();
    if (timeout < 0.0f) glfwWaitEvents();
    else glfwWaitEventsTimeout((double)timeout);
    double rested = GetTime() - start;
    gFrameClock.restSeconds += rested;
    // Whatever ended the rest before its time (input, a resize, the window shown or covered, a
    // close request) gets the frames that input gets.
    if (timeout < 0.0f || rested < (double)timeout) sAwakeFrames = kAwakeFrames;
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// Input that the last poll read and the next frame has not handled yet.
static bool InputPending(void)
{
    Vector2 moved = GetMouseDelta();
    Vector2 wheel = GetMouseWheelMoveV();
    if (IsWindowResized() || moved.x != 0.0f || moved.y != 0.0f || wheel.x != 0.0f || wheel.y != 0.0f) return true;
    for (int b = 0; b <= kLastMouseButton; b++) {
        if (IsMouseButtonPressed(b) || IsMouseButtonReleased(b)) return true;
    }
    for (int k = 1; k <= kLastKey; k++) {
        if (IsKeyPressed(k) || IsKeyReleased(k)) return true;
    }
    return false;
}

static bool InputHeld(void)
{
    for (int b = 0; b <= kLastMouseButton; b++) {
        if (IsMouseButtonDown(b)) return true;
    }
    for (int k = 1; k <= kLastKey; k++) {
        // raylib keeps a lock key down for as long as its lock is on.
        if (k == KEY_CAPS_LOCK || k == KEY_NUM_LOCK || k == KEY_SCROLL_LOCK) continue;
        if (IsKeyDown(k)) return true;
    }
    return false;
}
