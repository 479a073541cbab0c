// entity_tool.cpp: the Entity tool: placing an entity where the Top view is clicked.
#include "editor/tools/entity_tool.h"

#include <cstdio>
#include <cstring>

#include "document/brush_geometry.h"
#include "document/settings.h"
#include "document/undo.h"
#include "document/view_mapping.h"
#include "editor/input.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static constexpr float kNewBrightness = 1.2f;
static constexpr float kNewRange = 18.0f;
static constexpr float kNewInnerCone = 25.0f;
static constexpr float kNewOuterCone = 45.0f;
static constexpr float kNewMass = 10.0f;

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void EntityToolPhase(MapDoc *map, UiState &ui)
{
    if (ui.uiBlocksInput || ui.showRenderOutput || ui.activeTool != TOOL_ENTITY) return;
    if (ui.transformInputUsed || !ToolLeftPress(ui)) return;
    const Rectangle &top = ui.viewRect[VIEW_TOP];
    if (!CheckCollisionPointRec(ui.mouse, top)) return;
    Vector3 p = ScreenToOrthoWorld(ui.mouse, top, ui.cam2D[0], ui.orthoZoom, VIEW_TOP);
    p.x = SnapToGrid(p.x, gSettings.gridStep);
    p.z = SnapToGrid(p.z, gSettings.gridStep);   // Y stays the Top camera's height
    EntityPlace(map, ui, p);
}

int EntityPlace(MapDoc *map, UiState &ui, Vector3 p)
{
    int index = ClampCount(map->entityCount, kMaxEntities);
    if (index >= kMaxEntities) return 0;   // no snapshot: nothing changes
    int kind = (ui.placeKind >= 0 && ui.placeKind < kEntityKindCount) ? ui.placeKind : ENTITY_GENERIC;
    PushUndoState(map);
    Entity *e = &map->entities[index];
    memset(e, 0, sizeof(*e));
    e->position = p;
    e->scale = 1.0f;
    e->kind = kind;
    snprintf(e->className, sizeof(e->className), "%s", kind == ENTITY_GENERIC ? "prop_dynamic" : kEntityKindName[kind]);
    e->model = kind == ENTITY_GENERIC ? ui.curModel : -1;
    e->texture = ui.curTexture;
    e->lightColour = Color{ 255, 255, 255, 255 };
    e->brightness = kNewBrightness;
    e->range = kNewRange;
    e->innerCone = kNewInnerCone;
    e->outerCone = kNewOuterCone;
    e->castsLight = EntityIsLight(e) ? 1 : 0;
    e->physics = kind == ENTITY_PROP_PHYSICS ? 1 : 0;
    e->mass = kNewMass;
    e->tint = Color{ 255, 255, 255, 255 };
    snprintf(e->name, sizeof(e->name), "%s_%d", kind == ENTITY_GENERIC ? "Entity" : kEntityKindIcon[kind], index);
    map->entityCount = index + 1;
    ui.selEntity = index;
    ui.selBrush = -1;
    StatusSet(ui, "Placed Model Entity #%d", map->entityCount);
    return 1;
}
