// map_limits.h: the bounds every number a map stores keeps.
//
// Every float of a record is finite: an infinity or a NaN spreads through every mean, box and
// draw call that touches it and cannot be edited away. The map reader refuses a file holding one.
// The edits that multiply what is already stored stop growing at kMapScaleLimit, far past any
// level, where the float range is still wide enough for every sum and product the geometry forms:
// the scale transform holds its factor there, a script's sizes and entity scales are held to it,
// and a script's resize that would carry a vertex past it is refused. Edits that store a value
// they are given refuse a non-finite one themselves, each with its family's refusal.
#pragma once

#include "raylib.h"
#include "document/map_records.h"

// Largest brush size component, local vertex coordinate (either sign) and entity scale a scale
// leaves; values already beyond it (from a file or a script) are kept but never grown.
constexpr float kMapScaleLimit = 1000000.0f;

// 1 when every float field of the brush is finite: origin, rotation, size, mass, friction and
// bounce, the vertices in use, and each face in use's texture scale, offset and rotation.
int BrushIsFinite(const Brush *brush);
// 1 when every float field of the entity is finite.
int EntityIsFinite(const Entity *entity);
// Per axis, the largest factor, at least 1, by which a scale about centre may multiply the
// vertices' offsets from it and the size before a coordinate or size component passes
// kMapScaleLimit; with count 0 only the size counts.
Vector3 BrushScaleRoom(const Vector3 *verts, int count, Vector3 centre, Vector3 size);
// 1 when a coordinate of after lies beyond kMapScaleLimit and further out than the same one of
// before: an edit that grows count vertices past the limit.
int VertsGrowPastLimit(const Vector3 *before, const Vector3 *after, int count);
// The largest factor, at least 1, by which an entity's scale may be multiplied within the limit.
float EntityScaleRoom(float scale);
