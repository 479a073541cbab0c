// vertex.h: the Vertex tool: reshaping the active solids by their vertices, edges and faces.
//
// Picking (vertices cycled through stacks, edges, faces), box selection in the 2D views, dragging
// with snapping and face sliding, and the keyboard operations. Every map edit checks its result on
// a copy first: a refused operation says so and leaves the map and the undo history alone.
// The selection half is vertex.cpp, the drag and the operations vertex_edit.cpp; the
// Merge Vertices prompt that a drop can open is editor/windows/merge_prompt.h.
#pragma once

#include "raylib.h"
#include "document/map_records.h"

struct UiState;

constexpr float kPickRadius = 20.25f;          // pixels around a vertex handle
constexpr float kEdgePickScale = 1.8f;         // edge midpoints: 1.8 x the pick radius
constexpr float kFacePickScale = 2.5f;         // face centres in the 2D views: 2.5 x the radius
constexpr int kMaxPickCandidates = 128;        // vertices under one click
constexpr int kMaxPickEdges = 128;             // edges of one brush the tool looks at
constexpr float kMarqueeMinSize = 2.0f;        // a box this small or smaller selects nothing
constexpr float kDragMoveEpsilon = 0.0001f;    // smaller drag offsets move nothing
constexpr float kMinLandEps = 0.01f;           // a dropped vertex this close to another landed on it
constexpr float kMaxLandEps = 0.25f;           // ... and never further, whatever the grid step
constexpr float kCollapseEps = 0.006f;
constexpr float kMapPositionLimit = 500.0f;    // positions the map's fields accept, either sign
constexpr int kMaxBrushEdges = kMaxBrushFaces * kMaxFaceCorners;   // an edge per corner at most

// Picks, the drag and the box of the tool (UiState.vertex). The vertex and face selection
// itself is document/selection.h.
struct VertexToolState {
    int hoverBrush, hoverVert;
    bool vertexDragging;
    int vertexDragView;
    bool vertexDragMoved;            // the drag has moved the selection (and taken its snapshot)
    Vector3 dragPlaneNormal;         // 3D-view drag: towards the camera
    Vector3 dragStartHit;            // world point under the mouse as the drag began
    int activeFace;
    int pickedEdgeA, pickedEdgeB;
    int stackCycleIndex, lastStackKey;
    Vector2 lastStackMouse;          // where the last vertex pick was clicked
    bool marqueeActive, marqueeAdditive;
    int marqueeView;
    Vector2 marqueeStart, marqueeEnd;
    int pickView;
    bool altHeld, additiveHeld;
    float pickRadius;
    bool wasVertexTool;
};

// One vertex under a click, with its depth along the view (larger is nearer the viewer).
struct VertexCandidate {
    int brush, vert;
    float depth;
};

// Phase 6: the whole tool for one frame while the input gate is open and the tool is active;
// otherwise it only ends a running drag and box.
void VertexToolPhase(MapDoc *map, UiState &ui);
// Forgets the picks, the drag, the box and the merge prompt: the map was replaced or restored.
void VertexToolForget(UiState &ui);
// Deselects every vertex and face; the picked edge goes with them.
void VertexClearSelection(UiState &ui);
// 1 when the picked edge is still an edge of a face of the picked brush, an active solid.
int VertexEdgeStillThere(const MapDoc *map, const UiState &ui);

// A left press at ui.mouse: picks and starts a drag, or on empty space starts a box (2D views)
// or clears the selection (3D view, unless additive). 1 when something was picked.
int VertexPress(MapDoc *map, UiState &ui);
// The view under ui.mouse for a press (0..3), or -1: outside every view or on the orientation widget.
int VertexPickView(const UiState &ui);
// Screen position of a world point in view `view` through that view's camera.
Vector2 VertexViewScreen(const UiState &ui, int view, Vector3 world);
// The active solids' vertices within the pick radius of mouse in `view`, nearest the viewer first
// (equal depths keep brush and vertex order); returns how many, at most max.
int VertexPickCandidates(const MapDoc *map, const UiState &ui, int view, Vector2 mouse, VertexCandidate *out, int max);
// The click of the tool at ui.mouse in `view` (morph mode decides what is picked); 1 when
// something was picked, 0 when the press met empty space.
int VertexClick(MapDoc *map, UiState &ui, int view);
// Ends the box selection and selects what lies inside it; returns how many items it added.
int VertexMarqueeFinish(const MapDoc *map, UiState &ui);

// Starts dragging the selection from the last pick; 1, or 0 when there is nothing to drag.
int VertexDragStart(MapDoc *map, UiState &ui);
// Moves the selection to follow ui.mouse (snapped, confined, or sliding a face with Shift).
void VertexDragUpdate(MapDoc *map, UiState &ui);
// Ends the drag; opens the merge prompt when dropped vertices landed on others. Returns their count.
int VertexDragRelease(MapDoc *map, UiState &ui);
// How close a dropped vertex must come to another to land on it, for a grid step.
float VertexLandEps(float gridStep);

// The operations' keys for one frame, in a fixed order (several may act in one frame).
void VertexEditKeys(MapDoc *map, UiState &ui);
// Ctrl+B and the vertex panel's Snap: the selected vertices onto the grid. Returns how many were
// selected, or 0 (with a status line, map unchanged) when a brush would not stay a closed solid.
int VertexSnapSelected(MapDoc *map, UiState &ui);
// Ctrl+M: each selected vertex lying on another of its brush is welded onto it; returns how many.
int VertexWeldSelected(MapDoc *map, UiState &ui);
// Delete: the selected vertices of each brush become one point at their mean; returns how many
// vertices that removed.
int VertexCollapseSelected(MapDoc *map, UiState &ui);
// Ctrl+E: a vertex in the middle of the picked edge; returns its index or -1.
int VertexSplitPickedEdge(MapDoc *map, UiState &ui);
// Ctrl+F: cuts a face of the picked brush between its two selected vertices; 1/0.
int VertexSplitFace(MapDoc *map, UiState &ui);
// Ctrl+Shift+E: every selected face moves out by one grid step; returns how many.
int VertexExtrudeFaces(MapDoc *map, UiState &ui);
// Ctrl+U: every selected face split into quads; returns the number of quads made.
int VertexSubdivideFaces(MapDoc *map, UiState &ui);
// Ctrl+A (clearOnly with Shift): everything on the active solids selected, or nothing.
void VertexSelectAll(const MapDoc *map, UiState &ui, bool clearOnly);
// The vertex panel's typed centre component: moves the selection so its centre's component
// `axis` takes the text's value, held to the map's position range. 1, or 0 (with a status line)
// when the text is not a finite number or nothing is selected.
int VertexCentreCommit(MapDoc *map, UiState &ui, int axis, const char *text);
