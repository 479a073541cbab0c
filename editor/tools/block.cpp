// block.cpp: the Block tool: drawing a box in a 2D view and turning it into a brush.
#include "editor/tools/block.h"

#include <cmath>
#include <cstdio>

#include "document/brush_geometry.h"
#include "document/primitives.h"
#include "document/settings.h"
#include "document/undo.h"
#include "document/view_mapping.h"
#include "editor/input.h"

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static Vector3 SnappedPointIn(const UiState &ui, int view);
static float BlockSide(float a, float b);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void BlockToolPhase(MapDoc *map, UiState &ui)
{
    BlockToolState &block = ui.block;
    if (ui.uiBlocksInput || ui.showRenderOutput || ui.activeTool != TOOL_BLOCK) return;
    // The press or Enter that ended a transform is the transform's.
    if (ui.transformInputUsed) return;

    if (ToolLeftPress(ui)) {
        for (int v = VIEW_TOP; v <= VIEW_SIDE; v++) {
            if (!CheckCollisionPointRec(ui.mouse, ui.viewRect[v])) continue;
            block.blockDragging = true;
            block.blockBoxShown = true;
            block.blockView = v;
            block.blockEnd = SnappedPointIn(ui, v);
            block.blockStart = block.blockEnd;
            break;
        }
    }
    if (block.blockDragging && IsMouseButtonDown(MOUSE_BUTTON_LEFT))
        block.blockStart = SnappedPointIn(ui, block.blockView);
    if (IsMouseButtonReleased(MOUSE_BUTTON_LEFT)) block.blockDragging = false;

    // Nothing beneath a modal window changes: its Enter is the window's.
    if (IsKeyPressed(KEY_ENTER) && !AnyModalOpen(ui)) BlockCreateBrush(map, ui);
}

void BlockBoxToBrush(const UiState &ui, Vector3 *centre, Vector3 *size)
{
    const BlockToolState &block = ui.block;
    Vector3 s = { kBlockDepth, kBlockDepth, kBlockDepth }, c = { 0.0f, 0.0f, 0.0f };
    Vector3 a = block.blockStart, b = block.blockEnd, t = ui.cam3D.target;
    switch (block.blockView) {
    case VIEW_FRONT:
        s.x = BlockSide(a.x, b.x);
        s.y = BlockSide(a.y, b.y);
        c = Vector3{ (a.x + b.x) * 0.5f, (a.y + b.y) * 0.5f, t.z };
        break;
    case VIEW_SIDE:
        s.z = BlockSide(a.z, b.z);
        s.y = BlockSide(a.y, b.y);
        c = Vector3{ t.x, (a.y + b.y) * 0.5f, (a.z + b.z) * 0.5f };
        break;
    default:
        s.x = BlockSide(a.x, b.x);
        s.z = BlockSide(a.z, b.z);
        c = Vector3{ (a.x + b.x) * 0.5f, t.y, (a.z + b.z) * 0.5f };
        break;
    }
    *centre = c;
    *size = s;
}

int BlockCreateBrush(MapDoc *map, UiState &ui)
{
    int index = ClampCount(map->brushCount, kMaxBrushes);
    if (index >= kMaxBrushes) return 0;
    Vector3 centre, size;
    BlockBoxToBrush(ui, &centre, &size);
    PushUndoState(map);
    Brush *b = &map->brushes[index];
    BrushInit(b, ui.blockShape, centre, size, ui.curTexture);
    b->colour = kNewBrushColour;
    snprintf(b->name, sizeof(b->name), "Brush_%d", index);
    map->brushCount = index + 1;
    ui.selBrush = index;
    ui.selEntity = -1;
    ui.block.blockBoxShown = false;
    StatusSet(ui, "Created Brush #%d", map->brushCount);
    return 1;
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// The world point under the mouse in a 2D view, every coordinate on the grid (these tools snap
// whatever the snap switches say).
static Vector3 SnappedPointIn(const UiState &ui, int view)
{
    Vector3 p = ScreenToOrthoWorld(ui.mouse, ui.viewRect[view], ui.cam2D[view - 1], ui.orthoZoom, view);
    float step = gSettings.gridStep;
    return Vector3{ SnapToGrid(p.x, step), SnapToGrid(p.y, step), SnapToGrid(p.z, step) };
}

// One side of the box; a side too thin to see becomes a whole unit.
static float BlockSide(float a, float b)
{
    float side = fabsf(a - b);
    return side < kMinBlockSide ? kThinBlockSide : side;
}
