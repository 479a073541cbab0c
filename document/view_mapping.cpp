// view_mapping.cpp: 2D view mapping, ray/plane meeting, the widget test and face picking.
#include "document/view_mapping.h"

#include <cmath>

#include "raymath.h"
#include "document/brush_geometry.h"
#include "document/topology.h"

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
Vector3 ScreenToOrthoWorld(Vector2 mouse, Rectangle rect, Camera3D camera, float zoom, int view)
{
    if (rect.width <= kMinViewExtent || rect.height <= kMinViewExtent) return Vector3{ 0.0f, 0.0f, 0.0f };
    float aspect = rect.width / rect.height;
    float nx = (mouse.x - rect.x) / rect.width - 0.5f;    // -0.5 .. 0.5 across the view
    float ny = (mouse.y - rect.y) / rect.height - 0.5f;
    Vector3 t = camera.target;
    switch (view) {
    case VIEW_TOP: return Vector3{ t.x + zoom * aspect * nx, t.y, t.z + zoom * ny };
    case VIEW_FRONT: return Vector3{ t.x + zoom * aspect * nx, t.y - zoom * ny, t.z };
    case VIEW_SIDE: return Vector3{ t.x, t.y - zoom * ny, t.z - zoom * aspect * nx };
    default: return Vector3{ 0.0f, 0.0f, 0.0f };
    }
}

Vector2 WorldToViewportScreen(Vector3 point, Rectangle rect, Camera3D camera, float zoom, int view)
{
    if (view == VIEW_3D) {
        // Whole pixels, the same size the 3D pick ray is cast for, so the two stay inverses.
        Vector2 s = GetWorldToScreenEx(point, camera, (int)rect.width, (int)rect.height);
        return Vector2{ s.x + rect.x, s.y + rect.y };
    }
    if (rect.width <= kMinViewExtent || rect.height <= kMinViewExtent) return Vector2{ kOffScreen, kOffScreen };
    float aspect = rect.width / rect.height;
    Vector3 d = Vector3Subtract(point, camera.target);
    float nx = 0.0f, ny = 0.0f;
    switch (view) {
    case VIEW_TOP: nx = d.x / (zoom * aspect); ny = d.z / zoom; break;
    case VIEW_FRONT: nx = d.x / (zoom * aspect); ny = -d.y / zoom; break;
    case VIEW_SIDE: nx = -d.z / (zoom * aspect); ny = -d.y / zoom; break;
    default: break;
    }
    return Vector2{ rect.x + rect.width * (nx + 0.5f), rect.y + rect.height * (ny + 0.5f) };
}

int RayPlaneIntersect(Ray ray, Vector3 planePoint, Vector3 planeNormal, Vector3 *out)
{
    float denom = Vector3DotProduct(planeNormal, ray.direction);
    if (fabsf(denom) < kParallelEpsilon) return 0;
    float t = Vector3DotProduct(Vector3Subtract(planePoint, ray.position), planeNormal) / denom;
    if (t < 0.0f) return 0;                              // behind the origin; t = 0 is a hit
    *out = Vector3Add(ray.position, Vector3Scale(ray.direction, t));
    return 1;
}

int IsMouseOverCameraGizmo(Vector2 mouse, Rectangle rect)
{
    Vector2 centre = { rect.x + rect.width - kGizmoCornerOffset, rect.y + kGizmoCornerOffset };
    return CheckCollisionPointCircle(mouse, centre, kGizmoRadius) ? 1 : 0;
}

int PickFace3D(const MapDoc *map, Ray ray, int *outBrush, int *outFace)
{
    float best = kRayFar;
    int bestBrush = -1, bestFace = -1;
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    for (int b = 0; b < brushes; b++) {
        const Brush *brush = &map->brushes[b];
        if (brush->hidden) continue;
        int faces = ClampCount(brush->faceCount, kMaxBrushFaces);
        for (int f = 0; f < faces; f++) {
            const BrushFace *face = &brush->faces[f];
            int corners = FaceCornerCount(face);
            if (corners < kMinFaceCorners) continue;
            Vector3 a = BrushVertWorld(brush, face->indices[0]);
            for (int i = 1; i + 1 < corners; i++) {
                Vector3 p = BrushVertWorld(brush, face->indices[i]);
                Vector3 q = BrushVertWorld(brush, face->indices[i + 1]);
                RayCollision hit = GetRayCollisionTriangle(ray, a, p, q);
                if (hit.hit && hit.distance < best) {     // strictly nearer: earlier faces win ties
                    best = hit.distance;
                    bestBrush = b;
                    bestFace = f;
                }
            }
        }
    }
    if (bestBrush < 0) return 0;
    *outBrush = bestBrush;
    *outFace = bestFace;
    return 1;
}
