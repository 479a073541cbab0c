// problem_check.cpp: the map problem counts and entity aiming.
#include "document/problem_check.h"

#include <cmath>
#include <cstring>

#include "document/brush_geometry.h"

static constexpr float kRadToDeg = 57.29578f;

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static void CheckBrush(MapProblemReport *report, const Brush *brush);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void CheckMapProblems(MapProblemReport *report, const MapDoc *map)
{
    memset(report, 0, sizeof(*report));
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    for (int b = 0; b < brushes; b++) CheckBrush(report, &map->brushes[b]);
}

Vector3 EntityForward(Vector3 rotation)
{
    float p = rotation.x * kDegToRad;
    float y = rotation.y * kDegToRad;
    return Vector3Normalize(Vector3{ sinf(y) * cosf(p), -sinf(p), cosf(y) * cosf(p) });
}

void AimEntity(Entity *entity, Vector3 direction)
{
    Vector3 n = Vector3Normalize(direction);
    if (Vector3Length(n) < kAimMinLength) return;
    float yaw = atan2f(n.x, n.z) * kRadToDeg;
    float pitch = -asinf(Clamp(n.y, -1.0f, 1.0f)) * kRadToDeg;
    while (yaw > 180.0f) yaw -= 360.0f;
    while (yaw < -180.0f) yaw += 360.0f;
    entity->rotation.x = pitch;
    entity->rotation.y = yaw;
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
static void CheckBrush(MapProblemReport *report, const Brush *brush)
{
    int verts = ClampCount(brush->vertCount, kMaxBrushVerts);
    int faces = ClampCount(brush->faceCount, kMaxBrushFaces);
    if (verts == 0 || faces == 0) {
        report->emptyBrushes++;
        return;
    }

    uint64_t used = 0;
    for (int f = 0; f < faces; f++) {
        const BrushFace *face = &brush->faces[f];
        if (face->count < kMinFaceCorners) report->degenerate++;
        else if (FacePlanarError(brush, face) > kPlanarTolerance) report->nonPlanar++;
        int corners = FaceCornerCount(face);
        for (int c = 0; c < corners; c++) {
            int v = face->indices[c];
            if (v >= 0 && v < verts) used |= (uint64_t)1 << v;
        }
    }
    for (int i = 0; i < verts; i++) {
        if (!((used >> i) & 1u)) report->orphaned++;
    }

    for (int i = 0; i < verts; i++) {
        for (int j = i + 1; j < verts; j++) {
            if (Vector3Distance(brush->verts[i], brush->verts[j]) < kCoincidentDistance) report->coincident++;
        }
    }
}
