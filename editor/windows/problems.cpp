// problems.cpp: the problem report window and its repair.
#include "editor/windows/problems.h"

#include <cstring>

#include "document/brush_geometry.h"
#include "document/problem_check.h"
#include "document/topology.h"
#include "document/undo.h"
#include "editor/input.h"
#include "editor/gui.h"
#include "editor/widgets.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static constexpr float kWinW = 855.0f, kWinH = 540.0f;
static constexpr float kRowW = 774.0f, kRowH = 40.5f;

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static int CountReversedFaces(const Brush *before, const Brush *after);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void ProblemReportDialog(MapDoc *map, UiState &ui)
{
    // Centred without a clamp: on a small screen the corner lies off it.
    float x0 = ((float)ui.screenW - kWinW) / 2.0f, y0 = ((float)ui.screenH - kWinH) / 2.0f;
    Rectangle win = { x0, y0, kWinW, kWinH };
    GuiDrawRectangleExt(win, 2, Color{ 80, 80, 80, 255 }, Color{ 200, 200, 200, 255 });
    GuiStatusBar(Rectangle{ x0, y0, kWinW, 54.0f }, "Check For Problems  (Alt+P)");

    const MapProblemReport &r = ui.problemReport;
    int total = r.nonPlanar + r.degenerate + r.coincident + r.orphaned + r.emptyBrushes;
    float x = x0 + 40.5f, y = y0 + 76.5f;
    auto row = [&](float down, const char *text) {
        y += down;
        GuiLabel(Rectangle{ x, y, kRowW, kRowH }, text);
    };
    row(0.0f, total == 0 ? "No problems found." : TextFormat("%d problem(s) found:", total));
    row(49.5f, TextFormat("Non-planar (bent) faces: %d", r.nonPlanar));
    row(40.5f, TextFormat("Degenerate faces: %d", r.degenerate));
    row(40.5f, TextFormat("Coincident vertices: %d", r.coincident));
    row(40.5f, TextFormat("Orphaned vertices: %d", r.orphaned));
    row(40.5f, TextFormat("Empty brushes: %d", r.emptyBrushes));
    row(49.5f, "Bent faces come from free vertex editing.");
    row(36.0f, "Fix by splitting them (Ctrl+F) or welding.");

    float buttonW = (kWinW - 112.5f) / 2.0f, buttonY = y0 + kWinH - 67.5f;
    if (GuiButton(Rectangle{ x0 + 40.5f, buttonY, buttonW, 54.0f }, "Auto-Fix All")) AutoFixAll(map, ui);
    if (GuiButton(Rectangle{ x0 + 72.0f + buttonW, buttonY, buttonW, 54.0f }, "Close") || IsKeyPressed(KEY_ENTER)) {
        ui.showProblems = false;
    }
}

int AutoFixAll(MapDoc *map, UiState &ui)
{
    // The repair is worked out on copies first: the snapshot must hold the map as it was, and a
    // repair that changes nothing takes none.
    static Brush fixedBrush[kMaxBrushes];
    static bool take[kMaxBrushes];
    int weldedVerts = 0, reversed = 0, changed = 0, refused = 0;
    int count = ClampCount(map->brushCount, kMaxBrushes);
    for (int i = 0; i < count; i++) {
        Brush &work = fixedBrush[i];
        work = map->brushes[i];
        int merged = BrushWeldVerts(&work, kAutoFixWeld);
        Brush welded = work;
        BrushFixWinding(&work);
        take[i] = memcmp(&work, &map->brushes[i], sizeof(Brush)) != 0;
        // A weld can fold a thin brush flat or open it: such a brush keeps its problems instead.
        if (take[i] && (!BrushIsClosed(&work) || work.faceCount < kMinSolidFaces)) {
            take[i] = false;
            refused++;
        }
        if (!take[i]) continue;
        weldedVerts += merged;
        reversed += CountReversedFaces(&welded, &work);
        changed++;
    }
    if (changed > 0) {
        PushUndoState(map);
        for (int i = 0; i < count; i++) {
            if (take[i]) map->brushes[i] = fixedBrush[i];
        }
    }
    CheckMapProblems(&ui.problemReport, map);
    if (refused > 0) {
        StatusSet(ui, "Welded %d duplicate vertices and fixed winding of %d face(s); %d brush(es) left as they were.",
                  weldedVerts, reversed, refused);
    } else {
        StatusSet(ui, "Welded %d duplicate vertices and fixed winding of %d face(s).", weldedVerts, reversed);
    }
    return changed;
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// Faces whose winding BrushFixWinding turned round (it keeps the faces and their order).
static int CountReversedFaces(const Brush *before, const Brush *after)
{
    int count = 0;
    for (int f = 0; f < ClampCount(after->faceCount, kMaxBrushFaces); f++) {
        if (memcmp(before->faces[f].indices, after->faces[f].indices, sizeof(after->faces[f].indices)) != 0) count++;
    }
    return count;
}
