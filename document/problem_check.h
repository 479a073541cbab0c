// problem_check.h: counting the faults of a map and aiming entities.
#pragma once

#include <cstdint>

// Counts from the last problem check of a map.
struct MapProblemReport {
    int32_t nonPlanar;      // faces whose planar error exceeds 0.01
    int32_t degenerate;     // faces with fewer than 3 corners
    int32_t coincident;     // pairs of vertices of one brush closer than 0.0015
    int32_t orphaned;       // vertices that no face uses
    int32_t emptyBrushes;   // brushes without vertices or without faces
};
