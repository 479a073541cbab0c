// topology.h: measuring a brush in world space and editing its vertex and face structure.
//
// Every edit works on one brush in place and refuses, leaving the brush byte for byte unchanged,
// when its result would not fit the brush capacities, would leave a face with a T-junction, or
// would hold a vertex that is not finite (a NaN or infinite parameter, a sum that overflows, or a
// brush whose vertices were already damaged).
// None of them takes an undo snapshot, touches the selection sets or fixes the winding unless
// its line says so: the callers do that.
#pragma once

#include "raylib.h"
#include "document/map_records.h"

constexpr int kMinSolidFaces = 4;   // a tetrahedron: fewer faces enclose nothing
constexpr float kMinSolidVolume = 1e-6f;   // a brush enclosing less is flat

// Largest distance a ray hit can report; also the "nothing hit yet" start value.
constexpr float kRayFar = 1e30f;

// World-space box of every vertex (used by a face or not); (origin, origin) without vertices.
BoundingBox GetBrushBoundingBox(const Brush *brush);
// 1 when the ray hits a face (fan triangles in world space); writes the nearest distance when
// distance is not null, else leaves it alone. Hidden brushes are not skipped.
int RayBrushHit(Ray ray, const Brush *brush, float *distance);
// Writes each undirected edge once as (lo, hi) in order of first appearance, at most max;
// returns the number written.
int BrushBuildEdges(const Brush *brush, int (*pairs)[2], int max);
// Drops the vertices no face uses, keeping the order, and renumbers the face corners.
void BrushCompactVerts(Brush *brush);
// Drops entries of a closed polygon equal to the one before (the first compared with the last),
// then trailing entries equal to the first, in place; returns the new length.
int CleanPolygon(int *poly, int n);
// Removes repeated consecutive corners from every face and drops faces left with 2 or fewer.
void BrushCleanFaces(Brush *brush);
// Merges every vertex within eps of an earlier representative, then cleans and compacts;
// returns the number merged (0 leaves the brush untouched, as does a non-finite eps).
int BrushWeldVerts(Brush *brush, float eps);
// Merges vertex i into onto[i] for every i with onto[i] != i (each target must be its own
// onto), then cleans and compacts; returns the number merged. 0 leaves the brush untouched: a bad
// list, nothing to merge, or a closed brush that would come out open or with fewer than 4 faces.
int BrushMergeVerts(Brush *brush, const int *onto);
// 1 when every directed edge is matched by exactly one opposite edge and no face passes through a
// vertex twice or names a vertex out of range.
int BrushIsClosed(const Brush *brush);
// 1 when moved, the brush with only its vertices moved, is still a solid wherever the brush was
// one: taking vertices that now coincide as one point, still closed with at least 4 faces and some
// volume. A brush that was no solid (a plane) must keep a face; any non-finite vertex gives 0.
int BrushMoveKeepsSolid(const Brush *brush, const Brush *moved);
// Adds the midpoint of a and b and inserts it into every face with that edge; returns the new
// index, or -1 (brush unchanged) when it does not fit or a face with the edge has 16 corners.
int BrushSplitEdge(Brush *brush, int a, int b);
// Cuts the face along the diagonal between vertices a and b; the second half becomes the last
// face. Returns 1, or 0 when refused.
int BrushSplitFaceDiagonal(Brush *brush, int face, int a, int b);
// Moves the face out along its normal by distance and joins it back with side quads; 1/0.
int BrushExtrudeFace(Brush *brush, int face, float distance);
// Mirrors the vertices about the centroid on axis 0 X, 1 Y, other Z and reverses every face; 1/0.
int BrushFlip(Brush *brush, int axis);
// Splits the face into quads around its centre, inserting the edge midpoints into the faces
// beside it; returns the number of quads made, 0 when refused (brush unchanged).
int BrushSubdivideFace(Brush *brush, int face);
// Splits every face of the brush into quads with midpoints shared along each edge; 1, or 0
// with the brush unchanged when the result would not fit.
int SubdivideBrush(MapDoc *map, int brush);
