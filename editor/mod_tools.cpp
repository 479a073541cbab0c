// mod_tools.cpp: the MODS list of the left panel, the mode tool's frame and the Mods tab.
#include "editor/mod_tools.h"

#include <cstdio>
#include <cstring>

#include "document/selection.h"
#include "document/undo.h"
#include "editor/app.h"
#include "editor/gui.h"
#include "editor/right_panel.h"
#include "script/mods.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static constexpr float kRowH = 40.5f;
static constexpr float kOutputH = 180.0f;
static constexpr float kLastRunAbove = 252.0f;   // the Last Run label above the bottom
static constexpr float kListStopAbove = 270.0f;  // the package list stops this far above it
static constexpr int kOutputLineChars = 95;
static constexpr Color kOutputBorder = { 90, 92, 100, 255 };
static constexpr Color kOutputFill = { 24, 25, 30, 255 };

// The map as the mode tool's frame found it: tells whether the frame changed the map, and is the
// undo step when the script asked for one.
static MapDoc sFrameBefore;

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static void DropStaleSelection(const MapDoc *map, UiState &ui);
static void Deselect(UiState &ui);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void ModToolPhase(MapDoc *map, UiState &ui)
{
    // Any way of choosing another tool (palette, shortcut, script) deselects the mode tool.
    if (ui.activeTool != TOOL_MOD && gMods.activeMod >= 0) {
        gMods.activeMod = -1;
        gMods.activeTool = -1;
    }
    if (!InputGateOpen(ui) || ui.activeTool != TOOL_MOD) return;
    ModTool *tool = ModToolAt(gMods.activeMod, gMods.activeTool);
    if (!tool || !tool->loaded) return;

    gMods.exitRequested = false;
    gMods.undoRequested = false;
    sFrameBefore = *map;
    bool ok = RunModTool(gMods.activeMod, gMods.activeTool, map, ui.selBrush, ui.selEntity) != 0;
    // A failed frame may have edited the map before it stopped: the selection is checked either way.
    DropStaleSelection(map, ui);
    if (memcmp(&sFrameBefore, map, sizeof(MapDoc)) != 0) {
        if (gMods.undoRequested) PushUndoState(&sFrameBefore);   // undo goes back to before this frame
        MarkMapDirty();
    }
    if (ok) {
        tool->frame++;
    } else {
        StatusSet(ui, "%s", gMods.lastError);
        Deselect(ui);
    }
    if (gMods.exitRequested) {
        Deselect(ui);
        // An error of the same frame keeps the status line.
        if (ok) StatusSet(ui, "%s", "Mod tool exited.");
    }
}

float DrawModsList(MapDoc *map, UiState &ui, float y)
{
    if (gMods.count <= 0) return y;
    GuiLabel(Rectangle{ 11.25f, y, ui.leftPanelW - 18.0f, 27.0f }, "MODS");
    y += 31.5f;
    for (int m = 0; m < gMods.count && m < kMaxMods; m++) {
        ModPackage &package = gMods.mods[m];
        if (!package.valid) continue;
        for (int t = 0; t < package.toolCount && t < kMaxModTools; t++) {
            ModTool &tool = package.tools[t];
            Rectangle r = { 9.0f, y, ui.leftPanelW - 18.0f, 49.5f };
            if (CheckCollisionPointRec(ui.mouse, r)) {
                ui.tooltipText = !tool.loaded ? tool.prog.error : (tool.help[0] ? tool.help : tool.name);
            }
            if (tool.isMode) {
                bool was = ModToolIsActive(&tool) != 0;
                bool on = GuiToggle(r, tool.name, was);
                if (on != was) ModToolSelect(ui, m, t, on);
            } else if (GuiButton(r, tool.name)) {
                ModToolRunOnce(map, ui, m, t);
            }
            y += 56.25f;
        }
    }
    return y;
}

float DrawModsTab(UiState &ui, const PanelPlace &place)
{
    float x0 = place.x, y = place.y, width = place.w, bottom = place.top + place.height;
    float w = width - 54.0f;
    GuiLabel(Rectangle{ x0 + 27.0f, y, w, kRowH }, TextFormat("%d mod(s) loaded", gMods.count));
    y += kRowH + 4.5f;
    if (GuiButton(Rectangle{ x0 + 27.0f, y, w, 45.0f }, "Reload Mods")) {
        ScanMods();
        StatusSet(ui, "Reloaded mods: %d package(s).", gMods.count);
    }
    y += 58.5f;

    float listEnd = bottom - kListStopAbove;
    for (int m = 0; m < gMods.count && m < kMaxMods && y <= listEnd; m++) {
        const ModPackage &package = gMods.mods[m];
        GuiLabel(Rectangle{ x0 + 27.0f, y, w, kRowH },
                 TextFormat("%s  by %s", package.name, package.author[0] ? package.author : "?"));
        y += kRowH;
        for (int t = 0; t < package.toolCount && t < kMaxModTools && y <= listEnd; t++) {
            const ModTool &tool = package.tools[t];
            GuiLabel(Rectangle{ x0 + 49.5f, y, width - 76.5f, kRowH },
                     TextFormat("%s %s", tool.loaded ? "[ok]" : "[!!]", tool.name));
            y += kRowH - 4.5f;
            if (!tool.loaded) {
                GuiLabel(Rectangle{ x0 + 72.0f, y, width - 99.0f, kRowH }, tool.prog.error);
                y += kRowH - 4.5f;
            }
        }
        y += 9.0f;
    }
    if (gMods.count == 0) {
        // The scan reads the working folder's mods folder, so that is where the hint points.
        static const char *const kHint[3] = { "No mods found.", "Put them in mods/<name>/",
                                              "with a mod.txt and .asm scripts." };
        for (const char *line : kHint) {
            GuiLabel(Rectangle{ x0 + 27.0f, y, w, kRowH }, line);
            y += kRowH;
        }
    }

    GuiLabel(Rectangle{ x0 + 27.0f, bottom - kLastRunAbove, w, kRowH }, "--- Last Run ---");
    Rectangle box = { x0 + 27.0f, bottom - kLastRunAbove + kRowH, w, kOutputH };
    DrawRectangleRec(box, kOutputFill);
    DrawRectangleLinesEx(box, 1.0f, kOutputBorder);
    BeginScissorMode((int)box.x, (int)box.y, (int)box.width, (int)box.height);
    float line = box.y + 4.5f;
    Rectangle row = { box.x + 9.0f, 0.0f, box.width - 18.0f, kRowH };
    if (gMods.lastError[0]) {
        row.y = line;
        GuiLabel(row, gMods.lastError);
        line += kRowH;
    }
    const char *p = gMods.lastOutput;
    while (*p && line + 9.0f < box.y + box.height) {
        int len = 0;
        while (p[len] && p[len] != '\n' && len < kOutputLineChars) len++;
        if (len > 0) {
            char text[kOutputLineChars + 1];
            memcpy(text, p, (size_t)len);
            text[len] = '\0';
            row.y = line;
            GuiLabel(row, text);
            line += kRowH - 6.75f;
        }
        p += len;
        if (*p == '\n') p++;
    }
    // The panel's own clipping comes back for whatever it draws after the tab.
    BeginScissorMode((int)place.view.x, (int)place.view.y, (int)place.view.width, (int)place.view.height);
    return box.y + box.height > y ? box.y + box.height : y;
}

int ModToolSelect(UiState &ui, int mod, int tool, bool on)
{
    ModTool *t = ModToolAt(mod, tool);
    if (!t) return 0;
    if (!t->loaded) {
        StatusSet(ui, "%s: %s", t->name, t->prog.error);
        return 0;
    }
    if (on) {
        gMods.activeMod = mod;
        gMods.activeTool = tool;
        t->frame = 0;
        ui.activeTool = TOOL_MOD;
        StatusSet(ui, "Tool '%s' selected (%s)", t->name, gMods.mods[mod].name);
    } else {
        Deselect(ui);
        StatusSet(ui, "Tool '%s' deselected", t->name);
    }
    return 1;
}

int ModToolRunOnce(MapDoc *map, UiState &ui, int mod, int tool)
{
    ModTool *t = ModToolAt(mod, tool);
    if (!t) return 0;
    if (!t->loaded) {
        StatusSet(ui, "%s: %s", t->name, t->prog.error);
        return 0;
    }
    PushUndoState(map);
    int ok = RunModTool(mod, tool, map, ui.selBrush, ui.selEntity);
    if (ok) StatusSet(ui, "Ran '%s' (%s)", t->name, gMods.mods[mod].name);
    else StatusSet(ui, "%s", gMods.lastError);
    DropStaleSelection(map, ui);
    VtxClearSelection();
    return ok;
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// A script may have removed the selected objects: no selection may point past the tables.
static void DropStaleSelection(const MapDoc *map, UiState &ui)
{
    if (ui.selBrush >= 0 && !MapBrushValid(map, ui.selBrush)) ui.selBrush = -1;
    if (ui.selEntity >= 0 && !MapEntityValid(map, ui.selEntity)) ui.selEntity = -1;
}

static void Deselect(UiState &ui)
{
    gMods.activeMod = -1;
    gMods.activeTool = -1;
    ui.activeTool = TOOL_SELECT;
}
