// mods_tab.cpp: the Mods tab: the packages and their tools, Reload Mods and the Last Run box.
#include "editor/panels/right_panel.h"

#include "editor/gui.h"
#include "editor/input.h"
#include "script/mods.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static constexpr float kRowH = 40.5f;
static constexpr float kOutputH = 180.0f;
static constexpr float kLastRunAbove = 252.0f;   // the Last Run label above the bottom
static constexpr float kListStopAbove = 270.0f;  // the package list stops this far above it
static constexpr int kOutputLineChars = 95;
static constexpr float kRowStep = kRowH - 4.5f;  // from a tool or error row to the next
static constexpr float kListTop = kRowH + 4.5f + 58.5f;   // below the count and Reload Mods
static constexpr int kHintLines = 3;
// The scan reads the working folder's mods folder, so that is where the hint points.
static const char *const kHint[kHintLines] = { "No mods found.", "Put them in mods/<name>/",
                                               "with a mod.txt and .asm scripts." };
static constexpr Color kOutputBorder = { 90, 92, 100, 255 };
static constexpr Color kOutputFill = { 24, 25, 30, 255 };

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static int AddModsRow(ModsListLayout *layout, ModsListRow row);
static Rectangle ModsRowRect(const PanelPlace &place, float indent, float y);
static void DrawModsRow(const ModsListRow &row);
static Rectangle LastRunBox(const PanelPlace &place);
static float ContentBottom(const PanelPlace &place, const ModsListLayout &layout);

float DrawModsTab(UiState &ui, const PanelPlace &place)
{
    float x0 = place.x, y = place.y, w = place.w - 54.0f;
    GuiLabel(Rectangle{ x0 + 27.0f, y, w, kRowH }, TextFormat("%d mod(s) loaded", gMods.count));
    y += kRowH + 4.5f;
    if (GuiButton(Rectangle{ x0 + 27.0f, y, w, 45.0f }, "Reload Mods")) {
        ScanMods();
        StatusSet(ui, "Reloaded mods: %d package(s).", gMods.count);
    }

    ModsListLayout layout;
    ModsListLayoutBuild(&layout, place);
    for (int i = 0; i < layout.count; i++) DrawModsRow(layout.rows[i]);

    Rectangle heading = ModsLastRunHeading(place);
    GuiLabel(heading, "--- Last Run ---");
    Rectangle box = LastRunBox(place);
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
            row.y = line;
            GuiLabelPart(row, p, len);
            line += kRowH - 6.75f;
        }
        p += len;
        if (*p == '\n') p++;
    }
    // The panel's own clipping comes back for whatever it draws after the tab.
    BeginScissorMode((int)place.view.x, (int)place.view.y, (int)place.view.width, (int)place.view.height);
    return ContentBottom(place, layout);
}

void ModsListLayoutBuild(ModsListLayout *layout, const PanelPlace &place)
{
    layout->count = 0;
    float y = place.y + kListTop;
    // The stop holds where the list lies unscrolled: a scrolled list would take rows the tab
    // cannot show at rest, and its content would follow the scroll.
    float listEnd = place.top + place.height - kListStopAbove - place.scroll;
    bool full = false;
    for (int m = 0; m < gMods.count && m < kMaxMods && !full && y <= listEnd; m++) {
        const ModPackage &package = gMods.mods[m];
        full = !AddModsRow(layout, ModsListRow{ MODS_ROW_PACKAGE, m, -1, 0, 0, ModsRowRect(place, 27.0f, y) });
        y += kRowH;
        for (int t = 0; t < package.toolCount && t < kMaxModTools && !full; t++) {
            // The tool and its whole error, or nothing of it: rows laid out past the end go again.
            int mark = layout->count;
            float top = y, last = y;
            const ModTool &tool = package.tools[t];
            bool kept = AddModsRow(layout, ModsListRow{ MODS_ROW_TOOL, m, t, 0, 0, ModsRowRect(place, 49.5f, y) });
            y += kRowStep;
            for (int at = 0; kept && !tool.loaded;) {
                Rectangle rect = ModsRowRect(place, 72.0f, y);
                int next = 0;
                int length = LabelWrapLine(tool.prog.error + at, rect.width, &next);
                kept = AddModsRow(layout, ModsListRow{ MODS_ROW_ERROR, m, t, at, length, rect });
                last = y;
                y += kRowStep;
                at += next;
                if (tool.prog.error[at] == '\0') break;   // an empty error still has its row
            }
            if (!kept || last > listEnd) {
                layout->count = mark;
                y = top;
                full = true;
            }
        }
        y += 9.0f;
    }
    if (gMods.count == 0) {
        for (int k = 0; k < kHintLines; k++) {
            AddModsRow(layout, ModsListRow{ MODS_ROW_HINT, -1, k, 0, 0, ModsRowRect(place, 27.0f, y) });
            y += kRowH;
        }
    }
    layout->bottom = y;
}

Rectangle ModsLastRunHeading(const PanelPlace &place)
{
    return Rectangle{ place.x + 27.0f, place.top + place.height - kLastRunAbove, place.w - 54.0f, kRowH };
}

float ModsTabContentBottom(const PanelPlace &place)
{
    ModsListLayout layout;
    ModsListLayoutBuild(&layout, place);
    return ContentBottom(place, layout);
}

// Appends a row; 0 when the layout is full.
static int AddModsRow(ModsListLayout *layout, ModsListRow row)
{
    if (layout->count >= kModsListRowsMax) return 0;
    layout->rows[layout->count++] = row;
    return 1;
}

// A list row indented from the panel's left edge, ending 27 short of its right edge.
static Rectangle ModsRowRect(const PanelPlace &place, float indent, float y)
{
    return Rectangle{ place.x + indent, y, place.w - indent - 27.0f, kRowH };
}

static void DrawModsRow(const ModsListRow &row)
{
    if (row.kind == MODS_ROW_HINT) {
        GuiLabel(row.rect, kHint[row.tool]);
        return;
    }
    const ModPackage &package = gMods.mods[row.mod];
    if (row.kind == MODS_ROW_PACKAGE) {
        GuiLabel(row.rect, TextFormat("%s  by %s", package.name, package.author[0] ? package.author : "?"));
        return;
    }
    const ModTool &tool = package.tools[row.tool];
    if (row.kind == MODS_ROW_TOOL) GuiLabel(row.rect, TextFormat("%s %s", tool.loaded ? "[ok]" : "[!!]", tool.name));
    else GuiLabelPart(row.rect, tool.prog.error + row.start, row.length);
}

// The Last Run output box under its heading.
static Rectangle LastRunBox(const PanelPlace &place)
{
    Rectangle heading = ModsLastRunHeading(place);
    return Rectangle{ heading.x, heading.y + kRowH, heading.width, kOutputH };
}

// The box stays put whatever the scroll: it counts as content where it lies unscrolled.
static float ContentBottom(const PanelPlace &place, const ModsListLayout &layout)
{
    Rectangle box = LastRunBox(place);
    float boxBottom = box.y + box.height - place.scroll;
    return boxBottom > layout.bottom ? boxBottom : layout.bottom;
}
