// chrome.cpp: the top bar with its file buttons and snap switches, the tool strip that follows
// the active tool, the left panel with the tool palette, and the status bar.
#include "editor/chrome.h"

#include <cstdio>
#include <cstring>

#include "document/problem_check.h"
#include "document/selection.h"
#include "document/settings.h"
#include "document/undo.h"
#include "editor/startup.h"
#include "editor/input.h"
#include "editor/console.h"
#include "editor/gui.h"
#include "editor/tools/clip_tool.h"
#include "editor/tools/select.h"
#include "editor/tools/vertex.h"
#include "editor/widgets.h"
#include "editor/windows/map_dialogs.h"
#include "editor/windows/project_manager.h"
#include "project/projects.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static constexpr Color kBackground = { 212, 208, 200, 255 };
static constexpr float kTopBarWidth = 2542.5f;
static constexpr float kTopItemY = 4.5f;
static constexpr float kTopItemH = 40.5f;
static constexpr float kTopBarWheelStep = 90.0f;
static constexpr float kStripItemH = 45.0f;

struct TopButton {
    float offset, width;
    const char *label;
    int id;                          // TopBarButton
};
static const TopButton kTopButtons[] = {
    { 11.25f, 112.5f, "New", TOPBAR_NEW },
    { 135.0f, 112.5f, "Open", TOPBAR_OPEN },
    { 258.75f, 112.5f, "Save", TOPBAR_SAVE },
    { 382.5f, 146.25f, "Save As", TOPBAR_SAVE_AS },
    { 540.0f, 146.25f, "Render", TOPBAR_RENDER },
    { 697.5f, 112.5f, "Help", TOPBAR_HELP },
    { 821.25f, 168.75f, "Projects", TOPBAR_PROJECTS },
    { 1001.25f, 168.75f, "Console", TOPBAR_CONSOLE },
};

// Where the panels see the pointer while an open window lies over it: nowhere.
static constexpr Vector2 kNoPointer = { -1.0f, -1.0f };

struct SnapToggle {
    float offset;
    const char *label;
    const char *tooltip;
};
static const SnapToggle kSnapToggles[kSnapSwitchCount] = {   // SnapSwitch order
    { 1683.0f, "Mov", "Snap object movement to the grid" },
    { 1768.5f, "Rot", "Snap rotation to the angle step" },
    { 1854.0f, "Scl", "Snap scaling to fixed increments" },
    { 1939.5f, "Vtx", "Snap vertex dragging to the grid" },
};

static const char *const kPlaceLabels[kEntityKindCount] = { "Prop", "Light", "Spot", "Sun", "Physics", "Spawn" };
static const char *const kMorphLabels[3] = { "Vertex (1)", "Edge (2)", "Face (3)" };
static const char *const kKeepLabels[3] = { "Front", "Back", "Both" };   // ClipKeep
static const char *const kMorphHints[3] = {
    "Drag handles  |  Ctrl+F split quad  |  Ctrl+B snap  |  Del collapse",
    "Ctrl+E inserts a vertex at the edge midpoint",
    "Shift+drag slides along normal  |  Ctrl+Shift+E extrude  |  Ctrl+U subdivide",
};
struct LightButton {
    const char *label;
    int kind;
    const char *tooltip;
    float brightness, range;
};
static const LightButton kLightButtons[3] = {
    { "Point", ENTITY_LIGHT, "Add an omni light at the 3D view's focus point.", 1.6f, 16.0f },
    { "Spot", ENTITY_LIGHT_SPOT, "Add a cone light at the 3D view's focus, aimed the way the camera looks.", 1.6f, 16.0f },
    { "Sun", ENTITY_LIGHT_ENVIRONMENT, "Add a directional sun light. Only one is needed per map.", 0.9f, 100.0f },
};

struct ShapeButton {
    float x, width;
};
static const ShapeButton kShapeButtons[kBrushShapeCount] = {
    { 202.5f, 112.5f }, { 326.25f, 123.75f }, { 461.25f, 123.75f }, { 596.25f, 101.25f }, { 708.75f, 112.5f },
};

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static void DrawTopBar(UiState &ui);
static void DrawToolStrip(UiState &ui);
static Rectangle LeftPanelRect(const UiState &ui);
static float DrawAddLightButtons(UiState &ui, float y);
static void ToggleRow(float y, float x0, float step, float width, const char *const *labels, int count, int *field);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
float TopBarMaxScroll(float contentWidth, float screenW)
{
    float most = contentWidth - screenW + 22.5f;
    return most > 0.0f ? most : 0.0f;
}

float DrawChromeTop(UiState &ui)
{
    ClearBackground(kBackground);
    DrawTopBar(ui);
    DrawToolStrip(ui);

    Rectangle panel = LeftPanelRect(ui);
    GuiPanel(panel, nullptr);
    float shift = PanelScrollBegin(&ui.leftPanelScroll, panel, PointerOverWindow(ui) ? kNoPointer : ui.mouse);
    float y = 0.0f;
    int hovered = DrawToolPalette(Rectangle{ panel.x, panel.y + shift, panel.width, panel.height }, &ui.activeTool, &y);
    if (hovered >= 0) ui.tooltipText = kTools[hovered].help;
    return DrawAddLightButtons(ui, y);
}

void EndLeftPanel(UiState &ui, float contentBottom)
{
    PanelScrollEnd(&ui.leftPanelScroll, LeftPanelRect(ui), contentBottom);
}

void DrawChromeBottom(UiState &ui)
{
    DrawToolTip(ui.tooltipText, ui.screenW, ui.screenH, ui.statusBarH);
    GuiStatusBar(Rectangle{ 0.0f, (float)ui.screenH - ui.statusBarH, (float)ui.screenW, ui.statusBarH }, ui.statusText);
}

bool TopBarOpensModal(int button)
{
    switch (button) {
    case TOPBAR_OPEN:
    case TOPBAR_SAVE_AS:
    case TOPBAR_RENDER:
    case TOPBAR_PROJECTS:
        return true;
    case TOPBAR_SAVE:
        return gProjects.currentPath[0] == '\0';   // without a project Save opens the project manager
    default:
        return false;
    }
}

int TopBarPress(MapDoc *map, UiState &ui, int button)
{
    // A second modal window would be drawn above or beneath the first in the frame's fixed order,
    // while Escape closes them in another: one at a time.
    if (AnyModalOpen(ui) && TopBarOpensModal(button)) return 0;
    switch (button) {
    case TOPBAR_NEW: NewMap(map, ui); break;
    case TOPBAR_OPEN: OpenMapFileDialog(ui, 0); break;
    case TOPBAR_SAVE: SaveMapToProject(map, ui); break;
    case TOPBAR_SAVE_AS: OpenMapFileDialog(ui, 1); break;
    case TOPBAR_RENDER: ui.showRenderOutput = true; break;
    case TOPBAR_PROJECTS: OpenProjectManager(); break;
    case TOPBAR_CONSOLE: gConsole.open = !gConsole.open; break;
    case TOPBAR_HELP: ui.showHelp = !ui.showHelp; break;
    default: return 0;
    }
    return 1;
}

int AddLight(MapDoc *map, UiState &ui, int button)
{
    if (button < 0 || button >= 3) return 0;
    if (map->entityCount >= kMaxEntities) {
        StatusSet(ui, "Object limit reached.");
        return 0;
    }
    const LightButton &b = kLightButtons[button];
    PushUndoState(map);
    int index = map->entityCount;
    Entity *e = &map->entities[index];
    EntityInitLight(e, b.kind, Vector3{ ui.cam3D.target.x, ui.cam3D.target.y + 2.0f, ui.cam3D.target.z },
                    Color{ 255, 241, 214, 255 }, b.brightness, b.range, 22.0f, 40.0f);
    snprintf(e->name, sizeof(e->name), "%s_%d", b.label, index);
    // The light points where the 3D camera looks.
    AimEntity(e, Vector3{ ui.cam3D.target.x - ui.cam3D.position.x, ui.cam3D.target.y - ui.cam3D.position.y,
                          ui.cam3D.target.z - ui.cam3D.position.z });
    map->entityCount++;
    ui.selEntity = index;
    ui.selBrush = -1;
    ui.sideTab = TAB_PROPERTIES;
    StatusSet(ui, "Added %s light at the 3D view focus.", b.label);
    return 1;
}

void NewMap(MapDoc *map, UiState &ui)
{
    TransformCancel(map, ui);   // the snapshot keeps the object as it was before the transform
    PushUndoState(map);
    map->brushCount = 0;
    map->entityCount = 0;
    ui.selBrush = -1;
    ui.selEntity = -1;
    VtxClearActive();
    VertexToolForget(ui);   // no pick or merge entry may name a slot of the emptied map
    ui.showProblems = false;   // nor may the report of the map that was there
    // A new map is no file's yet: Save must not put it over the file the old map came from.
    snprintf(ui.mapFileName, sizeof(ui.mapFileName), "%s", kUntitledMapName);
    StatusSet(ui, "Created New Map");
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
static void DrawTopBar(UiState &ui)
{
    float screenW = (float)ui.screenW;
    Rectangle bar = { 0.0f, 0.0f, screenW, ui.menuBarH };
    GuiPanel(bar, nullptr);

    float most = TopBarMaxScroll(ui.topBarWidth, screenW);
    if (!PointerOverWindow(ui) && CheckCollisionPointRec(ui.mouse, bar)) {
        ui.topBarScroll -= kTopBarWheelStep * GetMouseWheelMove();
    }
    if (ui.topBarScroll > most) ui.topBarScroll = most;
    if (ui.topBarScroll < 0.0f) ui.topBarScroll = 0.0f;

    BeginScissorMode(0, 0, ui.screenW, (int)ui.menuBarH);
    auto item = [&ui](float offset, float width) {
        return Rectangle{ offset - ui.topBarScroll, kTopItemY, width, kTopItemH };
    };
    for (const TopButton &b : kTopButtons) {
        if (GuiButton(item(b.offset, b.width), b.label)) TopBarPress(&activeMap, ui, b.id);
    }

    const char *project = gProjects.currentName;
    GuiLabel(item(1192.5f, 382.5f), TextFormat("Project: %s", project[0] ? project : "(none)"));
    GuiLabel(item(1597.5f, 90.0f), "Snap:");
    for (int i = 0; i < kSnapSwitchCount; i++) {
        SnapSwitch which = (SnapSwitch)i;
        Rectangle r = item(kSnapToggles[i].offset, 78.75f);
        SettingsSetSnapSwitch(which, GuiToggle(r, kSnapToggles[i].label, SnapSwitchOn(which)));
        if (CheckCollisionPointRec(ui.mouse, r)) ui.tooltipText = kSnapToggles[i].tooltip;
    }
    GuiLabel(item(2036.25f, 495.0f), TextFormat("grid %.4g   rot %.0f deg", gSettings.gridStep, gSnap.rotStep));
    EndScissorMode();
    ui.topBarWidth = kTopBarWidth;

    // A hint that more of the bar lies to the right.
    if (most > 0.0f && ui.topBarScroll < most - 1.0f) {
        float h = ui.menuBarH;
        DrawTriangle(Vector2{ screenW - 22.5f, 0.30f * h }, Vector2{ screenW - 22.5f, 0.72f * h },
                     Vector2{ screenW - 6.75f, 0.51f * h }, Color{ 155, 155, 165, 230 });
    }
}

static void DrawToolStrip(UiState &ui)
{
    GuiPanel(Rectangle{ 0.0f, ui.menuBarH, (float)ui.screenW, ui.toolbarH }, nullptr);
    float y = ui.menuBarH + 9.0f;
    Rectangle label = { 22.5f, y, 180.0f, kStripItemH };
    switch (ui.activeTool) {
    case TOOL_ENTITY:
        GuiLabel(label, "Place:");
        ToggleRow(y, 157.5f, 132.75f, 126.0f, kPlaceLabels, kEntityKindCount, &ui.placeKind);
        break;
    case TOOL_VERTEX: {
        GuiLabel(label, "Morph:");
        int before = ui.morphMode;
        ToggleRow(y, 157.5f, 168.75f, 162.0f, kMorphLabels, 3, &ui.morphMode);
        // Selections mean different things per mode, so a mode change starts afresh.
        if (ui.morphMode != before) {
            VtxClearSelection();
            ui.vertex.pickedEdgeA = ui.vertex.pickedEdgeB = -1;
        }
        int hint = (ui.morphMode >= 0 && ui.morphMode < 3) ? ui.morphMode : 0;
        GuiLabel(Rectangle{ 686.25f, y, 900.0f, kStripItemH }, kMorphHints[hint]);
        break;
    }
    case TOOL_CLIP: {
        GuiLabel(label, "Keep:");
        int keep = ui.clip.clipKeep;
        ToggleRow(y, 157.5f, 132.75f, 126.0f, kKeepLabels, 3, &keep);
        if (keep != ui.clip.clipKeep) ClipSetKeep(ui, keep);
        break;
    }
    default:
        GuiLabel(label, "Brush Shape:");
        for (int s = 0; s < kBrushShapeCount; s++) {
            if (GuiButton(Rectangle{ kShapeButtons[s].x, y, kShapeButtons[s].width, kStripItemH }, kShapeName[s]))
                ui.blockShape = s;
        }
        break;
    }
}

// A row of toggles for one field: the toggle equal to the field is on; a click that leaves a
// toggle on sets the field to it (a click on the one already on changes nothing).
static void ToggleRow(float y, float x0, float step, float width, const char *const *labels, int count, int *field)
{
    for (int i = 0; i < count; i++) {
        bool on = (*field == i);
        if (GuiToggle(Rectangle{ x0 + step * (float)i, y, width, kStripItemH }, labels[i], on) && !on) *field = i;
    }
}

static Rectangle LeftPanelRect(const UiState &ui)
{
    float height = (float)ui.screenH - ui.viewsTop - ui.statusBarH;
    return Rectangle{ 0.0f, ui.viewsTop, ui.leftPanelW, height > 0.0f ? height : 0.0f };
}

// The ADD LIGHT buttons below the palette; returns the y below them.
static float DrawAddLightButtons(UiState &ui, float y)
{
    GuiLabel(Rectangle{ 11.25f, y, ui.leftPanelW - 18.0f, 27.0f }, "ADD LIGHT");
    y += 31.5f;
    for (const LightButton &b : kLightButtons) {
        Rectangle r = { 9.0f, y, ui.leftPanelW - 18.0f, 49.5f };
        if (CheckCollisionPointRec(ui.mouse, r)) ui.tooltipText = b.tooltip;
        if (GuiButton(r, b.label)) AddLight(&activeMap, ui, (int)(&b - kLightButtons));
        y += 56.25f;
    }
    return y;
}
