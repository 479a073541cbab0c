// mod_tools.cpp: the MODS list of the left panel, the mode tool's frame and the one-shot runs.
#include "editor/tools/mod_tools.h"

#include <cstdio>
#include <cstring>

#include "document/selection.h"
#include "document/undo.h"
#include "editor/input.h"
#include "editor/gui.h"
#include "script/mods.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
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
    // The press the tool stopped on was its own: the Select tool it hands over to must not take
    // it too, nor overwrite the line that says why the tool stopped.
    if ((!ok || gMods.exitRequested) && ToolLeftPress(ui)) ui.modClickConsumed = true;
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

