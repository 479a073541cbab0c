// gizmos.h: entity gizmos, physics markers, the sky gradient and the orientation widget.
//
// Gizmos and markers draw inside a 3D camera mode the caller opened; the sky and the widget draw
// in 2D pixels. Icons come from the asset library's icon table by name; without an icon a wire
// shape stands in.
#pragma once

#include "raylib.h"
#include "document/map_records.h"

constexpr int kSkyStars = 140;
constexpr int kOrientHandleCount = 4;
constexpr float kOrientCornerOffset = 101.25f;   // widget centre from the view's top-right corner
constexpr float kOrientRadius = 72.0f;
constexpr float kOrientHandleReach = 0.7f;       // axis handles sit at this share of the radius
constexpr float kOrientHoverRadius = 18.0f;
constexpr float kOrientHandleRadius = 15.75f;

// One handle of the orientation widget; axis (0,0,0) marks the centre handle.
struct OrientHandle {
    const char *label;
    Vector3 axis;
    Color colour;
    Vector3 cameraOffset;    // camera position relative to its target after a click
    Vector3 cameraUp;
};
extern const OrientHandle kOrientHandles[kOrientHandleCount];

// Index of the first loaded icon named exactly name, -1 if none.
int FindIcon(const char *name);
// Wire shape for an entity kind without an icon.
void DrawFallbackGizmo(int kind, Vector3 position, float size, Color colour);
// Index of the icon that stands for the entity, -1 when a wire shape stands in.
int EntityGizmoIcon(const Entity *entity);
// Distance from an entity's position within which its icon or wire shape lies.
float EntityGizmoReach(float size);
// Distance within which a light's direction line and cone lie; 0 for other kinds.
float EntityDirectionReach(const Entity *entity, float size);
// Icon or wire shape of an entity, plus direction and cone lines for spot and sun lights.
void DrawEntityGizmo(Camera3D camera, const Entity *entity, float size, bool selected);
// The icon part of the gizmo (icon from EntityGizmoIcon, 0 or more).
void DrawEntityGizmoIcon(Camera3D camera, const Entity *entity, int icon, float size, bool selected);
// The line part: the wire shape when icon is -1, and the direction and cone lines.
void DrawEntityGizmoLines(const Entity *entity, int icon, float size, bool selected);
// "physics" icon or a light-blue wire cube above a physics brush.
void DrawPhysicsMarker(Camera3D camera, const Brush *brush, float size);
// Colours at the top and bottom of the sky gradient for a SkyStyle (Day for unknown styles).
void SkyColours(int sky, Color *top, Color *bottom);
// Pixel of star i for a width x height sky (stars stay in the upper three quarters).
Vector2 SkyStarPosition(int i, int width, int height);
// Vertical gradient over (0, 0, width, height), stars for Night.
void DrawSkyBackground(int sky, int width, int height);
// Screen position of handle h of the widget drawn in rect for this camera.
Vector2 OrientHandlePosition(Rectangle rect, Camera3D camera, int h);
// Draws the widget in the view's corner; a click on a handle moves the camera around its target.
// Returns 1 when it moved the camera this frame, else 0.
int DrawCameraGizmo(Rectangle rect, Camera3D *camera, Vector2 mouse);
