// brush_check.h: checks shared by every test that builds or edits brushes.
#pragma once

#include <gtest/gtest.h>

#include "document/map_records.h"

struct BrushCheckOptions {
    bool closed = true;     // every directed edge matched by exactly one opposite edge
    bool outward = true;    // every face's normal points away from the centroid
};

// Every index in range, corners 3..16, and (by option) closed and wound outward.
::testing::AssertionResult BrushIsValid(const Brush &brush, BrushCheckOptions options = {});
// Enclosed volume of a closed brush in its local frame (signed: positive when wound outward).
double BrushVolume(const Brush &brush);
