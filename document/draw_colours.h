// draw_colours.h: the colours that the views, the gizmos and the asset browser share.
//
// Here, below every layer that draws, so that a selected thing looks the same wherever it is
// drawn. Colours that only one drawing uses stay in its own file.
#pragma once

#include "raylib.h"

// What is selected: vertex, edge and face handles, the marquee's outline, a selected entity's
// gizmo, the selected texture's cell.
constexpr Color kSelectionColour = { 255, 161, 0, 255 };
