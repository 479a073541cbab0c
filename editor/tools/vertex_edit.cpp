// vertex_edit.cpp: the Vertex tool's editing half: dragging the selection, the drop onto
// other vertices, and the keyboard operations.
//
// The selection sets are indexed by vertex and face number, so every operation that renumbers a
// brush clears them. An operation works on a copy of the map and commits it, after one undo
// snapshot, only when something changed and nothing was refused.
#include "editor/tools/vertex.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "raymath.h"
#include "document/brush_geometry.h"
#include "document/selection.h"
#include "document/settings.h"
#include "document/topology.h"
#include "document/undo.h"
#include "document/view_mapping.h"
#include "editor/input.h"
#include "editor/layout.h"
#include "editor/widgets.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
constexpr float kWeldGridShare = 0.25f;   // Ctrl+M: a quarter grid step
constexpr float kLandGridShare = 0.5f;    // a drop: half a grid step

// The tool's two large work areas live here rather than in VertexToolState, so that UiState
// stays a few kilobytes and may be held anywhere, the stack included.

// Local positions of every brush's vertices as the running drag began.
static Vector3 gVtxOrig[kMaxBrushes][kMaxBrushVerts];
// The map as an operation would leave it, checked before it replaces the real one.
static MapDoc sWork;

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static Vector3 WorldDirToLocal(const Brush *brush, Vector3 d);
static void ZeroDepthAxis(Vector3 *v, int view);
static Vector3 SnapInView(Vector3 p, int view, float step);
static int NearestTarget(const Brush *brush, int b, int v, const int *onto, float eps, bool selectedToo);
static void CommitWork(MapDoc *map);
static int SelectionWorldBox(const MapDoc *map, bool fromDragStart, Vector3 *lo, Vector3 *hi);
static Vector3 HoldDragInRange(Vector3 delta, Vector3 lo, Vector3 hi, bool keepDirection);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int VertexDragStart(MapDoc *map, UiState &ui)
{
    VertexToolState &vertex = ui.vertex;
    if (VtxSelCount(map) == 0 || !MapBrushValid(map, vertex.hoverBrush)) return 0;
    const Brush *anchor = &map->brushes[vertex.hoverBrush];
    if (vertex.hoverVert < 0 || vertex.hoverVert >= ClampCount(anchor->vertCount, kMaxBrushVerts)) return 0;
    int view = vertex.pickView;
    Vector3 hit;
    if (view == VIEW_3D) {
        Vector3 normal = Vector3Normalize(Vector3Subtract(ui.cam3D.position, ui.cam3D.target));
        if (!RayPlaneIntersect(PickRay3D(ui), BrushVertWorld(anchor, vertex.hoverVert), normal, &hit)) return 0;
        vertex.dragPlaneNormal = normal;
    } else if (view >= VIEW_TOP && view <= VIEW_SIDE) {
        hit = ScreenToOrthoWorld(ui.mouse, ui.viewRect[view], ui.cam2D[view - 1], ui.orthoZoom, view);
    } else {
        return 0;
    }
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    for (int b = 0; b < brushes; b++) memcpy(gVtxOrig[b], map->brushes[b].verts, sizeof(gVtxOrig[b]));
    vertex.vertexDragging = true;
    vertex.vertexDragView = view;
    vertex.vertexDragMoved = false;
    vertex.dragStartHit = hit;
    return 1;
}

void VertexDragUpdate(MapDoc *map, UiState &ui)
{
    VertexToolState &vertex = ui.vertex;
    if (!vertex.vertexDragging || !MapBrushValid(map, vertex.hoverBrush)) return;
    const Brush *anchor = &map->brushes[vertex.hoverBrush];
    if (vertex.hoverVert < 0 || vertex.hoverVert >= ClampCount(anchor->vertCount, kMaxBrushVerts)) return;
    int view = vertex.vertexDragView;
    Vector3 current;
    if (view == VIEW_3D) {
        if (!RayPlaneIntersect(PickRay3D(ui), vertex.dragStartHit, vertex.dragPlaneNormal, &current)) return;
    } else {
        current = ScreenToOrthoWorld(ui.mouse, ui.viewRect[view], ui.cam2D[view - 1], ui.orthoZoom, view);
    }
    Vector3 delta = Vector3Subtract(current, vertex.dragStartHit);
    ZeroDepthAxis(&delta, view);
    // Until the mouse moves, a pick leaves even an off-grid anchor where it is.
    if (!vertex.vertexDragMoved && Vector3Length(delta) <= kDragMoveEpsilon) return;

    // The anchor lands on the grid; every other selected vertex keeps its offset from it.
    Vector3 a0 = BrushPointWorld(anchor, gVtxOrig[vertex.hoverBrush][vertex.hoverVert]);
    Vector3 target = SnapInView(Vector3Add(a0, delta), view, gSnap.vertex ? gSettings.gridStep : 0.0f);
    delta = Vector3Subtract(target, a0);
    ZeroDepthAxis(&delta, view);

    bool slide = ui.morphMode == MORPH_FACE && ui.shiftHeld && vertex.activeFace >= 0 &&
                 vertex.activeFace < ClampCount(anchor->faceCount, kMaxBrushFaces);
    if (slide) {
        Vector3 n = FaceNormalWorld(anchor, &anchor->faces[vertex.activeFace]);
        n = Vector3Normalize(n);
        delta = Vector3Scale(n, Vector3DotProduct(delta, n));
    }
    if (!VertsAreFinite(&delta, 1)) return;
    Vector3 lo, hi;
    if (SelectionWorldBox(map, true, &lo, &hi)) delta = HoldDragInRange(delta, lo, hi, slide);
    bool moves = fabsf(delta.x) > kDragMoveEpsilon || fabsf(delta.y) > kDragMoveEpsilon || fabsf(delta.z) > kDragMoveEpsilon;
    if (!moves && !vertex.vertexDragMoved) return;
    if (!vertex.vertexDragMoved) {
        PushUndoState(map);   // the map is still as the drag found it: one Undo undoes the drag
        vertex.vertexDragMoved = true;
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
    VertexToolState &vertex = ui.vertex;
    vertex.vertexDragging = false;
    bool moved = vertex.vertexDragMoved;
    vertex.vertexDragMoved = false;
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
    StatusSet(ui, "%d vertex/vertices landed on another - weld?", found);
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
        // A coarse grid can fold a small brush flat or into one point, as a weld could.
        if (!BrushMoveKeepsSolid(&map->brushes[b], brush)) {
            StatusSet(ui, "Cannot snap: Brush #%d would not stay a closed solid.", b);
            return 0;
        }
    }
    CommitWork(map);
    StatusSet(ui, "Snapped %d vertex/vertices to grid.", n);
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
            StatusSet(ui, "Cannot weld: Brush #%d would not stay a closed solid.", b);
            return 0;
        }
        total += merged;
    }
    if (total > 0) {
        CommitWork(map);
        VertexClearSelection(ui);
    }
    StatusSet(ui, "Welded %d vertex/vertices.", total);
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
            StatusSet(ui, "Cannot collapse: Brush #%d would not stay a closed solid.", b);
            return 0;
        }
        total += merged;
    }
    if (total > 0) {
        CommitWork(map);
        VertexClearSelection(ui);
    }
    StatusSet(ui, "Collapsed selection, removed %d vertex/vertices.", total);
    return total;
}

int VertexSplitPickedEdge(MapDoc *map, UiState &ui)
{
    VertexToolState &vertex = ui.vertex;
    if (!VertexEdgeStillThere(map, ui)) {
        vertex.pickedEdgeA = vertex.pickedEdgeB = -1;
        StatusSet(ui, "No edge picked: click an edge first.");
        return -1;
    }
    Brush work = map->brushes[vertex.hoverBrush];
    int m = BrushSplitEdge(&work, vertex.pickedEdgeA, vertex.pickedEdgeB);
    if (m < 0) {
        StatusSet(ui, "Could not split edge (limit reached).");
        return -1;
    }
    PushUndoState(map);
    map->brushes[vertex.hoverBrush] = work;
    VertexClearSelection(ui);   // the picked edge is two edges now
    VtxSet(vertex.hoverBrush, m, 1);
    vertex.hoverVert = m;
    StatusSet(ui, "Inserted vertex %d on the edge.", m);
    return m;
}

int VertexSplitFace(MapDoc *map, UiState &ui)
{
    VertexToolState &vertex = ui.vertex;
    if (VtxSelCount(map) != 2 || !MapBrushValid(map, vertex.hoverBrush)) return 0;
    const Brush *brush = &map->brushes[vertex.hoverBrush];
    int ends[2] = { -1, -1 }, found = 0;
    for (int i = 0; i < ClampCount(brush->vertCount, kMaxBrushVerts) && found < 2; i++) {
        if (VtxIsSel(vertex.hoverBrush, i)) ends[found++] = i;
    }
    if (found == 2) {
        for (int f = 0; f < ClampCount(brush->faceCount, kMaxBrushFaces); f++) {
            Brush work = *brush;
            if (!BrushSplitFaceDiagonal(&work, f, ends[0], ends[1])) continue;
            PushUndoState(map);
            map->brushes[vertex.hoverBrush] = work;
            StatusSet(ui, "Split face diagonally into two.");
            return 1;
        }
    }
    StatusSet(ui, "Pick two OPPOSITE corners of one quad face first.");
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
        StatusSet(ui, "Extruded %d face(s); %d would pass the brush limits.", done,
                 refused);
    } else {
        StatusSet(ui, "Extruded %d face(s).", done);
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
        VertexClearSelection(ui);
    }
    if (refused > 0) {
        StatusSet(ui, "Subdivided into %d quad(s); %d face(s) would pass the brush limits.",
                 quads, refused);
    } else {
        StatusSet(ui, "Subdivided into %d quad(s).", quads);
    }
    return quads;
}

int VertexCentreCommit(MapDoc *map, UiState &ui, int axis, const char *text)
{
    Vector3 centre;
    if (axis < 0 || axis > 2 || !GetVertexSelectionCenter(map, &centre)) return 0;
    float value;
    if (!NumFieldParse(text, -kMapPositionLimit, kMapPositionLimit, &value)) {
        StatusSet(ui, kNotFiniteStatus, text);
        return 0;
    }
    // The whole selection moves by one offset: it is held so no selected vertex leaves the range.
    Vector3 lo = centre, hi = centre;
    SelectionWorldBox(map, false, &lo, &hi);
    float *c = &centre.x + axis;
    float offset = value - *c;
    float least = -kMapPositionLimit - (&lo.x)[axis], most = kMapPositionLimit - (&hi.x)[axis];
    if (least <= most) offset = Clamp(offset, least, most);
    if (fabsf(offset) <= kDragMoveEpsilon) return 1;
    *c += offset;
    PushUndoState(map);
    MoveVertexSelectionTo(map, centre);
    return 1;
}

void VertexEditKeys(MapDoc *map, UiState &ui)
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

void VertexClearSelection(UiState &ui)
{
    VtxClearSelection();
    ui.vertex.pickedEdgeA = -1;
    ui.vertex.pickedEdgeB = -1;
}

int VertexEdgeStillThere(const MapDoc *map, const UiState &ui)
{
    const VertexToolState &vertex = ui.vertex;
    if (!MapBrushValid(map, vertex.hoverBrush) || !gVtxActive[vertex.hoverBrush]) return 0;
    const Brush *brush = &map->brushes[vertex.hoverBrush];
    int a = vertex.pickedEdgeA, b = vertex.pickedEdgeB;
    if (a < 0 || b < 0 || a == b || a >= brush->vertCount || b >= brush->vertCount) return 0;
    static int pairs[kMaxBrushEdges][2];
    int edges = BrushBuildEdges(brush, pairs, kMaxBrushEdges);
    for (int e = 0; e < edges; e++) {
        if ((pairs[e][0] == a && pairs[e][1] == b) || (pairs[e][0] == b && pairs[e][1] == a)) return 1;
    }
    return 0;
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
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

// The world box of the selected vertices, where the drag found them or where they are now; 0 (box
// untouched) when nothing is selected.
static int SelectionWorldBox(const MapDoc *map, bool fromDragStart, Vector3 *lo, Vector3 *hi)
{
    int found = 0;
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    for (int b = 0; b < brushes; b++) {
        if (gVtxSel[b] == 0) continue;
        const Brush *brush = &map->brushes[b];
        for (int i = 0; i < ClampCount(brush->vertCount, kMaxBrushVerts); i++) {
            if (!VtxIsSel(b, i)) continue;
            Vector3 p = fromDragStart ? BrushPointWorld(brush, gVtxOrig[b][i]) : BrushVertWorld(brush, i);
            *lo = found ? Vector3Min(*lo, p) : p;
            *hi = found ? Vector3Max(*hi, p) : p;
            found = 1;
        }
    }
    return found;
}

// The drag offset held so no selected vertex (spanning lo..hi at the start) leaves the map's
// position range; a selection already outside may come back but not go further. A face slide is
// shortened along its normal instead of being bent off it.
static Vector3 HoldDragInRange(Vector3 delta, Vector3 lo, Vector3 hi, bool keepDirection)
{
    float *d = &delta.x;
    float scale = 1.0f;
    for (int k = 0; k < 3; k++) {
        float least = fminf(0.0f, -kMapPositionLimit - (&lo.x)[k]);
        float most = fmaxf(0.0f, kMapPositionLimit - (&hi.x)[k]);
        if (!keepDirection) d[k] = Clamp(d[k], least, most);
        else if (d[k] > most) scale = fminf(scale, most / d[k]);
        else if (d[k] < least) scale = fminf(scale, least / d[k]);
    }
    return keepDirection ? Vector3Scale(delta, scale) : delta;
}

// Replaces the map with the work copy after one snapshot, when the operation changed anything.
static void CommitWork(MapDoc *map)
{
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    if (memcmp(sWork.brushes, map->brushes, sizeof(Brush) * (size_t)brushes) == 0) return;
    PushUndoState(map);
    memcpy(map->brushes, sWork.brushes, sizeof(Brush) * (size_t)brushes);
}
