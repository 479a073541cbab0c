// brush_check.h: checks and sample brushes shared by the tests that build or edit brushes.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "document/map_records.h"

struct BrushCheckOptions {
    bool closed = true;     // every directed edge matched by exactly one opposite edge
    bool outward = true;    // every face's normal points away from the centroid
};

// Every index in range, corners 3..16, and (by option) closed and wound outward.
::testing::AssertionResult BrushIsValid(const Brush &brush, BrushCheckOptions options = {});
// Enclosed volume of a closed brush in its local frame (signed: positive when wound outward).
double BrushVolume(const Brush &brush);
// A face's corner indices in order, for comparing with a literal list.
std::vector<int> Corners(const BrushFace &face);
// A prism with a 16-corner top and bottom: faces 0..15 sides, 16 top, 17 bottom.
Brush Prism16(void);
// Two cones on a 24-sided ring of radius 2 in the XZ plane, apexes at y = +-2: 26 vertices and
// the full 48 faces, so a cut that keeps every face of one side needs a 49th for its cap.
Brush Bipyramid24(void);
// A cube of size 2 at the origin whose top was extruded by 4, then the new part's +Z side by 4:
// an L of volume 56, closed and wound outward but not convex.
Brush ExtrudedL(void);
// Index of the first face whose normal lies within 0.001 of n and whose centre lies above y;
// -1 when none does.
int FaceFacing(const Brush &brush, Vector3 n, float above = -1e30f);
