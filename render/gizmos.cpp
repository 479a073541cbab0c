// gizmos.cpp: small drawings for things without geometry of their own.
#include "render/gizmos.h"

#include <cmath>
#include <cstring>

#include "raymath.h"
#include "rlgl.h"
#include "document/brush_geometry.h"
#include "document/draw_colours.h"
#include "document/problem_check.h"
#include "document/settings.h"
#include "document/topology.h"
#include "project/assets.h"
#include "render/draw_cache.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
const OrientHandle kOrientHandles[kOrientHandleCount] = {
    { "X", { 1.0f, 0.0f, 0.0f }, { 230, 41, 55, 255 }, { 15.0f, 0.0f, 0.0f }, { 0.0f, 1.0f, 0.0f } },
    { "Y", { 0.0f, 1.0f, 0.0f }, { 0, 158, 47, 255 }, { 0.0f, 15.0f, 0.001f }, { 0.0f, 0.0f, -1.0f } },
    { "Z", { 0.0f, 0.0f, 1.0f }, { 102, 191, 255, 255 }, { 0.0f, 0.0f, 15.0f }, { 0.0f, 1.0f, 0.0f } },
    { "R", { 0.0f, 0.0f, 0.0f }, { 255, 255, 255, 255 }, { 12.0f, 10.0f, 12.0f }, { 0.0f, 1.0f, 0.0f } },
};

static constexpr Color kMarkerColour = { 102, 191, 255, 255 };
static constexpr Color kHoverColour = { 253, 249, 0, 255 };
static constexpr float kSpotLineShare = 0.35f;     // spot line: this share of the range
static constexpr float kSunLineSize = 2.5f;        // sun line: this many gizmo sizes
static constexpr int kConeSegments = 8;
static constexpr float kMarkerLift = 0.6f;         // marker centre above the brush top, in sizes
static constexpr float kGizmoReach = 1.6f;         // the fallback shapes stay this many sizes near
static constexpr float kSameEndSq = 1e-10f;        // squared distance of ends taken as one point
static constexpr int kSphereShapes = 2;            // the two wire spheres the gizmos use
static constexpr int kMaxSphereRings = 6, kMaxSphereSlices = 6;
static constexpr int kMaxSphereSegments = 3 * (kMaxSphereRings + 2) * kMaxSphereSlices;

// A unit wire sphere as the one-call sphere draws it, with each segment kept once.
struct SphereWire {
    int rings, slices, count;
    Vector3 ends[kMaxSphereSegments][2];
};
static SphereWire sphereWires[kSphereShapes];
static int sphereWireCount;

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static int SphereWireSegments(int rings, int slices, Vector3 (*ends)[2], int max);
static Vector3 SpherePoint(int rings, int slices, int ring, int slice);
static void EmitGizmoSphere(Vector3 centre, float radius, int rings, int slices, Color colour);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int FindIcon(const char *name)
{
    for (int i = 0; i < gAssets.iconCount && i < kMaxIcons; i++) {
        if (gAssets.icons[i].loaded && strcmp(gAssets.icons[i].name, name) == 0) return i;
    }
    return -1;
}

void DrawFallbackGizmo(int kind, Vector3 p, float s, Color colour)
{
    switch (kind) {
    case ENTITY_PROP_PHYSICS:
        DrawCubeWires(p, s, s, s, colour);
        DrawLine3D(Vector3{ p.x - 0.5f * s, p.y - 0.5f * s, p.z }, Vector3{ p.x + 0.5f * s, p.y + 0.5f * s, p.z }, colour);
        break;
    case ENTITY_LIGHT:
        EmitGizmoSphere(p, 0.4f * s, 6, 6, colour);
        for (int i = 0; i < 6; i++) {
            float a = 2.0f * PI * (float)i / 6.0f;
            DrawLine3D(p, Vector3{ p.x + 0.75f * s * cosf(a), p.y, p.z + 0.75f * s * sinf(a) }, colour);
        }
        break;
    case ENTITY_LIGHT_SPOT:
        EmitGizmoSphere(p, 0.25f * s, 5, 5, colour);
        for (int i = 0; i < 4; i++) {
            float a = 2.0f * PI * (float)i / 4.0f;
            DrawLine3D(p, Vector3{ p.x + 0.5f * s * cosf(a), p.y - 1.2f * s, p.z + 0.5f * s * sinf(a) }, colour);
        }
        break;
    case ENTITY_LIGHT_ENVIRONMENT:
        EmitGizmoSphere(p, 0.45f * s, 6, 6, colour);
        DrawLine3D(p, Vector3{ p.x, p.y - 1.5f * s, p.z }, colour);
        break;
    default:
        DrawCubeWires(p, 0.8f * s, 0.8f * s, 0.8f * s, colour);
        break;
    }
}

int EntityGizmoIcon(const Entity *e)
{
    int icon = (e->kind >= 0 && e->kind < kEntityKindCount) ? FindIcon(kEntityKindIcon[e->kind]) : -1;
    if (icon < 0 && e->physics) icon = FindIcon("physics");
    return icon;
}

float EntityGizmoReach(float size)
{
    return kGizmoReach * fabsf(size);
}

float EntityDirectionReach(const Entity *e, float size)
{
    if (e->kind != ENTITY_LIGHT_SPOT && e->kind != ENTITY_LIGHT_ENVIRONMENT) return 0.0f;
    float length = fabsf((e->kind == ENTITY_LIGHT_SPOT) ? kSpotLineShare * e->range : kSunLineSize * size);
    if (e->kind != ENTITY_LIGHT_SPOT) return length;
    return length * (1.0f + fabsf(tanf(e->outerCone * kDegToRad)));   // out to the cone's rim
}

void DrawEntityGizmo(Camera3D camera, const Entity *e, float size, bool selected)
{
    int icon = EntityGizmoIcon(e);
    if (icon >= 0) DrawEntityGizmoIcon(camera, e, icon, size, selected);
    DrawEntityGizmoLines(e, icon, size, selected);
}

void DrawEntityGizmoIcon(Camera3D camera, const Entity *e, int icon, float size, bool selected)
{
    Color colour = selected ? kSelectionColour : (EntityIsLight(e) ? e->lightColour : WHITE);
    DrawBillboard(camera, gAssets.icons[icon].texture, e->position, size, colour);
}

void DrawEntityGizmoLines(const Entity *e, int icon, float size, bool selected)
{
    Color colour = selected ? kSelectionColour : (EntityIsLight(e) ? e->lightColour : WHITE);
    if (icon < 0) DrawFallbackGizmo(e->kind, e->position, size, colour);

    if (e->kind != ENTITY_LIGHT_SPOT && e->kind != ENTITY_LIGHT_ENVIRONMENT) return;
    Vector3 f = EntityForward(e->rotation);
    float length = (e->kind == ENTITY_LIGHT_SPOT) ? kSpotLineShare * e->range : kSunLineSize * size;
    Vector3 tip = Vector3Add(e->position, Vector3Scale(f, length));
    DrawLine3D(e->position, tip, colour);
    if (e->kind != ENTITY_LIGHT_SPOT) return;

    float r = tanf(e->outerCone * kDegToRad) * length;
    Vector3 reference = (fabsf(f.y) > 0.95f) ? Vector3{ 1.0f, 0.0f, 0.0f } : Vector3{ 0.0f, 1.0f, 0.0f };
    Vector3 right = Vector3Normalize(Vector3CrossProduct(f, reference));
    Vector3 up = Vector3Normalize(Vector3CrossProduct(right, f));
    for (int i = 0; i < kConeSegments; i++) {
        float a = 2.0f * PI * (float)i / kConeSegments, b = 2.0f * PI * (float)(i + 1) / kConeSegments;
        Vector3 p = Vector3Add(tip, Vector3Add(Vector3Scale(right, cosf(a) * r), Vector3Scale(up, sinf(a) * r)));
        Vector3 q = Vector3Add(tip, Vector3Add(Vector3Scale(right, cosf(b) * r), Vector3Scale(up, sinf(b) * r)));
        DrawLine3D(p, q, colour);
        if (i % 2 == 0) DrawLine3D(e->position, p, Fade(colour, 0.35f));
    }
}

void DrawPhysicsMarker(Camera3D camera, const Brush *brush, float size)
{
    BoundingBox b = GetBrushBoundingBox(brush);
    Vector3 m = { (b.min.x + b.max.x) / 2.0f, b.max.y + kMarkerLift * size, (b.min.z + b.max.z) / 2.0f };
    int icon = FindIcon("physics");
    if (icon >= 0) {
        DrawBillboard(camera, gAssets.icons[icon].texture, m, size, WHITE);
        return;
    }
    DrawCubeWires(m, 0.5f * size, 0.5f * size, 0.5f * size, kMarkerColour);
    DrawLine3D(Vector3{ m.x, m.y - 0.35f * size, m.z }, Vector3{ m.x, b.max.y, m.z }, kMarkerColour);
}

void SkyColours(int sky, Color *top, Color *bottom)
{
    switch (sky) {
    case SKY_SUNSET: *top = Color{ 46, 32, 72, 255 }; *bottom = Color{ 255, 138, 72, 255 }; break;
    case SKY_NIGHT: *top = Color{ 5, 7, 20, 255 }; *bottom = Color{ 22, 28, 56, 255 }; break;
    case SKY_GRID: *top = Color{ 14, 14, 26, 255 }; *bottom = Color{ 30, 30, 52, 255 }; break;
    default: *top = Color{ 74, 146, 222, 255 }; *bottom = Color{ 200, 226, 245, 255 }; break;
    }
}

Vector2 SkyStarPosition(int i, int width, int height)
{
    int w = width > 1 ? width : 1;
    int rows = (3 * height) / 4;
    if (rows < 1) rows = 1;
    // Fixed by the index and size only, so the stars never flicker.
    return Vector2{ (float)((i * 9973) % w), (float)((i * 7919) % rows) };
}

void DrawSkyBackground(int sky, int width, int height)
{
    Color top, bottom;
    SkyColours(sky, &top, &bottom);
    DrawRectangleGradientV(0, 0, width, height, top, bottom);
    if (sky != SKY_NIGHT) return;
    for (int i = 0; i < kSkyStars; i++) {
        Vector2 p = SkyStarPosition(i, width, height);
        DrawPixel((int)p.x, (int)p.y, (i % 6 == 0) ? WHITE : Color{ 205, 205, 225, 190 });
    }
}

Vector2 OrientHandlePosition(Rectangle rect, Camera3D camera, int h)
{
    Vector2 c = { rect.x + rect.width - kOrientCornerOffset, rect.y + kOrientCornerOffset };
    const OrientHandle *handle = &kOrientHandles[h];
    if (Vector3Length(handle->axis) == 0.0f) return c;
    Vector3 fwd = Vector3Normalize(Vector3Subtract(camera.target, camera.position));
    Vector3 right = Vector3Normalize(Vector3CrossProduct(fwd, camera.up));
    Vector3 up = Vector3Normalize(Vector3CrossProduct(right, fwd));
    float reach = kOrientHandleReach * kOrientRadius;
    return Vector2{ c.x + reach * Vector3DotProduct(handle->axis, right),
                    c.y - reach * Vector3DotProduct(handle->axis, up) };
}

int DrawCameraGizmo(Rectangle rect, Camera3D *camera, Vector2 mouse)
{
    int moved = 0;
    Vector2 c = { rect.x + rect.width - kOrientCornerOffset, rect.y + kOrientCornerOffset };
    DrawCircleV(c, kOrientRadius, Color{ 30, 30, 30, 200 });
    DrawCircleLines((int)c.x, (int)c.y, kOrientRadius, WHITE);
    Camera3D seen = *camera;   // every handle is placed for the camera as the frame found it
    for (int h = 0; h < kOrientHandleCount; h++) {
        const OrientHandle *handle = &kOrientHandles[h];
        Vector2 p = OrientHandlePosition(rect, seen, h);
        if (Vector3Length(handle->axis) != 0.0f) DrawLineEx(c, p, 4.5f, handle->colour);
        bool hovered = CheckCollisionPointCircle(mouse, p, kOrientHoverRadius);
        DrawCircleV(p, kOrientHandleRadius, hovered ? kHoverColour : handle->colour);
        DrawText(handle->label, (int)(p.x - 3.5f), (int)(p.y - 5.0f), 10, BLACK);
        if (hovered && IsMouseButtonPressed(MOUSE_BUTTON_LEFT)) {
            camera->position = Vector3Add(camera->target, handle->cameraOffset);
            camera->up = handle->cameraUp;
            moved = 1;
        }
    }
    return moved;
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// Unique segments of the one-call wire sphere of rings x slices (none of no length), at most max,
// into ends; returns the number written.
static int SphereWireSegments(int rings, int slices, Vector3 (*ends)[2], int max)
{
    int count = 0;
    for (int i = 0; i < rings + 2; i++) {
        for (int j = 0; j < slices; j++) {
            // The one-call sphere's three segments per cell: diagonal, ring piece, meridian piece.
            const Vector3 cell[3][2] = {
                { SpherePoint(rings, slices, i, j), SpherePoint(rings, slices, i + 1, j + 1) },
                { SpherePoint(rings, slices, i + 1, j + 1), SpherePoint(rings, slices, i + 1, j) },
                { SpherePoint(rings, slices, i + 1, j), SpherePoint(rings, slices, i, j) },
            };
            for (const auto &seg : cell) {
                if (Vector3DistanceSqr(seg[0], seg[1]) < kSameEndSq) continue;   // draws nothing
                bool seen = false;
                for (int k = 0; k < count && !seen; k++) {
                    seen = (Vector3DistanceSqr(ends[k][0], seg[0]) < kSameEndSq &&
                            Vector3DistanceSqr(ends[k][1], seg[1]) < kSameEndSq) ||
                           (Vector3DistanceSqr(ends[k][0], seg[1]) < kSameEndSq &&
                            Vector3DistanceSqr(ends[k][1], seg[0]) < kSameEndSq);
                }
                if (seen || count >= max) continue;
                ends[count][0] = seg[0];
                ends[count][1] = seg[1];
                count++;
            }
        }
    }
    return count;
}

// Point (ring, slice) of the one-call sphere: rings run from the south pole past the north one.
static Vector3 SpherePoint(int rings, int slices, int ring, int slice)
{
    float lat = DEG2RAD * (270.0f + (180.0f / (float)(rings + 1)) * (float)ring);
    float lon = DEG2RAD * (360.0f * (float)slice / (float)slices);
    return Vector3{ cosf(lat) * sinf(lon), sinf(lat), cosf(lat) * cosf(lon) };
}

// A wire sphere from its prepared unit segments, built on first use; drawn straight by raylib
// when drawing goes without caches.
static void EmitGizmoSphere(Vector3 centre, float radius, int rings, int slices, Color colour)
{
    if (gDrawUncached) {
        DrawSphereWires(centre, radius, rings, slices, colour);
        return;
    }
    int s = 0;
    while (s < sphereWireCount && (sphereWires[s].rings != rings || sphereWires[s].slices != slices)) s++;
    if (s == sphereWireCount) {
        if (s >= kSphereShapes || rings > kMaxSphereRings || slices > kMaxSphereSlices) {
            DrawSphereWires(centre, radius, rings, slices, colour);
            return;
        }
        SphereWire *w = &sphereWires[sphereWireCount++];
        w->rings = rings;
        w->slices = slices;
        w->count = SphereWireSegments(rings, slices, w->ends, kMaxSphereSegments);
    }
    const SphereWire *w = &sphereWires[s];
    rlBegin(RL_LINES);
    rlColor4ub(colour.r, colour.g, colour.b, colour.a);
    for (int k = 0; k < w->count; k++) {
        for (int e = 0; e < 2; e++) {
            Vector3 p = Vector3Add(centre, Vector3Scale(w->ends[k][e], radius));
            rlVertex3f(p.x, p.y, p.z);
        }
    }
    rlEnd();
}
