// view_mapping.h: from the mouse to the world and back, and picking faces in the 3D view.
//
// The 2D views are orthographic: the camera target is the world point at the view's centre and
// the zoom is the world height the view shows. Screen axes (right, down) per view: top +X, +Z;
// front +X, -Y; side -Z, -Y; the depth axis always comes from the camera target. Pure functions:
// the rectangles, cameras and zoom belong to the editor.
#pragma once

#include "raylib.h"
#include "document/map_records.h"

constexpr float kMinViewExtent = 0.001f;           // a view this thin or thinner maps nothing
constexpr float kOffScreen = -10000.0f;            // screen coordinate of a point no view shows
constexpr float kGizmoCornerOffset = 101.25f;      // orientation widget centre from the top-right corner
constexpr float kGizmoRadius = 85.5f;              // its pick radius in pixels
constexpr float kParallelEpsilon = 1e-6f;          // |dot(normal, direction)| below this: parallel

// World point under screen point mouse in 2D view `view` (1..3); (0, 0, 0) for another view or
// a view rectangle 0.001 pixels or less across.
Vector3 ScreenToOrthoWorld(Vector2 mouse, Rectangle rect, Camera3D camera, float zoom, int view);
// Screen point of a world point in view `view` (0..3); (-10000, -10000) for a 2D view
// rectangle 0.001 pixels or less across.
Vector2 WorldToViewportScreen(Vector3 point, Rectangle rect, Camera3D camera, float zoom, int view);
// 1 with the meeting point in out when the ray meets the plane at or in front of its origin;
// else 0 and out untouched.
int RayPlaneIntersect(Ray ray, Vector3 planePoint, Vector3 planeNormal, Vector3 *out);
// 1 when mouse is over the orientation widget of the 3D view drawn in rect.
int IsMouseOverCameraGizmo(Vector2 mouse, Rectangle rect);
// 1 with the brush and face of the nearest visible face the ray hits (earlier ones win ties);
// 0 with the outputs untouched when it hits none.
int PickFace3D(const MapDoc *map, Ray ray, int *outBrush, int *outFace);
