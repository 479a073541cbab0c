// entity_tool.h: the Entity tool: a press in the Top view places an entity of the chosen kind.
#pragma once

#include "raylib.h"
#include "document/map_records.h"
#include "editor/ui_state.h"

// Phase 15: a left press in the Top view places an entity there.
void EntityToolPhase(MapDoc *map, UiState &ui);
// Places an entity of ui.placeKind at p with one snapshot and selects it; 1, or 0 when the map is
// full (nothing changes).
int EntityPlace(MapDoc *map, UiState &ui, Vector3 p);
