// help.cpp: the Help window.
#include "editor/windows/help.h"

#include "editor/gui.h"
#include "editor/layout.h"
#include "editor/widgets.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static constexpr float kTextTop = 63.0f;
static constexpr float kTextBottom = 76.5f;       // below the text: the Close button's room
static constexpr int kLineSlots = 30;             // the height leaves room for 30 lines

static const char *const kHelpLines[] = {
    "-- VIEW --",
    "RMB + WASD/Q/E: fly the 3D view    C: centre on selection",
    "Wheel: zoom 2D views    [ / ]: halve / double grid",
    "H: hide selection    Ctrl+H: unhide all    J: gizmos",
    "Render button: lighting, shadows, SSAO and sky preview",
    "",
    "-- EDIT --",
    "G / R / T: grab, rotate, scale   X/Y/Z locks an axis",
    "Ctrl+C / V / D: copy, paste, duplicate",
    "Ctrl+Z / Ctrl+Y: undo, redo    Del: delete selection",
    "Ctrl+L / Ctrl+I: flip brush horizontally / vertically",
    "Alt+P: check for bent or degenerate faces",
    "",
    "-- MORPH MODE (V) --",
    "Click a solid to activate   Ctrl+Click adds more solids",
    "1 / 2 / 3: vertex, edge or face sub-mode",
    "Drag handles in any viewport   Ctrl+Click multi-selects",
    "Click same spot again: cycle stacked handles",
    "Alt+Click (2D): grab every handle under the cursor",
    "Drag empty space: box select (Enter or release commits)",
    "Ctrl+A / Ctrl+Shift+A: select or clear all handles",
    "Ctrl+B snap   Ctrl+M weld   Del collapse to a point",
    "Ctrl+F: split a quad face along its diagonal",
    "Ctrl+E (edge): insert a vertex at the midpoint",
    "Ctrl+Shift+E extrude   Ctrl+U subdivide   (face mode)",
    "Shift+drag in face mode slides along the face normal",
    "Drop a handle onto another to weld them",
    "",
    "ESC: cancel a transform or close a popup. Never quits.",
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

void HelpWindow(UiState &ui)
{
    Rectangle r = HelpWindowRect(ui.screenW, ui.screenH);
    DrawModalFrame(ui.screenW, ui.screenH, r, 0, "Help & Keybindings");
    if (GuiButton(Rectangle{ r.x + r.width - 49.5f, r.y + 4.5f, 45.0f, 45.0f }, "X")) ui.showHelp = false;
    float lineH = (r.height - kTextTop - kTextBottom) / (float)kLineSlots;
    int k = 0;
    for (const char *line : kHelpLines) {
        GuiLabel(Rectangle{ r.x + 40.5f, r.y + kTextTop + (float)k * lineH, r.width - 81.0f, lineH }, line);
        k++;
    }
    if (GuiButton(Rectangle{ r.x + (r.width - 180.0f) / 2.0f, r.y + r.height - 63.0f, 180.0f, 49.5f }, "Close")) {
        ui.showHelp = false;
    }
}
