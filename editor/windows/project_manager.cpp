// project_manager.cpp: the project manager window: name box and Create, the project list,
// Open Selected and Refresh.
#include "editor/windows/project_manager.h"

#include <cstdio>

#include "editor/console.h"
#include "editor/gui.h"
#include "editor/input.h"
#include "editor/layout.h"
#include "editor/widgets.h"
#include "platform/platform.h"
#include "project/projects.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static constexpr float kMaxW = 945.0f, kMaxH = 720.0f;
static constexpr float kRowH = 45.0f;
static constexpr float kWheelStep = 45.0f;
static constexpr float kMinListH = 135.0f;
static constexpr unsigned char kVeilAlpha = 120;
static constexpr Color kRowSelected = { 80, 90, 120, 255 };
static constexpr Color kRowHovered = { 52, 55, 64, 255 };

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static int DrawProjectList(Rectangle list, float wheelStep);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
Rectangle ProjectManagerRect(int screenW, int screenH)
{
    return ModalWindowRect(screenW, screenH, kMaxW, kMaxH);
}

int DrawProjectManager(UiState &ui)
{
    int screenW = ui.screenW, screenH = ui.screenH;
    if (!gProjects.managerOpen) return 0;
    Rectangle win = ProjectManagerRect(screenW, screenH);
    float x = win.x, y = win.y, w = win.width, h = win.height;
    int opened = 0;

    DrawModalFrame(screenW, screenH, win, kVeilAlpha, "Project Manager");
    // The rest of the window is still drawn in this frame.
    bool closeClicked = GuiButton(Rectangle{ x + w - 49.5f, y + 4.5f, 45.0f, 45.0f }, "X");

    const char *current = gProjects.currentName[0] ? gProjects.currentName : "(none)";
    GuiLabel(Rectangle{ x + 27.0f, y + 72.0f, w - 54.0f, 36.0f }, TextFormat("Current project: %s", current));

    GuiLabel(Rectangle{ x + 27.0f, y + 117.0f, 90.0f, 45.0f }, "New:");
    if (GuiTextBox(Rectangle{ x + 121.5f, y + 117.0f, w - 337.5f, 45.0f }, gProjects.newName, kProjectNameLen,
                   gProjects.nameEditing)) {
        gProjects.nameEditing = !gProjects.nameEditing;
    }
    if (GuiButton(Rectangle{ x + w - 202.5f, y + 117.0f, 175.5f, 45.0f }, "Create")) {
        ProjectManagerCreate(ui);
    }

    float listH = h - 265.5f;
    if (listH < kMinListH) listH = kMinListH;
    // The console is drawn over this window: the wheel over it scrolls the console only.
    bool underConsole = ConsoleCoversPoint(GetMousePosition(), screenW, screenH, kStatusBarH);
    if (DrawProjectList(Rectangle{ x + 27.0f, y + 175.5f, w - 54.0f, listH }, underConsole ? 0.0f : kWheelStep)) opened = 1;

    float buttonW = (w - 81.0f) / 2.0f, buttonY = y + h - 67.5f;
    if (GuiButton(Rectangle{ x + 27.0f, buttonY, buttonW, 49.5f }, "Open Selected")) {
        if (ProjectManagerOpenSelected(ui)) opened = 1;
    }
    if (GuiButton(Rectangle{ x + 54.0f + buttonW, buttonY, buttonW, 49.5f }, "Refresh")) {
        ProjectManagerRefresh(ui);
    }

    if (closeClicked || opened) CloseProjectManager();
    return opened;
}

void OpenProjectManager(void)
{
    ScanProjects();
    gProjects.managerOpen = true;
}

void CloseProjectManager(void)
{
    gProjects.managerOpen = false;
    gProjects.nameEditing = false;
}

int ProjectManagerCreate(UiState &ui)
{
    const char *refusal = PlatformNameRefusal(gProjects.newName);
    if (refusal != nullptr) {
        StatusSet(ui, "Could not create project '%s' - %s.", gProjects.newName, refusal);
        return 0;
    }
    if (!CreateProject(gProjects.newName)) {
        StatusSet(ui, "Could not create that project (bad name or already exists).");
        return 0;
    }
    StatusSet(ui, "Created project '%s'", gProjects.newName);
    gProjects.newName[0] = '\0';
    return 1;
}

int ProjectManagerOpenSelected(UiState &ui)
{
    if (gProjects.selected < 0 || gProjects.selected >= gProjects.count) {
        StatusSet(ui, "Select a project first.");
        return 0;
    }
    OpenProject(gProjects.selected);
    return 1;
}

void ProjectManagerRefresh(UiState &ui)
{
    ScanProjects();
    StatusSet(ui, "Found %d project(s).", gProjects.count);
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// The scrolled list of projects; a press selects a row, left Shift with it opens the row's
// project at once. Returns 1 when a project was opened.
static int DrawProjectList(Rectangle list, float wheelStep)
{
    bool overList = ListBoxBegin(list, &gProjects.scroll, gProjects.count, kRowH, wheelStep);
    Vector2 mouse = GetMousePosition();
    int opened = 0;
    for (int i = 0; i < gProjects.count; i++) {
        Rectangle row = ListBoxRow(list, i, kRowH, gProjects.scroll);
        if (ListBoxRowHidden(list, row)) continue;
        bool hovered = overList && CheckCollisionPointRec(mouse, row);
        if (i == gProjects.selected) DrawRectangleRec(row, kRowSelected);
        else if (hovered) DrawRectangleRec(row, kRowHovered);
        GuiLabel(Rectangle{ row.x + 13.5f, row.y, row.width - 27.0f, kRowH }, gProjects.entries[i].name);
        if (hovered && IsMouseButtonPressed(MOUSE_BUTTON_LEFT)) {
            gProjects.selected = i;
            if (IsKeyDown(KEY_LEFT_SHIFT)) {   // the right Shift key does not open
                OpenProject(i);
                opened = 1;
            }
        }
    }
    EndScissorMode();
    if (gProjects.count == 0) {
        GuiLabel(Rectangle{ list.x + 18.0f, list.y + 13.5f, list.width - 36.0f, 36.0f }, "No projects yet - create one above.");
    }
    return opened;
}
