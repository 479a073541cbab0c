// map_limits.cpp: the finite checks of the records and the room a scale has below its limit.
#include "document/map_limits.h"

#include <cfloat>
#include <cmath>

#include "document/brush_geometry.h"

// The room is cut this fraction short: the float arithmetic of centre + factor x offset may round
// a coordinate held exactly at the limit an ulp or two past it.
static constexpr double kRoomMargin = 1e-6;

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static int FloatsAreFinite(const float *values, int count);
static double AxisRoom(double room, double centre, double offset);
static float RoomFactor(double room);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int BrushIsFinite(const Brush *brush)
{
    const Vector3 frame[3] = { brush->origin, brush->rotation, brush->size };
    const float body[3] = { brush->mass, brush->friction, brush->bounce };
    if (!VertsAreFinite(frame, 3) || !FloatsAreFinite(body, 3)) return 0;
    if (!VertsAreFinite(brush->verts, ClampCount(brush->vertCount, kMaxBrushVerts))) return 0;
    for (int f = 0; f < ClampCount(brush->faceCount, kMaxBrushFaces); f++) {
        const BrushFace *face = &brush->faces[f];
        const float placement[5] = { face->uvScale[0], face->uvScale[1], face->uvOffset[0], face->uvOffset[1],
                                     face->uvRotation };
        if (!FloatsAreFinite(placement, 5)) return 0;
    }
    return 1;
}

int EntityIsFinite(const Entity *entity)
{
    const Vector3 frame[2] = { entity->position, entity->rotation };
    const float values[6] = { entity->scale, entity->brightness, entity->range, entity->innerCone, entity->outerCone,
                              entity->mass };
    return VertsAreFinite(frame, 2) && FloatsAreFinite(values, 6);
}

Vector3 BrushScaleRoom(const Vector3 *verts, int count, Vector3 centre, Vector3 size)
{
    // In double: the quotients of a point near the limit by a tiny offset pass the float range.
    double room[3];
    const float *c = &centre.x, *s = &size.x;
    for (int k = 0; k < 3; k++) {
        room[k] = HUGE_VAL;
        if (s[k] != 0.0f) room[k] = kMapScaleLimit / fabs((double)s[k]);
    }
    for (int i = 0; i < count; i++) {
        const float *v = &verts[i].x;
        for (int k = 0; k < 3; k++) room[k] = AxisRoom(room[k], c[k], (double)v[k] - c[k]);
    }
    return Vector3{ RoomFactor(room[0]), RoomFactor(room[1]), RoomFactor(room[2]) };
}

int VertsGrowPastLimit(const Vector3 *before, const Vector3 *after, int count)
{
    for (int i = 0; i < count; i++) {
        const float *b = &before[i].x, *a = &after[i].x;
        for (int k = 0; k < 3; k++)
            if (fabsf(a[k]) > kMapScaleLimit && fabsf(a[k]) > fabsf(b[k])) return 1;
    }
    return 0;
}

float EntityScaleRoom(float scale)
{
    return RoomFactor(kMapScaleLimit / fabs((double)scale));
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// 1 when each of the count values is finite.
static int FloatsAreFinite(const float *values, int count)
{
    for (int i = 0; i < count; i++)
        if (!std::isfinite(values[i])) return 0;
    return 1;
}

// The room on one axis after a vertex offset from the centre: the factor that takes the vertex
// to the limit on its own side.
static double AxisRoom(double room, double centre, double offset)
{
    double limit = kMapScaleLimit;
    double most = offset > 0.0 ? (limit - centre) / offset : (offset < 0.0 ? (limit + centre) / -offset : HUGE_VAL);
    return most < room ? most : room;
}

// The room as a float factor, cut by the margin. A value already at or past the limit leaves no
// room to grow, but it need not shrink: never below 1.
static float RoomFactor(double room)
{
    double held = room * (1.0 - kRoomMargin);
    if (!(held > 1.0)) return 1.0f;
    return held >= (double)FLT_MAX ? FLT_MAX : (float)held;
}
