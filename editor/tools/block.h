// block.h: the Block tool: a box dragged in a 2D view becomes a brush on Enter.
#pragma once

#include "raylib.h"
#include "document/map_records.h"

struct UiState;

constexpr float kMinBlockSide = 0.1f;     // a box side below this ...
constexpr float kThinBlockSide = 1.0f;    // ... becomes this
constexpr float kBlockDepth = 2.0f;       // the side along the view's depth axis
constexpr Color kNewBrushColour = { 80, 80, 80, 255 };

// The box being drawn (UiState.block).
struct BlockToolState {
    Vector3 blockStart, blockEnd;
    int blockView;                   // ViewKind
    bool blockDragging;
    bool blockBoxShown;              // a box was drawn and Enter has not turned it into a brush yet
};

// Phase 14: press, drag and release draw the box in a 2D view; Enter makes the brush.
void BlockToolPhase(MapDoc *map, UiState &ui);
// Centre and size of the brush the box of ui makes (the depth axis from the 3D camera's target).
void BlockBoxToBrush(const UiState &ui, Vector3 *centre, Vector3 *size);
// Adds a brush of ui.blockShape for the box with one snapshot and selects it; 1, or 0 when the map
// is full (nothing changes).
int BlockCreateBrush(MapDoc *map, UiState &ui);
