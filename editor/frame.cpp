// frame.cpp: one frame in fixed phases, and the frame's own phases: reading the window, the
// Escape chain, the modifiers, the windows in draw order, the status line's copy into the
// console, and the rest between frames when nothing moves.
#include "editor/frame.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "document/selection.h"
#include "editor/cameras.h"
#include "editor/chrome.h"
#include "editor/console.h"
#include "editor/input.h"
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
#include "editor/view_draw.h"
#include "editor/widgets.h"
#include "editor/windows/console_window.h"
#include "editor/windows/help.h"
#include "editor/windows/map_dialogs.h"
#include "editor/windows/merge_prompt.h"
#include "editor/windows/problems.h"
#include "editor/windows/project_manager.h"
#include "editor/windows/render_view.h"
#include "editor/windows/window_table.h"
#include "project/asset_browser.h"
#include "project/assets.h"
#include "project/autosave.h"
#include "project/projects.h"
#include "render/lights.h"
#include "render/mesh_cache.h"
#include "render/renderer.h"
#include "script/mods.h"
#include "platform/platform.h"

// GLFW is built into raylib; raylib offers no wait for events with a timeout, and reads the
// window's close request only at the poll that ends a frame.
struct GLFWwindow;
extern "C" void glfwWaitEventsTimeout(double timeout);
extern "C" int glfwWindowShouldClose(GLFWwindow *window);
extern "C" GLFWwindow *glfwGetCurrentContext(void);   // the window: raylib's handle is X11's

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
// Frames drawn after any input or other event before the loop may rest: a panel's change shows
// in the next frame and a status line reaches the console one frame later, and widgets that act
// on a release see the pointer settle.
static constexpr int kAwakeFrames = 8;
static constexpr float kShortestRest = 0.002f;   // a timer due sooner gets a frame, not a wait
// GLFW's wait goes on through a signal, so a rest is taken in slices this long: a close signal
// ends it within one.
static constexpr double kRestSlice = 0.25;
static constexpr int kLastKey = KEY_KB_MENU;
static constexpr int kLastMouseButton = MOUSE_BUTTON_BACK;

static int sAwakeFrames = kAwakeFrames;   // the first frames draw the window as it appears

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static void WindowEscape(UiState &ui, int id);
static void WindowDraw(MapDoc *map, UiState &ui, int id);
static bool InputPending(void);
static bool InputHeld(void);
static bool RestWoken(double sliceStart, double slice);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void FrameRun(MapDoc *map, UiState &ui, char *lastStatus, FrameMarks *marks)
{
    // Update: input, tools and cameras. Phases 1 to 23 change the map and the state; nothing
    // reaches the screen before phase 24.
    if (marks) marks->at[FRAME_MARK_START] = GetTime();
    FrameReadWindow(ui);                                   // 1
    if (IsKeyPressed(KEY_ESCAPE)) EscapeChain(ui);         // 2
    FrameReadModifiers(ui);                                // 3
    ShortcutsPhase(map, ui);                               // 4
    LayoutPhase(ui);                                       // 5
    Zoom2DByWheel(ui, GetMouseWheelMove());
    VertexToolPhase(map, ui);                              // 6
    ToolChangePhase(ui);                                   // 7
    ModToolPhase(map, ui);                                 // 8
    TexturePaintPhase(map, ui);                            // 9
    ClipToolPhase(map, ui);                                // 10
    ClickSelectPhase(map, ui);                             // 11
    DeleteAndTransformPhase(map, ui);                      // 12
    TextureApplyPhase(map, ui);                            // 13
    BlockToolPhase(map, ui);                               // 14
    EntityToolPhase(map, ui);                              // 15
    FlyCameraPhase(ui);                                    // 16
    Follow2DCameras(ui);                                   // 17
    if (marks) marks->at[FRAME_MARK_CAMERAS] = GetTime();
    ViewportRenderPass(ui, map);                           // 18
    if (marks) marks->at[FRAME_MARK_VIEWS] = GetTime();
    if (ui.showRenderOutput) RenderPreviewPass(ui, map);   // 19
    if (marks) marks->at[FRAME_MARK_RENDER_VIEW] = GetTime();
    AutoSavePhase(map, ui);                                // 20
    GatherLights(map);                                     // 21
    if (gRenderer.ready) SyncBrushMeshes(map);             // 22
    ui.tooltipText = nullptr;                              // 23
    StatusToConsole(ui.statusText, lastStatus, kStatusLen);
    if (marks) marks->at[FRAME_MARK_GATHER] = GetTime();

    // Screen pass: each window drawn over the ones before it
    BeginDrawing();                                        // 24
    NumFieldsBeginFrame();
    float leftPanelBottom = DrawChromeTop(ui);
    leftPanelBottom = DrawModsList(map, ui, leftPanelBottom);   // 25
    EndLeftPanel(ui, leftPanelBottom);
    ViewportFrames(ui);                                    // 26
    RightPanelPhase(map, ui);                              // 27
    DrawCursorReadout(ui);                                 // 28
    ClipOverlay(ui);
    DrawVertexMarquee(ui);
    DrawWindows(map, ui, true);                            // 29
    DrawChromeBottom(ui);                                  // 30
    DrawWindows(map, ui, false);                           // 31 to 37
    NumFieldsEndFrame();
    char refused[kNumFieldTextLen];
    if (NumFieldTakeRefusal(refused, kNumFieldTextLen)) StatusSet(ui, kNotFiniteStatus, refused);
    if (marks) marks->at[FRAME_MARK_SCREEN] = GetTime();
    EndDrawing();                                          // 38
    if (marks) marks->at[FRAME_MARK_END] = GetTime();
}

void AutoSavePhase(const MapDoc *map, UiState &ui)
{
    char outcome[kStatusLen] = "";   // written only when a write was tried
    RunAutoSave(map, gFrameClock.frameSeconds, outcome, kStatusLen);
    if (outcome[0] != '\0') StatusSet(ui, "%s", outcome);
}

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

void EscapeChain(UiState &ui)
{
    // One window per press, the open one of lowest rank; the program never ends on Escape.
    int first = -1;
    for (int id = 0; id < kWindowCount; id++) {
        int rank = kWindowFacts[id].escapeRank;
        if (rank > 0 && WindowIsOpen(ui, id) && (first < 0 || rank < kWindowFacts[first].escapeRank)) first = id;
    }
    if (first < 0) return;
    WindowEscape(ui, first);
    ui.escConsumed = true;
}

void DrawWindows(MapDoc *map, UiState &ui, bool underStatusBar)
{
    for (int id = 0; id < kWindowCount; id++) {
        if (kWindowFacts[id].underStatusBar == underStatusBar && WindowIsOpen(ui, id)) WindowDraw(map, ui, id);
    }
}

void FrameReadModifiers(UiState &ui)
{
    ui.ctrlHeld = IsKeyDown(KEY_LEFT_CONTROL) || IsKeyDown(KEY_RIGHT_CONTROL);
    ui.shiftHeld = IsKeyDown(KEY_LEFT_SHIFT) || IsKeyDown(KEY_RIGHT_SHIFT);
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

bool FrameMayRest(const UiState &ui, const MapDoc *map, const char *lastStatus)
{
    const ModTool *modeTool = ModToolAt(gMods.activeMod, gMods.activeTool);
    bool modeToolRuns = ui.activeTool == TOOL_MOD && modeTool && modeTool->loaded && InputGateOpen(ui);
    bool previewTurns = ui.sideTab == TAB_MODEL && gBrowser.spin && gBrowser.previewReady &&
                        AssetModelUsable(ui.curModel);
    // A held key or button drives the fly camera, a drag or a marquee, frame by frame.
    // The lights and meshes gathered at a frame's end show in the Render view only in the next.
    // Nothing of a minimized window moves on screen and no input reaches it: only what is owed
    // (the console's copy, the Render view's next image) keeps it awake.
    bool moving = !IsWindowMinimized() && (modeToolRuns || previewTurns || InputHeld());
    return !moving && strcmp(ui.statusText, lastStatus) == 0 && !RenderViewPending(ui, map);
}

void FrameRest(const UiState &ui, const MapDoc *map, const char *lastStatus)
{
    // What the poll at the end of this frame read belongs to the next frame: never rest over it.
    if (InputPending()) sAwakeFrames = kAwakeFrames;
    if (sAwakeFrames > 0) {
        sAwakeFrames--;
        return;
    }
    // A close request read by that poll, or a close signal, is taken right after this call.
    if (WindowShouldClose() || PlatformCloseSignalled() || !FrameMayRest(ui, map, lastStatus)) return;
    float timeout = AutoSaveSecondsLeft();   // the only timer that needs a frame
    if (timeout >= 0.0f && timeout < kShortestRest) return;
    // Events that arrive during the wait reach raylib's current input state while its previous
    // state stays as the last poll left it, so the next frame sees each press as a press.
    double start = GetTime();
    bool woken = false;
    for (;;) {
        double left = timeout < 0.0f ? kRestSlice : (double)timeout - (GetTime() - start);
        if (left <= 0.0) break;
        double slice = left < kRestSlice ? left : kRestSlice;
        double sliceStart = GetTime();
        glfwWaitEventsTimeout(slice);
        woken = RestWoken(sliceStart, slice);
        if (woken) break;
    }
    gFrameClock.restSeconds += GetTime() - start;
    // Whatever ended the rest before its time (input, a resize, the window shown or covered, a
    // close request or signal) gets the frames that input gets.
    if (woken) sAwakeFrames = kAwakeFrames;
}

bool FrameTakeCloseRequest(const MapDoc *map, UiState &ui)
{
    // raylib latches the window's close request at the poll that ends a frame and clears it at
    // the next: read once before each frame, a refused request is gone and the next one is seen.
    bool signalled = PlatformTakeCloseSignal() != 0;
    if (!WindowShouldClose() && !signalled) return false;
    return CloseRequestGranted(map, ui) != 0;
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// What Escape does to the window: the row's action.
static void WindowEscape(UiState &ui, int id)
{
    switch (id) {
#define KIRTO_WINDOW_ESCAPE(id, open, modal, gate, camera, under, esc, rect, escape, draw) \
    case WIN_##id: escape; break;
        KIRTO_WINDOWS(KIRTO_WINDOW_ESCAPE)
#undef KIRTO_WINDOW_ESCAPE
    default: break;
    }
}

// Draws the window and acts on its controls: the row's draw.
static void WindowDraw(MapDoc *map, UiState &ui, int id)
{
    switch (id) {
#define KIRTO_WINDOW_DRAW(id, open, modal, gate, camera, under, esc, rect, escape, draw) \
    case WIN_##id: draw; break;
        KIRTO_WINDOWS(KIRTO_WINDOW_DRAW)
#undef KIRTO_WINDOW_DRAW
    default: break;
    }
}

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

// Whether the slice of a rest that began at sliceStart was ended by an event. One that ends the
// wait before its time shows as such; on a busy machine the wait may return late although an
// event ended it, so what events leave behind is looked at too: input, and the window's close
// request, which no input shows and which nothing else would wake the loop for.
static bool RestWoken(double sliceStart, double slice)
{
    if (GetTime() - sliceStart < slice || InputPending() || PlatformCloseSignalled()) return true;
    return glfwWindowShouldClose(glfwGetCurrentContext()) != 0;
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
