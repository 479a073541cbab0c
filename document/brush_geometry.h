// brush_geometry.h: the small geometric operations on one brush.
//
// Grid snapping, the brush's rotation frame, local/world conversion of vertices, face normals,
// centres and planarity, winding, and appending vertices and faces. Pure functions of the records
// apart from the ones that write into the brush; no state of their own.
#pragma once

#include "raylib.h"
#include "raymath.h"   // after raylib.h, which defines the vector types
#include "document/map_records.h"

constexpr float kDegToRad = 0.017453292f;
// Shortest Newell vector (twice the face's area) that still gives a face a normal of its own.
constexpr float kFaceMinNewellLength = 0.000001f;

// value rounded to the nearest multiple of step (halves away from zero); unchanged for step <= 0.0001.
float SnapToGrid(float value, float step);
// MatrixRotateXYZ of the brush's pitch, yaw and roll in radians.
Matrix BrushRotMatrix(const Brush *brush);
// 1 when any rotation component is not 0 (a NaN component counts as not 0).
int BrushIsRotated(const Brush *brush);
// World position of vertex i; the origin for an index out of range.
Vector3 BrushVertWorld(const Brush *brush, int i);
// World position of a point in the brush's local frame.
Vector3 BrushPointWorld(const Brush *brush, Vector3 local);
// Stores vertex i from a world position; does nothing for an index out of range.
void BrushSetVertWorld(Brush *brush, int i, Vector3 world);
// Corners that can be read: a count from a damaged record is held to 0..16.
int FaceCornerCount(const BrushFace *face);
// Unit Newell normal of the face in the local frame; (0, 1, 0) for a face of no area.
Vector3 FaceNormalLocal(const Brush *brush, const BrushFace *face);
// 1 when the face has area, by the same test that gives it a normal of its own in FaceNormalLocal.
int FaceHasArea(const Brush *brush, const BrushFace *face);
// The local normal turned by the brush's rotation.
Vector3 FaceNormalWorld(const Brush *brush, const BrushFace *face);
// Mean of the face's corners in the local frame; (0, 0, 0) for a face of no corners.
Vector3 FaceCenterLocal(const Brush *brush, const BrushFace *face);
// Mean of all vertices in the local frame; (0, 0, 0) for a brush without vertices.
Vector3 BrushCentroidLocal(const Brush *brush);
// Signed volume the faces enclose in the local frame, each face fanned from its first corner;
// positive when wound outward. Faces of fewer than 3 corners or with an index out of range add nothing.
float BrushSignedVolume(const Brush *brush);
// Largest distance of a corner from the face's plane; 0 below 4 corners.
float FacePlanarError(const Brush *brush, const BrushFace *face);
// Reverses the face's winding in place.
void FaceReverse(BrushFace *face);
// Winds every face the same way round as its neighbours across their shared edges, each shell
// of faces outward by the sign of its volume; a face sharing no edge is turned to face away from
// the centroid. A consistently wound brush, convex or not, is left as it is.
void BrushFixWinding(Brush *brush);
// 1 when every component of the count points is finite (not NaN, not infinite).
int VertsAreFinite(const Vector3 *verts, int count);
// Appends a local vertex; returns its index, or -1 when the brush is full.
int BrushAddVert(Brush *brush, Vector3 local);
// Appends a face of n corners with default placement; returns its index, or -1 when the brush is
// full or n is outside 3..16. The indices are not checked against vertCount.
int BrushAddFace(Brush *brush, const int *indices, int n, int texture);
