// problem_check.h: counting the faults of a map and aiming entities.
//
// The check only counts; the repair belongs to the problem report window. Aiming turns an
// entity's pitch and yaw (degrees; roll unused) into a unit direction and back.
#pragma once

#include <cstdint>
#include "raylib.h"
#include "document/map_records.h"

constexpr float kPlanarTolerance = 0.01f;      // a face bent further than this is not planar
constexpr float kCoincidentDistance = 0.0015f; // two vertices closer than this are one point
constexpr float kAimMinLength = 0.0001f;       // a shorter direction aims nowhere

// Counts from the last problem check of a map.
struct MapProblemReport {
    int32_t nonPlanar;      // faces whose planar error exceeds 0.01
    int32_t degenerate;     // faces with fewer than 3 corners
    int32_t coincident;     // pairs of vertices of one brush closer than 0.0015
    int32_t orphaned;       // vertices that no face uses
    int32_t emptyBrushes;   // brushes without vertices or without faces
};

// Fills report with the problem counts of every brush of the map (hidden ones included).
void CheckMapProblems(MapProblemReport *report, const MapDoc *map);
// Unit direction an entity with this rotation faces: pitch and yaw 0 face +Z, pitch 90 faces down.
Vector3 EntityForward(Vector3 rotation);
// Sets the entity's pitch and yaw to face direction; a zero direction changes nothing.
void AimEntity(Entity *entity, Vector3 direction);
