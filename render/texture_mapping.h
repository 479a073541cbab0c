// texture_mapping.h: texture coordinates of a face's corners from its placement.
//
// World faces map from world positions and slide when the brush moves; Local and Fit faces map
// from the stored local positions and keep their texture. Pure functions: nothing is cached.
// Calling order per face: FaceUVNormal, FaceTextureAxes, FaceFitBounds (Fit only), FaceVertexUV.
#pragma once

#include "raylib.h"
#include "document/map_records.h"

constexpr float kMinUvScale = 0.0001f;     // a scale this small or smaller counts as 1
constexpr float kMinFitRange = 0.0001f;    // a Fit extent below this counts as 1

// The two world (or local) axes a face with this normal maps onto; signs of the normal ignored.
void FaceTextureAxes(Vector3 normal, Vector3 *outU, Vector3 *outV);
// (U, V) of a mapping position for a World or Local face: rotation, flips, scale, offset.
Vector2 FaceUV(Vector3 point, Vector3 axisU, Vector3 axisV, const BrushFace *face);
// Position a corner maps from: world position for World faces, local position otherwise.
Vector3 FaceUVSource(const Brush *brush, const BrushFace *face, int vertex);
// Normal that picks the axes: the local normal, turned by the brush rotation for World faces.
Vector3 FaceUVNormal(const Brush *brush, const BrushFace *face);
// Minimum and extent of the face's corners along U and V (extents below 0.0001 become 1).
void FaceFitBounds(const Brush *brush, const BrushFace *face, Vector3 axisU, Vector3 axisV,
                   float *minU, float *rangeU, float *minV, float *rangeV);
// (U, V) of one corner in any projection; the bounds are read for Fit faces only.
Vector2 FaceVertexUV(const Brush *brush, const BrushFace *face, int vertex, Vector3 axisU, Vector3 axisV,
                     float minU, float rangeU, float minV, float rangeV);
