// merge_prompt.cpp: the Merge Vertices prompt after a drop that landed vertices on others.
#include "editor/windows/merge_prompt.h"

#include <cstdio>

#include "document/selection.h"
#include "document/topology.h"
#include "editor/input.h"
#include "editor/gui.h"
#include "editor/widgets.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static constexpr float kPromptW = 765.0f, kPromptH = 337.5f;
static constexpr float kPromptButtonW = 247.5f, kPromptButtonH = 58.5f;
static constexpr unsigned char kPromptVeilAlpha = 110;

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void DrawMergePrompt(MapDoc *map, UiState &ui)
{
    if (!ui.mergePrompt) return;
    Rectangle win = ModalWindowRect(ui.screenW, ui.screenH, kPromptW, kPromptH);
    DrawModalFrame(ui.screenW, ui.screenH, win, kPromptVeilAlpha, "Merge Vertices");
    char line[64];
    snprintf(line, sizeof(line), "%d vertex/vertices landed on another.", ui.mergeCount);
    GuiLabel(Rectangle{ win.x + 45.0f, win.y + 85.5f, win.width - 90.0f, 45.0f }, line);
    GuiLabel(Rectangle{ win.x + 45.0f, win.y + 130.5f, win.width - 90.0f, 45.0f }, "Weld them into single points?");
    float y = win.y + 225.0f;
    bool merge = GuiButton(Rectangle{ win.x + 101.25f, y, kPromptButtonW, kPromptButtonH }, "Merge");
    bool keep = GuiButton(Rectangle{ win.x + 416.25f, y, kPromptButtonW, kPromptButtonH }, "Keep Separate");
    // A text box beneath the prompt may hold the keyboard; its letters are not answers.
    bool keys = !ui.uiBlocksInput;
    if (merge || (keys && (IsKeyPressed(KEY_ENTER) || IsKeyPressed(KEY_Y)))) MergePromptMerge(map, ui);
    else if (keep || (keys && IsKeyPressed(KEY_N))) MergePromptKeep(ui);
}

int MergePromptMerge(MapDoc *map, UiState &ui)
{
    int removed = 0, refused = -1;
    int entries = ClampCount(ui.mergeCount, kMaxMergeBrushes);
    for (int e = 0; e < entries; e++) {
        int b = ui.mergeBrushes[e];
        if (!MapBrushValid(map, b)) continue;
        bool first = true;   // each brush is welded once, with all of its entries
        for (int k = 0; k < e && first; k++) first = ui.mergeBrushes[k] != b;
        if (!first) continue;

        Brush work = map->brushes[b];
        int count = ClampCount(work.vertCount, kMaxBrushVerts);
        int onto[kMaxBrushVerts];
        for (int i = 0; i < count; i++) onto[i] = i;
        for (int k = e; k < entries; k++) {
            int v = ui.mergeVerts[k], u = ui.mergeOnto[k];
            if (ui.mergeBrushes[k] != b || v < 0 || v >= count || u < 0 || u >= count || v == u) continue;
            if (onto[v] != v || onto[u] != u) continue;   // an entry no longer fits the brush
            onto[v] = u;
        }
        int merged = BrushMergeVerts(&work, onto);
        if (merged > 0) {
            map->brushes[b] = work;
            removed += merged;
        } else if (refused < 0) {
            refused = b;
        }
    }
    VtxClearSelection();
    MergePromptClose(ui);
    if (refused >= 0) {
        StatusSet(ui, "Welded: %d vertex/vertices removed; Brush #%d would not stay a closed solid.", removed, refused);
    } else {
        StatusSet(ui, "Welded: %d vertex/vertices removed.", removed);
    }
    return removed;
}

void MergePromptKeep(UiState &ui)
{
    MergePromptClose(ui);
    StatusSet(ui, "Left vertices separate.");
}

void MergePromptCancel(UiState &ui)
{
    MergePromptClose(ui);
    StatusSet(ui, "Merge cancelled.");
}

void MergePromptClose(UiState &ui)
{
    ui.mergePrompt = false;
    ui.mergeCount = 0;
}
