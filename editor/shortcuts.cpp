// shortcuts.cpp: help, tool switching, the problem check, flips, the grid step, hiding, centring,
// display switches, the brush and entity clipboard, undo and redo, and subdivision.
#include "editor/shortcuts.h"

#include <cmath>
#include <cstdio>

#include "raymath.h"
#include "document/problem_check.h"
#include "document/selection.h"
#include "document/settings.h"
#include "document/topology.h"
#include "document/undo.h"
#include "editor/input.h"
#include "editor/cameras.h"
#include "editor/layout.h"
#include "editor/tools/select.h"
#include "editor/tools/vertex.h"

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static void FlipSelected(MapDoc *map, UiState &ui, int axis);
static void HideSelected(MapDoc *map, UiState &ui);
static int UnhideAll(MapDoc *map);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void ShortcutsPhase(MapDoc *map, UiState &ui)
{
    if (!InputGateOpen(ui)) return;
    bool ctrl = ui.ctrlHeld, shift = ui.shiftHeld;
    bool alt = IsKeyDown(KEY_LEFT_ALT) || IsKeyDown(KEY_RIGHT_ALT);
    // S and D also steer the fly camera: while it flies they are the camera's.
    bool flying = FlyCameraActive(ui, GetMousePosition());

    if (IsKeyPressed(KEY_F1)) ui.showHelp = !ui.showHelp;
    if (IsKeyPressed(KEY_V) && !ctrl) ui.activeTool = TOOL_VERTEX;
    if (IsKeyPressed(KEY_ESCAPE) && !ui.escConsumed && ui.xform.transformMode == XFORM_NONE) ui.activeTool = TOOL_SELECT;
    if (IsKeyPressed(KEY_P) && alt) {
        CheckMapProblems(&ui.problemReport, map);
        ui.showProblems = true;
    }
    if (IsKeyPressed(KEY_L) && ctrl) FlipSelected(map, ui, 0);
    if (IsKeyPressed(KEY_I) && ctrl) FlipSelected(map, ui, 1);
    if (IsKeyPressed(KEY_LEFT_BRACKET) || IsKeyPressed(KEY_RIGHT_BRACKET)) {
        if (IsKeyPressed(KEY_LEFT_BRACKET)) SettingsSetGridStep(GridStepAfter(gSettings.gridStep, false));
        if (IsKeyPressed(KEY_RIGHT_BRACKET)) SettingsSetGridStep(GridStepAfter(gSettings.gridStep, true));
        StatusSet(ui, "Grid: %.4g", gSettings.gridStep);
    }
    if (IsKeyPressed(KEY_H)) {
        if (ctrl) {
            StatusSet(ui, "Unhid %d object(s).", UnhideAll(map));
        } else {
            HideSelected(map, ui);
        }
    }
    if (IsKeyPressed(KEY_C) && !ctrl && CentreViewsOnSelection(map, ui)) {
        StatusSet(ui, "Centred all views on the selection.");
    }
    if (IsKeyPressed(KEY_K) && !ctrl) {
        SettingsSetLighting(!gSettings.lighting);
        StatusSet(ui, "Lighting %s.", gSettings.lighting ? "ON" : "OFF");
    }
    if (IsKeyPressed(KEY_J) && !ctrl) {
        SettingsSetGizmoIcons(!gSettings.gizmoIcons);
        StatusSet(ui, "Gizmo icons %s.", gSettings.gizmoIcons ? "ON" : "OFF");
    }
    if (IsKeyPressed(KEY_C) && ctrl) {
        if (!CopySelection(map, ui)) StatusSet(ui, "Nothing selected to copy.");
    }
    bool duplicate = IsKeyPressed(KEY_D) && !flying;
    if (ctrl && (IsKeyPressed(KEY_V) || duplicate)) PasteClipboard(map, ui, duplicate);
    if (IsKeyPressed(KEY_Z) && ctrl) UndoStep(map, ui, false);
    if (IsKeyPressed(KEY_Y) && ctrl) UndoStep(map, ui, true);
    if (IsKeyPressed(KEY_S) && shift && !flying && MapBrushValid(map, ui.selBrush)) SubdivideSelected(map, ui);
}

float GridStepAfter(float step, bool up)
{
    if (up) return fminf(step * 2.0f, kMaxGridStep);
    return fmaxf(step * 0.5f, kMinGridStep);
}

int CopySelection(const MapDoc *map, UiState &ui)
{
    if (MapBrushValid(map, ui.selBrush)) {
        ui.brushClipboard = map->brushes[ui.selBrush];
        ui.clipboardHasBrush = true;
        ui.clipboardHasEntity = false;
        StatusSet(ui, "Copied Brush #%d", ui.selBrush);
        return 1;
    }
    if (MapEntityValid(map, ui.selEntity)) {
        ui.entityClipboard = map->entities[ui.selEntity];
        ui.clipboardHasEntity = true;
        ui.clipboardHasBrush = false;
        StatusSet(ui, "Copied Entity #%d", ui.selEntity);
        return 1;
    }
    return 0;
}

int PasteClipboard(MapDoc *map, UiState &ui, bool duplicate)
{
    TransformCancel(map, ui);   // the selection moves to the copy
    if (duplicate) CopySelection(map, ui);
    const char *verb = duplicate ? "Duplicated" : "Pasted";
    float offset = fmaxf(kPasteOffsetGrids * gSettings.gridStep, kMinPasteOffset);

    if (!ui.clipboardHasBrush && !ui.clipboardHasEntity) {
        StatusSet(ui, "Clipboard is empty.");
        return 0;
    }
    bool brush = ui.clipboardHasBrush;
    int index = brush ? ClampCount(map->brushCount, kMaxBrushes) : ClampCount(map->entityCount, kMaxEntities);
    if (index >= (brush ? kMaxBrushes : kMaxEntities)) {
        StatusSet(ui, "Object limit reached.");
        return 0;
    }
    PushUndoState(map);
    if (brush) {
        Brush *b = &map->brushes[index];
        *b = ui.brushClipboard;
        b->origin.x += offset;
        b->origin.z += offset;
        snprintf(b->name, sizeof(b->name), "Brush_%d", index);
        map->brushCount = index + 1;
        ui.selBrush = index;
        ui.selEntity = -1;
        VtxClearSelection();
    } else {
        Entity *e = &map->entities[index];
        *e = ui.entityClipboard;
        e->position.x += offset;
        e->position.z += offset;
        snprintf(e->name, sizeof(e->name), "Entity_%d", index);
        map->entityCount = index + 1;
        ui.selEntity = index;
        ui.selBrush = -1;
    }
    StatusSet(ui, "%s %s -> #%d", verb, brush ? "Brush" : "Entity", index);
    return 1;
}

int CentreViewsOnSelection(const MapDoc *map, UiState &ui)
{
    Vector3 centre;
    if (MapBrushValid(map, ui.selBrush)) {
        BoundingBox box = GetBrushBoundingBox(&map->brushes[ui.selBrush]);
        centre = Vector3Scale(Vector3Add(box.min, box.max), 0.5f);
    } else if (MapEntityValid(map, ui.selEntity)) {
        centre = map->entities[ui.selEntity].position;
    } else {
        return 0;
    }
    Vector3 offset = Vector3Subtract(ui.cam3D.position, ui.cam3D.target);
    ui.cam3D.target = centre;
    ui.cam3D.position = Vector3Add(centre, offset);
    FlyHeadingFromCamera(ui.cam3D, &ui.flyYaw, &ui.flyPitch);
    Follow2DCameras(ui);
    return 1;
}

int UndoStep(MapDoc *map, UiState &ui, bool redo)
{
    // A running transform is cancelled first, so the state kept for Redo is the untransformed one.
    TransformCancel(map, ui);
    if (!(redo ? Redo(map) : Undo(map))) return 0;
    ui.selBrush = -1;
    ui.selEntity = -1;
    VtxClearActive();
    VertexToolForget(ui);   // a picked edge or drag of the replaced state must not act on this one
    StatusSet(ui, "%s", redo ? "Redo performed." : "Undo performed.");
    return 1;
}

int SubdivideSelected(MapDoc *map, UiState &ui)
{
    if (!MapBrushValid(map, ui.selBrush)) return 0;
    TransformCancel(map, ui);
    // Subdivide first and keep the result only when it fitted: the snapshot must hold the brush
    // as it was, and a refusal must leave no undo step behind.
    Brush before = map->brushes[ui.selBrush];
    if (!SubdivideBrush(map, ui.selBrush)) {
        StatusSet(ui, "Cannot subdivide Brush #%d: it would pass %d vertices or %d faces.", ui.selBrush, kMaxBrushVerts,
                 kMaxBrushFaces);
        return 0;
    }
    Brush after = map->brushes[ui.selBrush];
    map->brushes[ui.selBrush] = before;
    PushUndoState(map);
    map->brushes[ui.selBrush] = after;
    StatusSet(ui, "Subdivided Brush #%d", ui.selBrush);
    return 1;
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
static void FlipSelected(MapDoc *map, UiState &ui, int axis)
{
    if (!MapBrushValid(map, ui.selBrush)) return;
    TransformCancel(map, ui);
    Brush flipped = map->brushes[ui.selBrush];
    if (!BrushFlip(&flipped, axis)) return;   // a damaged brush stays as it is, with no undo step
    PushUndoState(map);
    map->brushes[ui.selBrush] = flipped;
    StatusSet(ui, "%s",
             axis == 0 ? "Flipped brush horizontally (X)." : "Flipped brush vertically (Y).");
}

static void HideSelected(MapDoc *map, UiState &ui)
{
    if (MapBrushValid(map, ui.selBrush)) {
        TransformCancel(map, ui);
        map->brushes[ui.selBrush].hidden = 1;
        ui.selBrush = -1;
        StatusSet(ui, "Hid brush. Ctrl+H unhides everything.");
    } else if (MapEntityValid(map, ui.selEntity)) {
        TransformCancel(map, ui);
        map->entities[ui.selEntity].hidden = 1;
        ui.selEntity = -1;
        StatusSet(ui, "Hid entity. Ctrl+H unhides everything.");
    }
}

// Shows every hidden brush and entity again; returns how many were hidden.
static int UnhideAll(MapDoc *map)
{
    int shown = 0;
    for (int i = 0; i < ClampCount(map->brushCount, kMaxBrushes); i++) {
        if (map->brushes[i].hidden) shown++;
        map->brushes[i].hidden = 0;
    }
    for (int i = 0; i < ClampCount(map->entityCount, kMaxEntities); i++) {
        if (map->entities[i].hidden) shown++;
        map->entities[i].hidden = 0;
    }
    return shown;
}
