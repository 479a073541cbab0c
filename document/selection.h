// selection.h: which vertices and faces of which brushes are selected.
//
// The sets are indexed by brush slot and by vertex or face index and live beside the one map.
// Nothing here follows renumbering (weld, delete, undo, load): the editor clears the sets around
// such changes. Bits past a brush's vertex or face count may be set; every reader ignores them.
// The whole-object selection (one brush, one entity) belongs to the editor's state, not here.
#pragma once

#include <cstdint>
#include "raylib.h"
#include "document/map_records.h"

extern uint64_t gVtxSel[kMaxBrushes];                       // bit i of word b: vertex i of brush b
extern uint64_t gFaceSel[kMaxBrushes];                      // bit i of word b: face i of brush b
extern uint8_t gVtxActive[kMaxBrushes];                     // 1: brush b shows its vertex handles

// 1 when vertex `vertex` of brush slot `brush` is selected (slot 0..255, vertex 0..63).
int VtxIsSel(int brush, int vertex);
// 1 when face `face` of brush slot `brush` is selected (slot 0..255, face 0..63).
int FaceIsSel(int brush, int face);
// Selects (on != 0) or deselects one vertex.
void VtxSet(int brush, int vertex, uint8_t on);
// Selects (on != 0) or deselects one face.
void FaceSet(int brush, int face, uint8_t on);
// Deselects every vertex and face; the active solids stay.
void VtxClearSelection(void);
// Clears the active solids, then every vertex and face selection.
void VtxClearActive(void);
// Selected vertices of the map's brushes, counting only vertices below each vertex count.
int VtxSelCount(const MapDoc *map);
// Selected faces of the map's brushes, counting only faces below each face count.
int FaceSelCount(const MapDoc *map);
// Brushes of the map that are active solids.
int VtxActiveCount(const MapDoc *map);
// Adds the corners of every selected face to the vertex selection.
void SyncFaceSelectionToVerts(const MapDoc *map);
// Mean world position of the selected vertices into out; returns 1, or 0 with out untouched.
int GetVertexSelectionCenter(const MapDoc *map, Vector3 *out);
// Moves the selected vertices by one world offset so their mean lands on target.
void MoveVertexSelectionTo(MapDoc *map, Vector3 target);
