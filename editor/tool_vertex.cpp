// tool_vertex.cpp: the Vertex tool: picks, box selection, drags and the vertex operations.
//
// The selection sets are indexed by vertex and face number, so every operation that renumbers a
// brush clears them. An operation works on a copy of the map and commits it, after one undo
// snapshot, only when something changed and nothing was refused.
#include "editor/tool_vertex.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "raymath.h"
#include "document/brush_geometry.h"
#include "document/selection.h"
#include "document/topology.h"
#include "document/undo.h"
#include "document/view_mapping.h"
#include "editor/app.h"
#include "editor/layout.h"
#include "editor/merge_prompt.h"
#include "editor/widgets.h"
#include "render/settings.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static const char *const kMorphStatus[3] = { "Morph: VERTEX mode", "Morph: EDGE mode", "Morph: FACE mode" };
static const int kMorphKeys[3] = { KEY_ONE, KEY_TWO, KEY_THREE };
constexpr int kMaxBrushEdges = kMaxBrushFaces * kMaxFaceCorners;   // an edge per corner at most
constexpr float kWeldGridShare = 0.25f;                            // Ctrl+M: a quarter grid step
constexpr float kLandGridShare = 0.5f;                             // a drop: half a grid step

// The map as an operation would leave it, checked before it replaces the real one.
static MapDoc sWork;

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static int PickVertex(const MapDoc *map, UiState &ui, int view);
static int PickEdge(const MapDoc *map, UiState &ui, int view);
static int PickFace(const MapDoc *map, UiState &ui, int view);
static void VertexKeys(MapDoc *map, UiState &ui);
static void ClearSelection(UiState &ui);
static void ForgetEdge(UiState &ui);
static int EdgeStillThere(const MapDoc *map, const UiState &ui);
static int BrushActive(const MapDoc *map, int b);
static int PickableIn(const MapDoc *map, int b, int view);
static int InFrontOf3DCamera(const UiState &ui, Vector3 world);
static Vector3 LocalToWorld(const Brush *brush, Vector3 local);
static Vector3 WorldDirToLocal(const Brush *brush, Vector3 d);
static void ZeroDepthAxis(Vector3 *v, int view);
static Vector3 SnapInView(Vector3 p, int view, float step);
static int NearestTarget(const Brush *brush, int b, int v, const int *onto, float eps, bool selectedToo);
static void CommitWork(MapDoc *map);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void VertexToolPhase(MapDoc *map, UiState &ui)
{
    ui.vertexClickConsumed = false;
    if (!InputGateOpen(ui) || ui.activeTool != TOOL_VERTEX) {
        ui.vertexDragging = false;
        ui.marqueeActive = false;
        return;
    }
    if (MapBrushValid(map, ui.selBrush)) gVtxActive[ui.selBrush] = 1;
    ui.pickRadius = kPickRadius;
    ui.additiveHeld = ui.ctrlHeld || ui.shiftHeld;
    ui.altHeld = IsKeyDown(KEY_LEFT_ALT) || IsKeyDown(KEY_RIGHT_ALT);
    // Whatever cleared the selection or the active solids since the pick (a paste, the morph
    // strip, a script) took the picked edge with it.
    if (ui.pickedEdgeA >= 0 && (VtxSelCount(map) == 0 || !EdgeStillThere(map, ui))) ForgetEdge(ui);

    for (int m = 0; m < 3; m++) {
        if (!IsKeyPressed(kMorphKeys[m])) continue;
        ui.morphMode = m;
        ClearSelection(ui);
        snprintf(ui.statusText, sizeof(ui.statusText), "%s", kMorphStatus[m]);
    }

    if (!ui.marqueeActive && ToolLeftPress(ui)) VertexPress(map, ui);

    if (ui.marqueeActive) {
        ui.marqueeEnd = ui.mouse;
        if (IsKeyPressed(KEY_ESCAPE)) ui.marqueeActive = false;
        else if (IsMouseButtonReleased(MOUSE_BUTTON_LEFT) || IsKeyPressed(KEY_ENTER)) VertexMarqueeFinish(map, ui);
    }

    if (ui.vertexDragging && IsMouseButtonDown(MOUSE_BUTTON_LEFT)) VertexDragUpdate(map, ui);
    if (IsMouseButtonReleased(MOUSE_BUTTON_LEFT)) {
        if (ui.vertexDragging) VertexDragRelease(map, ui);
        ui.vertexDragging = false;
    }
    if (ui.mergePrompt) return;   // the prompt holds the keys from now on

    VertexKeys(map, ui);
    if (ui.ctrlHeld && IsKeyPressed(KEY_A)) VertexSelectAll(map, ui, ui.shiftHeld);
}

void VertexToolForget(UiState &ui)
{
    ui.vertexDragging = false;
    ui.vertexDragMoved = false;
    ui.marqueeActive = false;
    ui.hoverBrush = -1;
    ui.hoverVert = -1;
    ui.activeFace = -1;
    ui.lastStackKey = -1;
    ui.stackCycleIndex = 0;
    ForgetEdge(ui);
    MergePromptClose(ui);
}

int VertexPress(MapDoc *map, UiState &ui)
{
    int view = VertexPickView(ui);
    if (view < 0) return 0;
    if (VertexClick(map, ui, view)) {
        ui.vertexClickConsumed = true;
        VertexDragStart(map, ui);
        return 1;
    }
    if (view != VIEW_3D) {
        // The press belongs to the box alone: the click selection would otherwise clear the
        // active solids under it in the same frame.
        ui.vertexClickConsumed = true;
        ui.marqueeActive = true;
        ui.marqueeView = view;
        ui.marqueeStart = ui.marqueeEnd = ui.mouse;
        ui.marqueeAdditive = ui.additiveHeld;
    } else if (!ui.additiveHeld) {
        ClearSelection(ui);
        ui.lastStackKey = -1;
        ui.stackCycleIndex = 0;
    }
    return 0;
}

int VertexPickView(const UiState &ui)
{
    for (int v = 0; v < kViewCount; v++) {
        if (!CheckCollisionPointRec(ui.mouse, ui.viewRect[v])) continue;
        if (v == VIEW_3D && IsMouseOverCameraGizmo(ui.mouse, ui.viewRect[v])) continue;   // the widget's press
        return v;
    }
    return -1;
}

Vector2 VertexViewScreen(const UiState &ui, int view, Vector3 world)
{
    const Camera3D &camera = view == VIEW_3D ? ui.cam3D : ui.cam2D[view - 1];
    return WorldToViewportScreen(world, ui.viewRect[view], camera, ui.orthoZoom, view);
}

int VertexPickCandidates(const MapDoc *map, const UiState &ui, int view, Vector2 mouse, VertexCandidate *out, int max)
{
    int n = 0;
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    for (int b = 0; b < brushes; b++) {
        if (!PickableIn(map, b, view)) continue;
        const Brush *brush = &map->brushes[b];
        for (int i = 0; i < ClampCount(brush->vertCount, kMaxBrushVerts) && n < max; i++) {
            Vector3 w = BrushVertWorld(brush, i);
            if (view == VIEW_3D && !InFrontOf3DCamera(ui, w)) continue;
            if (Vector2Distance(VertexViewScreen(ui, view, w), mouse) > kPickRadius) continue;
            float depth = view == VIEW_TOP ? w.y : view == VIEW_FRONT ? w.z : view == VIEW_SIDE ? w.x
                                                                          : -Vector3Distance(w, ui.cam3D.position);
            // Insertion that passes only strictly smaller depths: equal depths keep map order.
            int j = n++;
            while (j > 0 && out[j - 1].depth < depth) {
                out[j] = out[j - 1];
                j--;
            }
            out[j] = VertexCandidate{ b, i, depth };
        }
    }
    return n;
}

int VertexClick(MapDoc *map, UiState &ui, int view)
{
    ui.pickView = view;
    switch (ui.morphMode) {
    case MORPH_FACE: return PickFace(map, ui, view);
    case MORPH_EDGE: return PickEdge(map, ui, view);
    default: return PickVertex(map, ui, view);
    }
}

int VertexMarqueeFinish(const MapDoc *map, UiState &ui)
{
    ui.marqueeActive = false;
    Vector2 a = ui.marqueeStart, e = ui.marqueeEnd;
    Rectangle box = { fminf(a.x, e.x), fminf(a.y, e.y), fabsf(e.x - a.x), fabsf(e.y - a.y) };
    if (box.width <= kMarqueeMinSize && box.height <= kMarqueeMinSize) return 0;
    if (ui.marqueeView < VIEW_TOP || ui.marqueeView > VIEW_SIDE) return 0;
    if (!ui.marqueeAdditive) ClearSelection(ui);

    int added = 0;
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    for (int b = 0; b < brushes; b++) {
        if (!gVtxActive[b]) continue;
        const Brush *brush = &map->brushes[b];
        if (ui.morphMode == MORPH_FACE) {
            for (int f = 0; f < ClampCount(brush->faceCount, kMaxBrushFaces); f++) {
                Vector3 c = LocalToWorld(brush, FaceCenterLocal(brush, &brush->faces[f]));
                if (!CheckCollisionPointRec(VertexViewScreen(ui, ui.marqueeView, c), box)) continue;
                FaceSet(b, f, 1);
                added++;
                ui.hoverBrush = b;
                ui.activeFace = f;
                ui.hoverVert = brush->faces[f].indices[0];
            }
        } else {
            for (int i = 0; i < ClampCount(brush->vertCount, kMaxBrushVerts); i++) {
                if (!CheckCollisionPointRec(VertexViewScreen(ui, ui.marqueeView, BrushVertWorld(brush, i)), box)) continue;
                VtxSet(b, i, 1);
                added++;
                ui.hoverBrush = b;
                ui.hoverVert = i;
            }
        }
    }
    if (ui.morphMode == MORPH_FACE) SyncFaceSelectionToVerts(map);
    snprintf(ui.statusText, sizeof(ui.statusText), "Box select: %d added (%d vertices selected)", added,
             VtxSelCount(map));
    return added;
}

int VertexDragStart(MapDoc *map, UiState &ui)
{
    if (VtxSelCount(map) == 0 || !MapBrushValid(map, ui.hoverBrush)) return 0;
    const Brush *anchor = &map->brushes[ui.hoverBrush];
    if (ui.hoverVert < 0 || ui.hoverVert >= ClampCount(anchor->vertCount, kMaxBrushVerts)) return 0;
    int view = ui.pickView;
    Vector3 hit;
    if (view == VIEW_3D) {
        Vector3 normal = Vector3Normalize(Vector3Subtract(ui.cam3D.position, ui.cam3D.target));
        if (!RayPlaneIntersect(PickRay3D(ui), BrushVertWorld(anchor, ui.hoverVert), normal, &hit)) return 0;
        ui.dragPlaneNormal = normal;
    } else if (view >= VIEW_TOP && view <= VIEW_SIDE) {
        hit = ScreenToOrthoWorld(ui.mouse, ui.viewRect[view], ui.cam2D[view - 1], ui.orthoZoom, view);
    } else {
        return 0;
    }
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    for (int b = 0; b < brushes; b++) memcpy(gVtxOrig[b], map->brushes[b].verts, sizeof(gVtxOrig[b]));
    ui.vertexDragging = true;
    ui.vertexDragView = view;
    ui.vertexDragMoved = false;
    ui.dragStartHit = hit;
    return 1;
}

void VertexDragUpdate(MapDoc *map, UiState &ui)
{
    if (!ui.vertexDragging || !MapBrushValid(map, ui.hoverBrush)) return;
    const Brush *anchor = &map->brushes[ui.hoverBrush];
    if (ui.hoverVert < 0 || ui.hoverVert >= ClampCount(anchor->vertCount, kMaxBrushVerts)) return;
    int view = ui.vertexDragView;
    Vector3 current;
    if (view == VIEW_3D) {
        if (!RayPlaneIntersect(PickRay3D(ui), ui.dragStartHit, ui.dragPlaneNormal, &current)) return;
    } else {
        current = ScreenToOrthoWorld(ui.mouse, ui.viewRect[view], ui.cam2D[view - 1], ui.orthoZoom, view);
    }
    Vector3 delta = Vector3Subtract(current, ui.dragStartHit);
    ZeroDepthAxis(&delta, view);
    // Until the mouse moves, a pick leaves even an off-grid anchor where it is.
    if (!ui.vertexDragMoved && Vector3Length(delta) <= kDragMoveEpsilon) return;

    // The anchor lands on the grid; every other selected vertex keeps its offset from it.
    Vector3 a0 = LocalToWorld(anchor, gVtxOrig[ui.hoverBrush][ui.hoverVert]);
    Vector3 target = SnapInView(Vector3Add(a0, delta), view, gSnap.vertex ? gSettings.gridStep : 0.0f);
    delta = Vector3Subtract(target, a0);
    ZeroDepthAxis(&delta, view);

    bool slide = ui.morphMode == MORPH_FACE && ui.shiftHeld && ui.activeFace >= 0 &&
                 ui.activeFace < ClampCount(anchor->faceCount, kMaxBrushFaces);
    if (slide) {
        Vector3 n = FaceNormalWorld(anchor, &anchor->faces[ui.activeFace]);
        n = Vector3Normalize(n);
        delta = Vector3Scale(n, Vector3DotProduct(delta, n));
    }
    if (!VertsAreFinite(&delta, 1)) return;
    bool moves = fabsf(delta.x) > kDragMoveEpsilon || fabsf(delta.y) > kDragMoveEpsilon || fabsf(delta.z) > kDragMoveEpsilon;
    if (!moves && !ui.vertexDragMoved) return;
    if (!ui.vertexDragMoved) {
        PushUndoState(map);   // the map is still as the drag found it: one Undo undoes the drag
        ui.vertexDragMoved = true;
    }

    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    for (int b = 0; b < brushes; b++) {
        if (gVtxSel[b] == 0) continue;
        Brush *brush = &map->brushes[b];
        Vector3 d = WorldDirToLocal(brush, delta);
        for (int i = 0; i < ClampCount(brush->vertCount, kMaxBrushVerts); i++) {
            if (VtxIsSel(b, i)) brush->verts[i] = Vector3Add(gVtxOrig[b][i], d);
        }
    }
}

int VertexDragRelease(MapDoc *map, UiState &ui)
{
    ui.vertexDragging = false;
    bool moved = ui.vertexDragMoved;
    ui.vertexDragMoved = false;
    if (!moved) return 0;

    float eps = VertexLandEps(gSettings.gridStep);
    int found = 0;
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    for (int b = 0; b < brushes && found < kMaxMergeBrushes; b++) {
        if (gVtxSel[b] == 0) continue;
        const Brush *brush = &map->brushes[b];
        int count = ClampCount(brush->vertCount, kMaxBrushVerts);
        for (int v = 0; v < count && found < kMaxMergeBrushes; v++) {
            if (!VtxIsSel(b, v)) continue;
            int u = NearestTarget(brush, b, v, nullptr, eps, false);
            if (u < 0) continue;
            ui.mergeBrushes[found] = b;
            ui.mergeVerts[found] = v;
            ui.mergeOnto[found] = u;
            found++;
        }
    }
    if (found == 0) return 0;
    ui.mergeCount = found;
    ui.mergePrompt = true;
    snprintf(ui.statusText, sizeof(ui.statusText), "%d vertex/vertices landed on another - weld?", found);
    return found;
}

float VertexLandEps(float gridStep)
{
    return Clamp(kLandGridShare * gridStep, kMinLandEps, kMaxLandEps);
}

int VertexSnapSelected(MapDoc *map, UiState &ui)
{
    int n = VtxSelCount(map);
    if (n == 0) return 0;
    memcpy(&sWork, map, sizeof(MapDoc));
    float step = gSettings.gridStep;
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    for (int b = 0; b < brushes; b++) {
        if (gVtxSel[b] == 0) continue;
        Brush *brush = &sWork.brushes[b];
        for (int i = 0; i < ClampCount(brush->vertCount, kMaxBrushVerts); i++) {
            if (!VtxIsSel(b, i)) continue;
            Vector3 w = BrushVertWorld(brush, i);
            BrushSetVertWorld(brush, i, Vector3{ SnapToGrid(w.x, step), SnapToGrid(w.y, step), SnapToGrid(w.z, step) });
        }
    }
    CommitWork(map);
    snprintf(ui.statusText, sizeof(ui.statusText), "Snapped %d vertex/vertices to grid.", n);
    return n;
}

int VertexWeldSelected(MapDoc *map, UiState &ui)
{
    if (VtxSelCount(map) == 0) return 0;
    memcpy(&sWork, map, sizeof(MapDoc));
    float eps = Clamp(kWeldGridShare * gSettings.gridStep, kMinLandEps, kMaxLandEps);
    int total = 0;
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    for (int b = 0; b < brushes; b++) {
        if (gVtxSel[b] == 0) continue;
        Brush *brush = &sWork.brushes[b];
        int count = ClampCount(brush->vertCount, kMaxBrushVerts);
        int onto[kMaxBrushVerts];
        for (int i = 0; i < count; i++) onto[i] = i;
        int wanted = 0;
        for (int v = 0; v < count; v++) {
            if (!VtxIsSel(b, v)) continue;
            // Onto an unselected vertex, which stays where it is; else onto an earlier selected one.
            int u = NearestTarget(brush, b, v, onto, eps, false);
            if (u < 0) u = NearestTarget(brush, b, v, onto, eps, true);
            if (u < 0) continue;
            onto[v] = u;
            wanted++;
        }
        if (wanted == 0) continue;
        int merged = BrushMergeVerts(brush, onto);
        if (merged == 0) {
            snprintf(ui.statusText, sizeof(ui.statusText), "Cannot weld: Brush #%d would not stay a closed solid.", b);
            return 0;
        }
        total += merged;
    }
    if (total > 0) {
        CommitWork(map);
        ClearSelection(ui);
    }
    snprintf(ui.statusText, sizeof(ui.statusText), "Welded %d vertex/vertices.", total);
    return total;
}

int VertexCollapseSelected(MapDoc *map, UiState &ui)
{
    if (VtxSelCount(map) < 2) return 0;
    memcpy(&sWork, map, sizeof(MapDoc));
    int total = 0;
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    for (int b = 0; b < brushes; b++) {
        Brush *brush = &sWork.brushes[b];
        int count = ClampCount(brush->vertCount, kMaxBrushVerts);
        int onto[kMaxBrushVerts], first = -1, n = 0;
        Vector3 mean = { 0.0f, 0.0f, 0.0f };
        for (int i = 0; i < count; i++) {
            onto[i] = i;
            if (!VtxIsSel(b, i)) continue;
            if (first < 0) first = i;
            mean = Vector3Add(mean, brush->verts[i]);
            n++;
        }
        if (n < 2) continue;
        mean = Vector3Scale(mean, 1.0f / (float)n);
        for (int i = 0; i < count; i++) {
            if (!VtxIsSel(b, i)) continue;
            brush->verts[i] = mean;
            onto[i] = first;
        }
        int merged = BrushMergeVerts(brush, onto);
        if (merged == 0) {
            snprintf(ui.statusText, sizeof(ui.statusText), "Cannot collapse: Brush #%d would not stay a closed solid.", b);
            return 0;
        }
        total += merged;
    }
    if (total > 0) {
        CommitWork(map);
        ClearSelection(ui);
    }
    snprintf(ui.statusText, sizeof(ui.statusText), "Collapsed selection, removed %d vertex/vertices.", total);
    return total;
}

int VertexSplitPickedEdge(MapDoc *map, UiState &ui)
{
    if (!EdgeStillThere(map, ui)) {
        ForgetEdge(ui);
        snprintf(ui.statusText, sizeof(ui.statusText), "%s", "No edge picked: click an edge first.");
        return -1;
    }
    Brush work = map->brushes[ui.hoverBrush];
    int m = BrushSplitEdge(&work, ui.pickedEdgeA, ui.pickedEdgeB);
    if (m < 0) {
        snprintf(ui.statusText, sizeof(ui.statusText), "%s", "Could not split edge (limit reached).");
        return -1;
    }
    PushUndoState(map);
    map->brushes[ui.hoverBrush] = work;
    ClearSelection(ui);   // the picked edge is two edges now
    VtxSet(ui.hoverBrush, m, 1);
    ui.hoverVert = m;
    snprintf(ui.statusText, sizeof(ui.statusText), "Inserted vertex %d on the edge.", m);
    return m;
}

int VertexSplitFace(MapDoc *map, UiState &ui)
{
    if (VtxSelCount(map) != 2 || !MapBrushValid(map, ui.hoverBrush)) return 0;
    const Brush *brush = &map->brushes[ui.hoverBrush];
    int ends[2] = { -1, -1 }, found = 0;
    for (int i = 0; i < ClampCount(brush->vertCount, kMaxBrushVerts) && found < 2; i++) {
        if (VtxIsSel(ui.hoverBrush, i)) ends[found++] = i;
    }
    if (found == 2) {
        for (int f = 0; f < ClampCount(brush->faceCount, kMaxBrushFaces); f++) {
            Brush work = *brush;
            if (!BrushSplitFaceDiagonal(&work, f, ends[0], ends[1])) continue;
            PushUndoState(map);
            map->brushes[ui.hoverBrush] = work;
            snprintf(ui.statusText, sizeof(ui.statusText), "%s", "Split face diagonally into two.");
            return 1;
        }
    }
    snprintf(ui.statusText, sizeof(ui.statusText), "%s", "Pick two OPPOSITE corners of one quad face first.");
    return 0;
}

int VertexExtrudeFaces(MapDoc *map, UiState &ui)
{
    memcpy(&sWork, map, sizeof(MapDoc));
    int done = 0, refused = 0;
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    for (int b = 0; b < brushes; b++) {
        if (gFaceSel[b] == 0) continue;
        int faces = ClampCount(map->brushes[b].faceCount, kMaxBrushFaces);   // not the side quads it adds
        for (int f = 0; f < faces; f++) {
            if (!FaceIsSel(b, f)) continue;
            if (BrushExtrudeFace(&sWork.brushes[b], f, gSettings.gridStep)) done++;
            else refused++;
        }
    }
    if (done > 0) {
        CommitWork(map);
        SyncFaceSelectionToVerts(map);
    }
    if (refused > 0) {
        snprintf(ui.statusText, sizeof(ui.statusText), "Extruded %d face(s); %d would pass the brush limits.", done,
                 refused);
    } else {
        snprintf(ui.statusText, sizeof(ui.statusText), "Extruded %d face(s).", done);
    }
    return done;
}

int VertexSubdivideFaces(MapDoc *map, UiState &ui)
{
    memcpy(&sWork, map, sizeof(MapDoc));
    int quads = 0, refused = 0;
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    for (int b = 0; b < brushes; b++) {
        if (gFaceSel[b] == 0) continue;
        int faces = ClampCount(map->brushes[b].faceCount, kMaxBrushFaces);   // not the quads it adds
        for (int f = 0; f < faces; f++) {
            if (!FaceIsSel(b, f)) continue;
            int made = BrushSubdivideFace(&sWork.brushes[b], f);
            quads += made;
            if (made == 0) refused++;
        }
    }
    if (quads > 0) {
        CommitWork(map);
        ClearSelection(ui);
    }
    if (refused > 0) {
        snprintf(ui.statusText, sizeof(ui.statusText), "Subdivided into %d quad(s); %d face(s) would pass the brush limits.",
                 quads, refused);
    } else {
        snprintf(ui.statusText, sizeof(ui.statusText), "Subdivided into %d quad(s).", quads);
    }
    return quads;
}

void VertexSelectAll(const MapDoc *map, UiState &ui, bool clearOnly)
{
    ClearSelection(ui);
    if (clearOnly) {
        snprintf(ui.statusText, sizeof(ui.statusText), "%s", "Cleared morph selection.");
        return;
    }
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    for (int b = 0; b < brushes; b++) {
        if (!gVtxActive[b]) continue;
        const Brush *brush = &map->brushes[b];
        for (int i = 0; i < ClampCount(brush->vertCount, kMaxBrushVerts); i++) VtxSet(b, i, 1);
        if (ui.morphMode == MORPH_FACE) {
            for (int f = 0; f < ClampCount(brush->faceCount, kMaxBrushFaces); f++) FaceSet(b, f, 1);
        }
        ui.hoverBrush = b;
        ui.hoverVert = 0;
    }
    snprintf(ui.statusText, sizeof(ui.statusText), "%s", "Selected everything on the active solid(s).");
}

int VertexCentreCommit(MapDoc *map, UiState &ui, int axis, const char *text)
{
    Vector3 centre;
    if (axis < 0 || axis > 2 || !GetVertexSelectionCenter(map, &centre)) return 0;
    float value;
    if (!NumFieldParse(text, -kMapPositionLimit, kMapPositionLimit, &value)) {
        snprintf(ui.statusText, sizeof(ui.statusText), "Not a finite number: %.40s", text);
        return 0;
    }
    // The whole selection moves by one offset: it is held so no selected vertex leaves the range.
    float lo = kMapPositionLimit, hi = -kMapPositionLimit;
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    for (int b = 0; b < brushes; b++) {
        const Brush *brush = &map->brushes[b];
        for (int i = 0; i < ClampCount(brush->vertCount, kMaxBrushVerts); i++) {
            if (!VtxIsSel(b, i)) continue;
            float p = Vector3ToFloatV(BrushVertWorld(brush, i)).v[axis];
            lo = fminf(lo, p);
            hi = fmaxf(hi, p);
        }
    }
    float *c = &centre.x + axis;
    float offset = value - *c;
    float least = -kMapPositionLimit - lo, most = kMapPositionLimit - hi;
    if (least <= most) offset = Clamp(offset, least, most);
    if (fabsf(offset) <= kDragMoveEpsilon) return 1;
    *c += offset;
    PushUndoState(map);
    MoveVertexSelectionTo(map, centre);
    return 1;
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
static int PickVertex(const MapDoc *map, UiState &ui, int view)
{
    VertexCandidate c[kMaxPickCandidates];
    int n = VertexPickCandidates(map, ui, view, ui.mouse, c, kMaxPickCandidates);
    if (n == 0) return 0;
    bool repeat = ui.lastStackKey == view && Vector2Distance(ui.mouse, ui.lastStackMouse) <= kPickRadius;
    int pick = (repeat && n > 1) ? (ui.stackCycleIndex + 1) % n : 0;
    ui.stackCycleIndex = pick;
    ui.lastStackMouse = ui.mouse;
    ui.lastStackKey = view;
    VertexCandidate chosen = c[pick];

    if (ui.altHeld && view != VIEW_3D) {
        if (!ui.additiveHeld) ClearSelection(ui);
        for (int k = 0; k < n; k++) VtxSet(c[k].brush, c[k].vert, 1);
    } else if (ui.additiveHeld) {
        VtxSet(chosen.brush, chosen.vert, !VtxIsSel(chosen.brush, chosen.vert));
    } else if (repeat || !VtxIsSel(chosen.brush, chosen.vert)) {
        // An already selected vertex keeps the whole selection, so all of it can be dragged.
        ClearSelection(ui);
        VtxSet(chosen.brush, chosen.vert, 1);
    }
    ui.hoverBrush = chosen.brush;
    ui.hoverVert = chosen.vert;
    ui.selBrush = chosen.brush;
    if (n > 1 && view != VIEW_3D) {
        snprintf(ui.statusText, sizeof(ui.statusText),
                 "Vertex %d of Brush #%d  [%d/%d stacked - click again to cycle, ALT = all]  %d selected", chosen.vert,
                 chosen.brush, pick + 1, n, VtxSelCount(map));
    } else {
        snprintf(ui.statusText, sizeof(ui.statusText), "Vertex %d of Brush #%d  (%d selected)", chosen.vert,
                 chosen.brush, VtxSelCount(map));
    }
    return 1;
}

static int PickEdge(const MapDoc *map, UiState &ui, int view)
{
    float best = kEdgePickScale * kPickRadius;
    int bestBrush = -1, lo = -1, hi = -1;
    static int pairs[kMaxPickEdges][2];
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    for (int b = 0; b < brushes; b++) {
        if (!PickableIn(map, b, view)) continue;
        const Brush *brush = &map->brushes[b];
        int edges = BrushBuildEdges(brush, pairs, kMaxPickEdges);
        for (int e = 0; e < edges; e++) {
            Vector3 mid = Vector3Scale(Vector3Add(BrushVertWorld(brush, pairs[e][0]), BrushVertWorld(brush, pairs[e][1])), 0.5f);
            if (view == VIEW_3D && !InFrontOf3DCamera(ui, mid)) continue;
            float d = Vector2Distance(VertexViewScreen(ui, view, mid), ui.mouse);
            if (d >= best) continue;
            best = d;
            bestBrush = b;
            lo = pairs[e][0];
            hi = pairs[e][1];
        }
    }
    if (bestBrush < 0) return 0;
    if (!ui.additiveHeld) {
        ClearSelection(ui);
        VtxSet(bestBrush, lo, 1);
        VtxSet(bestBrush, hi, 1);
    } else {
        bool both = VtxIsSel(bestBrush, lo) && VtxIsSel(bestBrush, hi);
        VtxSet(bestBrush, lo, !both);
        VtxSet(bestBrush, hi, !both);
    }
    ui.hoverBrush = bestBrush;
    ui.hoverVert = lo;
    ui.pickedEdgeA = lo;
    ui.pickedEdgeB = hi;
    ui.selBrush = bestBrush;
    snprintf(ui.statusText, sizeof(ui.statusText), "Edge %d-%d of Brush #%d  (Ctrl+E inserts a vertex)", lo, hi,
             bestBrush);
    return 1;
}

static int PickFace(const MapDoc *map, UiState &ui, int view)
{
    float best = view == VIEW_3D ? kRayFar : kFacePickScale * kPickRadius;
    int bestBrush = -1, bestFace = -1;
    Ray ray = PickRay3D(ui);
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    for (int b = 0; b < brushes; b++) {
        if (!PickableIn(map, b, view)) continue;
        const Brush *brush = &map->brushes[b];
        for (int f = 0; f < ClampCount(brush->faceCount, kMaxBrushFaces); f++) {
            const BrushFace *face = &brush->faces[f];
            int corners = FaceCornerCount(face);
            if (view != VIEW_3D) {
                Vector3 c = LocalToWorld(brush, FaceCenterLocal(brush, face));
                float d = Vector2Distance(VertexViewScreen(ui, view, c), ui.mouse);
                if (d < best) {
                    best = d;
                    bestBrush = b;
                    bestFace = f;
                }
                continue;
            }
            if (corners < kMinFaceCorners) continue;
            Vector3 p0 = BrushVertWorld(brush, face->indices[0]);
            for (int k = 1; k + 1 < corners; k++) {
                RayCollision hit = GetRayCollisionTriangle(ray, p0, BrushVertWorld(brush, face->indices[k]),
                                                           BrushVertWorld(brush, face->indices[k + 1]));
                if (hit.hit && hit.distance < best) {
                    best = hit.distance;
                    bestBrush = b;
                    bestFace = f;
                }
            }
        }
    }
    if (bestBrush < 0) return 0;
    if (!ui.additiveHeld) ClearSelection(ui);
    FaceSet(bestBrush, bestFace, ui.additiveHeld ? !FaceIsSel(bestBrush, bestFace) : 1);
    SyncFaceSelectionToVerts(map);   // a face toggled off keeps its corners selected
    ui.hoverBrush = bestBrush;
    ui.hoverVert = map->brushes[bestBrush].faces[bestFace].indices[0];
    ui.activeFace = bestFace;
    ui.selBrush = bestBrush;
    snprintf(ui.statusText, sizeof(ui.statusText), "Face %d of Brush #%d  (%d face(s) selected)", bestFace, bestBrush,
             FaceSelCount(map));
    return 1;
}

// The keyboard operations, in a fixed order; several may act in one frame.
static void VertexKeys(MapDoc *map, UiState &ui)
{
    if (!ui.ctrlHeld) {
        if (IsKeyPressed(KEY_DELETE) && VtxSelCount(map) > 1) VertexCollapseSelected(map, ui);
        return;
    }
    if (IsKeyPressed(KEY_B)) VertexSnapSelected(map, ui);
    if (IsKeyPressed(KEY_M)) VertexWeldSelected(map, ui);
    if (IsKeyPressed(KEY_E)) {
        if (ui.morphMode == MORPH_EDGE) VertexSplitPickedEdge(map, ui);
        else if (ui.morphMode == MORPH_FACE && ui.shiftHeld) VertexExtrudeFaces(map, ui);
    }
    if (IsKeyPressed(KEY_F)) VertexSplitFace(map, ui);
    if (IsKeyPressed(KEY_U) && ui.morphMode == MORPH_FACE) VertexSubdivideFaces(map, ui);
}

// Every vertex and face deselected; the picked edge goes with them.
static void ClearSelection(UiState &ui)
{
    VtxClearSelection();
    ForgetEdge(ui);
}

static void ForgetEdge(UiState &ui)
{
    ui.pickedEdgeA = -1;
    ui.pickedEdgeB = -1;
}

// 1 when the picked edge is still an edge of a face of the picked brush, an active solid.
static int EdgeStillThere(const MapDoc *map, const UiState &ui)
{
    if (!BrushActive(map, ui.hoverBrush)) return 0;
    const Brush *brush = &map->brushes[ui.hoverBrush];
    int a = ui.pickedEdgeA, b = ui.pickedEdgeB;
    if (a < 0 || b < 0 || a == b || a >= brush->vertCount || b >= brush->vertCount) return 0;
    static int pairs[kMaxBrushEdges][2];
    int edges = BrushBuildEdges(brush, pairs, kMaxBrushEdges);
    for (int e = 0; e < edges; e++) {
        if ((pairs[e][0] == a && pairs[e][1] == b) || (pairs[e][0] == b && pairs[e][1] == a)) return 1;
    }
    return 0;
}

static int BrushActive(const MapDoc *map, int b)
{
    return MapBrushValid(map, b) && gVtxActive[b];
}

// An active solid's handles can be picked where they are drawn: a hidden brush has none in the
// 3D view.
static int PickableIn(const MapDoc *map, int b, int view)
{
    return gVtxActive[b] && !(view == VIEW_3D && map->brushes[b].hidden);
}

// Points behind the 3D camera map onto the screen mirrored; they are never under the mouse.
static int InFrontOf3DCamera(const UiState &ui, Vector3 world)
{
    Vector3 forward = Vector3Subtract(ui.cam3D.target, ui.cam3D.position);
    return Vector3DotProduct(Vector3Subtract(world, ui.cam3D.position), forward) > 0.0f;
}

static Vector3 LocalToWorld(const Brush *brush, Vector3 local)
{
    if (BrushIsRotated(brush)) local = Vector3Transform(local, BrushRotMatrix(brush));
    return Vector3Add(local, brush->origin);
}

// A world offset in the brush's own frame (the inverse of a rotation is its transpose).
static Vector3 WorldDirToLocal(const Brush *brush, Vector3 d)
{
    if (!BrushIsRotated(brush)) return d;
    return Vector3Transform(d, MatrixTranspose(BrushRotMatrix(brush)));
}

// A 2D view moves nothing along the axis it looks along.
static void ZeroDepthAxis(Vector3 *v, int view)
{
    if (view == VIEW_TOP) v->y = 0.0f;
    else if (view == VIEW_FRONT) v->z = 0.0f;
    else if (view == VIEW_SIDE) v->x = 0.0f;
}

// p snapped on the axes the view shows (all three in the 3D view).
static Vector3 SnapInView(Vector3 p, int view, float step)
{
    Vector3 s = { SnapStep(p.x, step), SnapStep(p.y, step), SnapStep(p.z, step) };
    if (view == VIEW_TOP) s.y = p.y;
    else if (view == VIEW_FRONT) s.z = p.z;
    else if (view == VIEW_SIDE) s.x = p.x;
    return s;
}

// The nearest vertex within eps of vertex v of brush b that v may be welded onto: an unselected
// one, or with selectedToo an earlier selected one that stays itself (onto, when given, says which
// have already been merged). -1 when there is none.
static int NearestTarget(const Brush *brush, int b, int v, const int *onto, float eps, bool selectedToo)
{
    int best = -1;
    float bestDistance = eps;
    int count = ClampCount(brush->vertCount, kMaxBrushVerts);
    for (int u = 0; u < count; u++) {
        if (u == v || (onto && onto[u] != u)) continue;
        bool selected = VtxIsSel(b, u);
        if (selected && !(selectedToo && u < v)) continue;
        float d = Vector3Distance(brush->verts[u], brush->verts[v]);
        if (d <= eps && (best < 0 || d < bestDistance)) {
            bestDistance = d;
            best = u;
        }
    }
    return best;
}

// Replaces the map with the work copy after one snapshot, when the operation changed anything.
static void CommitWork(MapDoc *map)
{
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    if (memcmp(sWork.brushes, map->brushes, sizeof(Brush) * (size_t)brushes) == 0) return;
    PushUndoState(map);
    memcpy(map->brushes, sWork.brushes, sizeof(Brush) * (size_t)brushes);
}
