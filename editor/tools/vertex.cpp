// vertex.cpp: the Vertex tool's frame and its selection half: morph modes, picks with stack
// cycling, box selection and select all. Dragging and the operations are vertex_edit.cpp.
#include "editor/tools/vertex.h"

#include <cmath>
#include <cstdio>

#include "raymath.h"
#include "document/brush_geometry.h"
#include "document/selection.h"
#include "document/topology.h"
#include "document/view_mapping.h"
#include "editor/input.h"
#include "editor/layout.h"
#include "editor/windows/merge_prompt.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static const char *const kMorphStatus[3] = { "Morph: VERTEX mode", "Morph: EDGE mode", "Morph: FACE mode" };
static const int kMorphKeys[3] = { KEY_ONE, KEY_TWO, KEY_THREE };

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static int PickVertex(const MapDoc *map, UiState &ui, int view);
static int PickEdge(const MapDoc *map, UiState &ui, int view);
static int PickFace(const MapDoc *map, UiState &ui, int view);
static void ForgetEdge(UiState &ui);
static int PickableIn(const MapDoc *map, int b, int view);
static int InFrontOf3DCamera(const UiState &ui, Vector3 world);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void VertexToolPhase(MapDoc *map, UiState &ui)
{
    VertexToolState &vertex = ui.vertex;
    ui.vertexClickConsumed = false;
    if (!InputGateOpen(ui) || ui.activeTool != TOOL_VERTEX) {
        vertex.vertexDragging = false;
        vertex.marqueeActive = false;
        return;
    }
    if (MapBrushValid(map, ui.selBrush)) gVtxActive[ui.selBrush] = 1;
    vertex.pickRadius = kPickRadius;
    vertex.additiveHeld = ui.ctrlHeld || ui.shiftHeld;
    vertex.altHeld = IsKeyDown(KEY_LEFT_ALT) || IsKeyDown(KEY_RIGHT_ALT);
    // Whatever cleared the selection or the active solids since the pick (a paste, the morph
    // strip, a script) took the picked edge with it.
    if (vertex.pickedEdgeA >= 0 && (VtxSelCount(map) == 0 || !VertexEdgeStillThere(map, ui))) ForgetEdge(ui);

    for (int m = 0; m < 3; m++) {
        if (!IsKeyPressed(kMorphKeys[m])) continue;
        ui.morphMode = m;
        VertexClearSelection(ui);
        StatusSet(ui, "%s", kMorphStatus[m]);
    }

    if (!vertex.marqueeActive && ToolLeftPress(ui)) VertexPress(map, ui);

    if (vertex.marqueeActive) {
        vertex.marqueeEnd = ui.mouse;
        if (IsKeyPressed(KEY_ESCAPE)) vertex.marqueeActive = false;
        else if (IsMouseButtonReleased(MOUSE_BUTTON_LEFT) || IsKeyPressed(KEY_ENTER)) VertexMarqueeFinish(map, ui);
    }

    if (vertex.vertexDragging && IsMouseButtonDown(MOUSE_BUTTON_LEFT)) VertexDragUpdate(map, ui);
    if (IsMouseButtonReleased(MOUSE_BUTTON_LEFT)) {
        if (vertex.vertexDragging) VertexDragRelease(map, ui);
        vertex.vertexDragging = false;
    }
    if (ui.mergePrompt) return;   // the prompt holds the keys from now on

    VertexEditKeys(map, ui);
    if (ui.ctrlHeld && IsKeyPressed(KEY_A)) VertexSelectAll(map, ui, ui.shiftHeld);
}

void VertexToolForget(UiState &ui)
{
    VertexToolState &vertex = ui.vertex;
    vertex.vertexDragging = false;
    vertex.vertexDragMoved = false;
    vertex.marqueeActive = false;
    vertex.hoverBrush = -1;
    vertex.hoverVert = -1;
    vertex.activeFace = -1;
    vertex.lastStackKey = -1;
    vertex.stackCycleIndex = 0;
    ForgetEdge(ui);
    MergePromptClose(ui);
}

int VertexPress(MapDoc *map, UiState &ui)
{
    VertexToolState &vertex = ui.vertex;
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
        vertex.marqueeActive = true;
        vertex.marqueeView = view;
        vertex.marqueeStart = vertex.marqueeEnd = ui.mouse;
        vertex.marqueeAdditive = vertex.additiveHeld;
    } else if (!vertex.additiveHeld) {
        VertexClearSelection(ui);
        vertex.lastStackKey = -1;
        vertex.stackCycleIndex = 0;
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
    ui.vertex.pickView = view;
    switch (ui.morphMode) {
    case MORPH_FACE: return PickFace(map, ui, view);
    case MORPH_EDGE: return PickEdge(map, ui, view);
    default: return PickVertex(map, ui, view);
    }
}

int VertexMarqueeFinish(const MapDoc *map, UiState &ui)
{
    VertexToolState &vertex = ui.vertex;
    vertex.marqueeActive = false;
    Vector2 a = vertex.marqueeStart, e = vertex.marqueeEnd;
    Rectangle box = { fminf(a.x, e.x), fminf(a.y, e.y), fabsf(e.x - a.x), fabsf(e.y - a.y) };
    if (box.width <= kMarqueeMinSize && box.height <= kMarqueeMinSize) return 0;
    if (vertex.marqueeView < VIEW_TOP || vertex.marqueeView > VIEW_SIDE) return 0;
    if (!vertex.marqueeAdditive) VertexClearSelection(ui);

    int added = 0;
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    for (int b = 0; b < brushes; b++) {
        if (!gVtxActive[b]) continue;
        const Brush *brush = &map->brushes[b];
        if (ui.morphMode == MORPH_FACE) {
            for (int f = 0; f < ClampCount(brush->faceCount, kMaxBrushFaces); f++) {
                Vector3 c = BrushPointWorld(brush, FaceCenterLocal(brush, &brush->faces[f]));
                if (!CheckCollisionPointRec(VertexViewScreen(ui, vertex.marqueeView, c), box)) continue;
                FaceSet(b, f, 1);
                added++;
                vertex.hoverBrush = b;
                vertex.activeFace = f;
                vertex.hoverVert = brush->faces[f].indices[0];
            }
        } else {
            for (int i = 0; i < ClampCount(brush->vertCount, kMaxBrushVerts); i++) {
                if (!CheckCollisionPointRec(VertexViewScreen(ui, vertex.marqueeView, BrushVertWorld(brush, i)), box)) continue;
                VtxSet(b, i, 1);
                added++;
                vertex.hoverBrush = b;
                vertex.hoverVert = i;
            }
        }
    }
    if (ui.morphMode == MORPH_FACE) SyncFaceSelectionToVerts(map);
    StatusSet(ui, "Box select: %d added (%d vertices selected)", added,
             VtxSelCount(map));
    return added;
}

void VertexSelectAll(const MapDoc *map, UiState &ui, bool clearOnly)
{
    VertexClearSelection(ui);
    if (clearOnly) {
        StatusSet(ui, "Cleared morph selection.");
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
        ui.vertex.hoverBrush = b;
        ui.vertex.hoverVert = 0;
    }
    StatusSet(ui, "Selected everything on the active solid(s).");
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
static int PickVertex(const MapDoc *map, UiState &ui, int view)
{
    VertexToolState &vertex = ui.vertex;
    VertexCandidate c[kMaxPickCandidates];
    int n = VertexPickCandidates(map, ui, view, ui.mouse, c, kMaxPickCandidates);
    if (n == 0) return 0;
    bool repeat = vertex.lastStackKey == view && Vector2Distance(ui.mouse, vertex.lastStackMouse) <= kPickRadius;
    int pick = (repeat && n > 1) ? (vertex.stackCycleIndex + 1) % n : 0;
    vertex.stackCycleIndex = pick;
    vertex.lastStackMouse = ui.mouse;
    vertex.lastStackKey = view;
    VertexCandidate chosen = c[pick];

    if (vertex.altHeld && view != VIEW_3D) {
        if (!vertex.additiveHeld) VertexClearSelection(ui);
        for (int k = 0; k < n; k++) VtxSet(c[k].brush, c[k].vert, 1);
    } else if (vertex.additiveHeld) {
        VtxSet(chosen.brush, chosen.vert, !VtxIsSel(chosen.brush, chosen.vert));
    } else if (repeat || !VtxIsSel(chosen.brush, chosen.vert)) {
        // An already selected vertex keeps the whole selection, so all of it can be dragged.
        VertexClearSelection(ui);
        VtxSet(chosen.brush, chosen.vert, 1);
    }
    vertex.hoverBrush = chosen.brush;
    vertex.hoverVert = chosen.vert;
    ui.selBrush = chosen.brush;
    if (n > 1 && view != VIEW_3D) {
        StatusSet(ui, "Vertex %d of Brush #%d  [%d/%d stacked - click again to cycle, ALT = all]  %d selected", chosen.vert,
                 chosen.brush, pick + 1, n, VtxSelCount(map));
    } else {
        StatusSet(ui, "Vertex %d of Brush #%d  (%d selected)", chosen.vert,
                 chosen.brush, VtxSelCount(map));
    }
    return 1;
}

static int PickEdge(const MapDoc *map, UiState &ui, int view)
{
    VertexToolState &vertex = ui.vertex;
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
    if (!vertex.additiveHeld) {
        VertexClearSelection(ui);
        VtxSet(bestBrush, lo, 1);
        VtxSet(bestBrush, hi, 1);
    } else {
        bool both = VtxIsSel(bestBrush, lo) && VtxIsSel(bestBrush, hi);
        VtxSet(bestBrush, lo, !both);
        VtxSet(bestBrush, hi, !both);
    }
    vertex.hoverBrush = bestBrush;
    vertex.hoverVert = lo;
    vertex.pickedEdgeA = lo;
    vertex.pickedEdgeB = hi;
    ui.selBrush = bestBrush;
    StatusSet(ui, "Edge %d-%d of Brush #%d  (Ctrl+E inserts a vertex)", lo, hi,
             bestBrush);
    return 1;
}

static int PickFace(const MapDoc *map, UiState &ui, int view)
{
    VertexToolState &vertex = ui.vertex;
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
                Vector3 c = BrushPointWorld(brush, FaceCenterLocal(brush, face));
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
    if (!vertex.additiveHeld) VertexClearSelection(ui);
    FaceSet(bestBrush, bestFace, vertex.additiveHeld ? !FaceIsSel(bestBrush, bestFace) : 1);
    SyncFaceSelectionToVerts(map);   // a face toggled off keeps its corners selected
    vertex.hoverBrush = bestBrush;
    vertex.hoverVert = map->brushes[bestBrush].faces[bestFace].indices[0];
    vertex.activeFace = bestFace;
    ui.selBrush = bestBrush;
    StatusSet(ui, "Face %d of Brush #%d  (%d face(s) selected)", bestFace, bestBrush,
             FaceSelCount(map));
    return 1;
}

static void ForgetEdge(UiState &ui)
{
    ui.vertex.pickedEdgeA = -1;
    ui.vertex.pickedEdgeB = -1;
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

