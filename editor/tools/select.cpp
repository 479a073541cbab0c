// select.cpp: click selection, Delete, and the grab, rotate and scale transforms.
#include "editor/tools/select.h"

#include <cmath>
#include <cstdio>

#include "raymath.h"
#include "document/brush_geometry.h"
#include "document/map_limits.h"
#include "document/selection.h"
#include "document/settings.h"
#include "document/topology.h"
#include "document/undo.h"
#include "document/view_mapping.h"
#include "editor/input.h"
#include "editor/layout.h"
#include "editor/widgets.h"

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static void SelectBrush(MapDoc *map, UiState &ui, int brush, bool additive);
static bool TransformTargetValid(const MapDoc *map, const UiState &ui);
static float ScaleBrush(Brush *brush, const UiState &ui, float f);
static const char *OnOff(bool on);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void ClickSelectPhase(MapDoc *map, UiState &ui)
{
    if (!InputGateOpen(ui) || ui.vertexClickConsumed || ui.textureClickConsumed || ui.modClickConsumed ||
        ui.vertex.vertexDragging) return;
    if (ui.xform.transformMode != XFORM_NONE || !ToolLeftPress(ui)) return;
    bool additive = ui.activeTool == TOOL_VERTEX && ui.ctrlHeld;

    const Rectangle &view3D = ui.viewRect[VIEW_3D];
    if (CheckCollisionPointRec(ui.mouse, view3D)) {
        if (IsMouseOverCameraGizmo(ui.mouse, view3D)) return;   // the widget's click
        Ray ray = PickRay3D(ui);
        int brush = PickBrush3D(map, ray);
        if (brush >= 0) {
            SelectBrush(map, ui, brush, additive);
            return;
        }
        if (ui.activeTool == TOOL_VERTEX) return;
        int entity = PickEntity3D(map, ray);
        if (entity < 0) return;
        ui.selEntity = entity;
        ui.selBrush = -1;
        VtxClearActive();
        StatusSet(ui, "Selected Entity #%d (%s)", entity,
                 map->entities[entity].className);
        return;
    }

    if (ui.activeTool != TOOL_SELECT && ui.activeTool != TOOL_VERTEX) return;
    for (int v = VIEW_TOP; v <= VIEW_SIDE; v++) {
        if (!CheckCollisionPointRec(ui.mouse, ui.viewRect[v])) continue;
        Vector3 p = ScreenToOrthoWorld(ui.mouse, ui.viewRect[v], ui.cam2D[v - 1], ui.orthoZoom, v);
        int brush = PickBrush2D(map, p, v);
        if (brush >= 0) SelectBrush(map, ui, brush, additive);
        return;
    }
}

void DeleteAndTransformPhase(MapDoc *map, UiState &ui)
{
    TransformState &xform = ui.xform;
    if (!InputGateOpen(ui)) return;
    // Whatever changed the selection under a running transform (a script, a panel) ended it: its
    // saved values belong to another object.
    if (xform.transformMode != XFORM_NONE && !TransformTargetValid(map, ui)) TransformDrop(ui);

    bool brushSelected = MapBrushValid(map, ui.selBrush), entitySelected = MapEntityValid(map, ui.selEntity);
    if (!brushSelected && !entitySelected) return;

    // A Backspace that removed a cut line or a queued cut was the Clip tool's alone.
    bool backspace = IsKeyPressed(KEY_BACKSPACE) && !ui.clip.clipBackspaceUsed;
    if ((IsKeyPressed(KEY_DELETE) || backspace) && ui.activeTool != TOOL_VERTEX) {
        TransformCancel(map, ui);
        PushUndoState(map);
        if (brushSelected) {
            MapRemoveBrush(map, ui.selBrush);
            ui.selBrush = -1;
            StatusSet(ui, "Deleted Brush");
        } else {
            MapRemoveEntity(map, ui.selEntity);
            ui.selEntity = -1;
            StatusSet(ui, "Deleted Entity");
        }
        return;
    }

    if (xform.transformMode == XFORM_NONE) {
        if (ui.activeTool == TOOL_VERTEX) return;
        // One key, one snapshot: of several pressed together the last of G, R, T wins.
        int mode = XFORM_NONE;
        if (IsKeyPressed(KEY_G)) mode = XFORM_GRAB;
        if (IsKeyPressed(KEY_R)) mode = XFORM_ROTATE;
        if (IsKeyPressed(KEY_T)) mode = XFORM_SCALE;
        if (mode != XFORM_NONE) TransformBegin(map, ui, mode, ui.mouse);
        return;
    }

    ui.transformInputUsed = true;
    if (IsKeyPressed(KEY_X)) xform.axisLock = AXIS_X;
    if (IsKeyPressed(KEY_Y)) xform.axisLock = AXIS_Y;
    if (IsKeyPressed(KEY_Z)) xform.axisLock = AXIS_Z;
    TransformUpdate(map, ui, ui.mouse);

    bool leftOutside3D = ToolLeftPress(ui) && !CheckCollisionPointRec(ui.mouse, ui.viewRect[VIEW_3D]);
    if (IsKeyPressed(KEY_ENTER) || leftOutside3D) {
        xform.transformMode = XFORM_NONE;
        StatusSet(ui, "Transform Applied.");
    } else if ((IsKeyPressed(KEY_ESCAPE) && !ui.escConsumed) || IsMouseButtonPressed(MOUSE_BUTTON_RIGHT)) {
        TransformCancel(map, ui);
    }
}

int PickBrush3D(const MapDoc *map, Ray ray)
{
    int best = -1;
    float bestDistance = kBrushPickFar;
    int count = ClampCount(map->brushCount, kMaxBrushes);
    for (int i = 0; i < count; i++) {
        if (map->brushes[i].hidden) continue;
        float d = kRayFar;
        if (RayBrushHit(ray, &map->brushes[i], &d) && d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

int PickEntity3D(const MapDoc *map, Ray ray)
{
    int best = -1;
    float bestDistance = kBrushPickFar;
    int count = ClampCount(map->entityCount, kMaxEntities);
    for (int i = 0; i < count; i++) {
        const Entity *e = &map->entities[i];
        if (e->hidden) continue;
        Vector3 p = e->position;
        BoundingBox box = { Vector3{ p.x - kEntityPickHalf, p.y - kEntityPickHalf, p.z - kEntityPickHalf },
                            Vector3{ p.x + kEntityPickHalf, p.y + kEntityPickUp, p.z + kEntityPickHalf } };
        RayCollision hit = GetRayCollisionBox(ray, box);
        if (hit.hit && hit.distance < bestDistance) {
            bestDistance = hit.distance;
            best = i;
        }
    }
    return best;
}

int PickBrush2D(const MapDoc *map, Vector3 p, int view)
{
    int best = -1;
    float bestVolume = 0.0f;
    int count = ClampCount(map->brushCount, kMaxBrushes);
    for (int i = 0; i < count; i++) {
        if (map->brushes[i].hidden) continue;
        BoundingBox b = GetBrushBoundingBox(&map->brushes[i]);
        bool inX = p.x >= b.min.x && p.x <= b.max.x;
        bool inY = p.y >= b.min.y && p.y <= b.max.y;
        bool inZ = p.z >= b.min.z && p.z <= b.max.z;
        bool inside = (view == VIEW_TOP) ? (inX && inZ) : (view == VIEW_FRONT) ? (inX && inY) : (inZ && inY);
        if (!inside) continue;
        float volume = (b.max.x - b.min.x) * (b.max.y - b.min.y) * (b.max.z - b.min.z);
        if (best < 0 || volume < bestVolume) {
            best = i;
            bestVolume = volume;
        }
    }
    return best;
}

Vector3 GrabOffset(Vector2 d, int axisLock, float step)
{
    float gx = SnapStep(kGrabPerPixel * d.x, step);
    float gy = SnapStep(-kGrabPerPixel * d.y, step);
    float gz = SnapStep(kGrabPerPixel * d.y, step);
    switch (axisLock) {
    case AXIS_X: return Vector3{ gx, 0.0f, 0.0f };
    case AXIS_Y: return Vector3{ 0.0f, gy, 0.0f };
    case AXIS_Z: return Vector3{ 0.0f, 0.0f, gz };
    default: return Vector3{ gx, gy, 0.0f };
    }
}

float RotateAngle(float dx, float step)
{
    return SnapStep(kRotatePerPixel * dx, step);
}

float ScaleFactor(float dx, float step)
{
    float f = SnapStep(1.0f + kScalePerPixel * dx, step);
    return f < kMinScaleFactor ? kMinScaleFactor : f;
}

int TransformBegin(MapDoc *map, UiState &ui, int mode, Vector2 mouse)
{
    TransformState &xform = ui.xform;
    bool brushSelected = MapBrushValid(map, ui.selBrush);
    if (!brushSelected && !MapEntityValid(map, ui.selEntity)) return 0;
    PushUndoState(map);
    xform.transformMode = mode;
    xform.axisLock = AXIS_NONE;
    xform.xformStartMouse = mouse;
    if (brushSelected) {
        const Brush *b = &map->brushes[ui.selBrush];
        xform.xformBrush = ui.selBrush;
        xform.xformEntity = -1;
        xform.xformOrigPos = b->origin;
        xform.xformOrigRot = b->rotation;
        xform.xformOrigSize = b->size;
        xform.origVertCount = ClampCount(b->vertCount, kMaxBrushVerts);
        for (int i = 0; i < xform.origVertCount; i++) xform.origVertices[i] = b->verts[i];
    } else {
        const Entity *e = &map->entities[ui.selEntity];
        xform.xformBrush = -1;
        xform.xformEntity = ui.selEntity;
        xform.xformOrigPos = e->position;
        xform.xformOrigRot = e->rotation;
        xform.xformOrigScale = e->scale;
    }
    return 1;
}

void TransformUpdate(MapDoc *map, UiState &ui, Vector2 mouse)
{
    TransformState &xform = ui.xform;
    if (xform.transformMode == XFORM_NONE || !TransformTargetValid(map, ui)) return;
    Brush *brush = xform.xformBrush >= 0 ? &map->brushes[xform.xformBrush] : nullptr;
    Entity *entity = xform.xformEntity >= 0 ? &map->entities[xform.xformEntity] : nullptr;
    Vector2 d = Vector2Subtract(mouse, xform.xformStartMouse);

    switch (xform.transformMode) {
    case XFORM_GRAB: {
        Vector3 offset = GrabOffset(d, xform.axisLock, gSnap.move ? gSettings.gridStep : 0.0f);
        Vector3 p = Vector3Add(xform.xformOrigPos, offset);
        if (brush) brush->origin = p;
        else entity->position = p;
        StatusSet(ui, "GRAB  [X/Y/Z lock]  snap %s", OnOff(gSnap.move));
        break;
    }
    case XFORM_ROTATE: {
        float angle = RotateAngle(d.x, gSnap.rotate ? gSnap.rotStep : 0.0f);
        Vector3 r = xform.xformOrigRot;
        if (xform.axisLock == AXIS_X) r.x += angle;
        else if (xform.axisLock == AXIS_Z) r.z += angle;
        else r.y += angle;
        if (brush) brush->rotation = r;
        else entity->rotation = r;
        char step[16];
        if (gSnap.rotate) snprintf(step, sizeof(step), "%.0f", gSnap.rotStep);
        else snprintf(step, sizeof(step), "%s", "OFF");
        StatusSet(ui, "ROTATE  [X/Y/Z lock]  %.1f deg  snap %s", angle, step);
        break;
    }
    case XFORM_SCALE: {
        float f = ScaleFactor(d.x, gSnap.scale ? gSnap.scaleStep : 0.0f);
        // Growth stops at the limit; the status shows the factor that was applied.
        if (brush) f = ScaleBrush(brush, ui, f);
        else {
            f = fminf(f, EntityScaleRoom(xform.xformOrigScale));
            entity->scale = xform.xformOrigScale * f;
        }
        StatusSet(ui, "SCALE MODE [X/Y/Z to Lock Axis]  x%.2f", f);
        break;
    }
    default: break;
    }
}

void TransformCancel(MapDoc *map, UiState &ui)
{
    TransformState &xform = ui.xform;
    if (xform.transformMode == XFORM_NONE) return;
    if (TransformTargetValid(map, ui)) {
        if (xform.xformBrush >= 0) {
            Brush *b = &map->brushes[xform.xformBrush];
            b->origin = xform.xformOrigPos;
            b->rotation = xform.xformOrigRot;
            b->size = xform.xformOrigSize;
            for (int i = 0; i < xform.origVertCount && i < b->vertCount; i++) b->verts[i] = xform.origVertices[i];
        } else {
            Entity *e = &map->entities[xform.xformEntity];
            e->position = xform.xformOrigPos;
            e->rotation = xform.xformOrigRot;
            e->scale = xform.xformOrigScale;
        }
    }
    TransformDrop(ui);
    StatusSet(ui, "Transform Canceled.");
}

void TransformDrop(UiState &ui)
{
    TransformState &xform = ui.xform;
    xform.transformMode = XFORM_NONE;
    xform.xformBrush = -1;
    xform.xformEntity = -1;
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
static void SelectBrush(MapDoc *map, UiState &ui, int brush, bool additive)
{
    if (ui.activeTool == TOOL_VERTEX) {
        if (!additive) VtxClearActive();
        gVtxActive[brush] = 1;
        StatusSet(ui, "Morphing %d solid(s). Ctrl+Click to add more.",
                 VtxActiveCount(map));
    } else {
        VtxClearActive();
        StatusSet(ui, "Selected Brush #%d (%s)", brush, map->brushes[brush].name);
    }
    ui.selBrush = brush;
    ui.selEntity = -1;
}

// The running transform's object still exists, is still the selection, and (for a brush) still
// has the vertices that were saved.
static bool TransformTargetValid(const MapDoc *map, const UiState &ui)
{
    const TransformState &xform = ui.xform;
    if (xform.xformBrush >= 0) {
        return xform.xformBrush == ui.selBrush && MapBrushValid(map, xform.xformBrush) &&
               map->brushes[xform.xformBrush].vertCount == xform.origVertCount;
    }
    return xform.xformEntity >= 0 && xform.xformEntity == ui.selEntity && MapEntityValid(map, xform.xformEntity);
}

// Scales the saved size and local vertices about the vertices' mean, along the brush's own axes,
// with f held where a size component or a vertex coordinate would pass kMapScaleLimit; returns
// the factor applied.
static float ScaleBrush(Brush *brush, const UiState &ui, float f)
{
    const TransformState &xform = ui.xform;
    Vector3 c = { 0.0f, 0.0f, 0.0f };
    for (int i = 0; i < xform.origVertCount; i++) c = Vector3Add(c, xform.origVertices[i]);
    if (xform.origVertCount > 0) c = Vector3Scale(c, 1.0f / (float)xform.origVertCount);
    Vector3 room = BrushScaleRoom(xform.origVertices, xform.origVertCount, c, xform.xformOrigSize);
    // One factor for every scaled axis, so a held brush keeps its proportions.
    Vector3 s = { 1.0f, 1.0f, 1.0f };
    if (xform.axisLock == AXIS_X) s.x = f = fminf(f, room.x);
    else if (xform.axisLock == AXIS_Y) s.y = f = fminf(f, room.y);
    else if (xform.axisLock == AXIS_Z) s.z = f = fminf(f, room.z);
    else {
        f = fminf(f, fminf(room.x, fminf(room.y, room.z)));
        s = Vector3{ f, f, f };
    }
    Vector3 size = Vector3Multiply(xform.xformOrigSize, s);
    brush->size = Vector3{ fmaxf(size.x, kMinBrushSize), fmaxf(size.y, kMinBrushSize), fmaxf(size.z, kMinBrushSize) };
    for (int i = 0; i < xform.origVertCount; i++) {
        brush->verts[i] = Vector3Add(c, Vector3Multiply(s, Vector3Subtract(xform.origVertices[i], c)));
    }
    if (VertsAreFinite(brush->verts, xform.origVertCount)) return f;
    // Only vertices stored near the float range's end (by a script) overflow the mean; they stay.
    brush->size = xform.xformOrigSize;
    for (int i = 0; i < xform.origVertCount; i++) brush->verts[i] = xform.origVertices[i];
    return 1.0f;
}

static const char *OnOff(bool on)
{
    return on ? "ON" : "OFF";
}
