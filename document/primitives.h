// primitives.h: building a brush from nothing.
//
// BrushInit is the only way the system makes a brush: the default map, the Block tool, the brush
// rebuild, the old-map importer and the scripts all call it. Vertex and face orders are fixed,
// because scripts and files address them by index.
#pragma once

#include "document/map_records.h"

// Cylinder sides and sphere segments and rings that BrushInit asks for.
constexpr int kCylinderSides = 12;
constexpr int kSphereSegments = 10;
constexpr int kSphereRings = 5;

// Zero-fills the brush, sets its defaults and builds the shape centred on origin. Any shape
// outside 0..4 builds a cube and is stored as passed.
void BrushInit(Brush *brush, int shape, Vector3 origin, Vector3 size, int texture);
