// clip.h: cutting brushes with planes and with the strokes drawn by the Clip tool.
#pragma once

#include <cstdint>
#include "raylib.h"

enum ClipKeep : int32_t {
    CLIP_KEEP_FRONT = 0,
    CLIP_KEEP_BACK = 1,
    CLIP_KEEP_BOTH = 2,
};

// Why ApplyClipPlanes cut nothing.
enum ClipRefusal : int32_t {
    CLIP_MISSED = 0,        // no plane crossed the brush (or the arguments were bad)
    CLIP_NO_ROOM = 1,       // a back part kept with "both" found no free brush slot in the map
    CLIP_PAST_LIMITS = 2,   // a kept part would pass the brush limits (vertices, faces)
    CLIP_NOT_CONVEX = 3,    // a plane crossed a brush that is not convex, which a cut cannot close right
};

// A point p is in front when dot(normal, p) - dist > 0.
struct ClipPlane {
    Vector3 normal;      // unit
    float dist;
    int32_t keep;        // ClipKeep
};

// One line or arc drawn in a 2D view.
struct ClipStroke {
    Vector3 start;       // world points of the drawn line
    Vector3 end;
    float bulge;         // signed sagitta of an arc
    int32_t segments;    // 2..16 for an arc
    uint8_t arc;
    int32_t keep;        // ClipKeep
    int32_t view;        // ViewKind 1..3 it was drawn in
};

struct Brush;
struct MapDoc;

// Distances under this count as on the plane.
constexpr float kClipSideEps = 0.0004f;
// Points closer than this share one vertex (and one cap-ring entry).
constexpr float kClipMergeEps = 0.0016f;
// An arc whose |bulge| is below this fraction of its chord is drawn straight.
constexpr float kClipStraightFraction = 0.002f;
constexpr float kClipMinChord = 0.0001f;
constexpr float kClipMinDrag = 0.001f;
constexpr float kClipMinCross = 1e-5f;
constexpr int kClipMaxPolyCorners = 32;      // corners collected per clipped face
constexpr int kClipMaxRingPoints = 128;      // cap points collected per cut (any section of a brush)
constexpr int kClipMaxStrokePoints = 17;     // 16 segments
constexpr int kClipMaxExtraPieces = 32;      // back parts kept by one ApplyClipPlanes
// A vertex counts as beyond a face's plane when it lies farther than the face's own bend plus
// this fraction of (1 + the brush's reach from its centroid): float noise and slightly bent
// faces of a convex brush stay within it.
constexpr float kClipConvexSlack = 1e-4f;

// Splits the brush by a plane in its local frame into front and back (either may be null).
// Returns bit 1 when front was written, bit 2 when back was; 3 for a real cut, 0 when the brush
// has fewer than 4 vertices or faces, the plane or a vertex is not finite, the plane crosses a
// brush that is not convex, or no part could be built. refusal (when given) says CLIP_NOT_CONVEX
// for the brush that is not convex, else CLIP_MISSED.
int BrushClip(const Brush *brush, Vector3 normal, float dist, Brush *front, Brush *back, int *refusal = nullptr);
// 1 when no face's plane has vertices of the brush (those the faces use) clearly on both of its
// sides, whichever way the faces are wound; a cut's cap closes only the section of such a brush.
int BrushIsConvex(const Brush *brush);
// Builds the part of brush with sign x (dot(n, p) - dist) >= 0, closed by a cap; 1 when out is a
// closed brush of at least 4 vertices and 4 faces, all finite, else 0 (out must not be used).
int BuildClippedSide(const Brush *brush, Vector3 normal, float dist, int sign, Brush *out);
// Index of the first vertex within kClipMergeEps of point, else BrushAddVert's result (-1 full);
// -1 for a point that is not finite.
int ClipAddVert(Brush *brush, Vector3 point);
// Sorts count coplanar points (at most kClipMaxRingPoints) by their angle about their mean;
// leaves them as they are when the normal or a point is not finite.
void SortCoplanarRing(Vector3 *points, int count, Vector3 normal);
// Writes segments + 1 points of the straight line or arc from a to b across the view; returns
// the number written, 0 for a bad view, a chord under kClipMinChord, no room, or an input or point
// that is not finite (out must not be used then).
int ClipArcPoints(Vector3 a, Vector3 b, float bulge, int view, int segments, Vector3 *out, int cap);
// The vertical plane through a-b in a 2D view; 1 with the plane, 0 for a short drag, a bad view or
// a point or plane that is not finite (outputs untouched).
int ClipPlaneFromDrag(Vector3 a, Vector3 b, int view, Vector3 *outNormal, float *outDist);
// One plane per segment of the stroke; returns the number written.
int ClipStrokeToPlanes(const ClipStroke *stroke, ClipPlane *outPlanes, int maxPlanes);
// Cuts brush brushIndex of the map by the world planes in order, building only the parts each
// plane keeps; returns 1 + the number of brushes added, or 0 with the map untouched when nothing
// was cut, a plane is not finite or the cut was refused; refusal (when given) then says why.
int ApplyClipPlanes(MapDoc *map, int brushIndex, const ClipPlane *planes, int count, int *refusal = nullptr);
