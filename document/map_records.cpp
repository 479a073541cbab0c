// map_records.cpp: name tables and face defaults of the map records.
#include "document/map_records.h"

#include <cstdio>
#include <cstring>
#include <type_traits>

// The undo history and the map file copy records byte for byte.
static_assert(std::is_trivially_copyable<MapDoc>::value, "MapDoc must be a plain record");
static_assert(sizeof(((Brush *)nullptr)->name) == kNameLen, "brush name width");

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
const char *const kEntityKindName[kEntityKindCount] = {
    "generic", "light", "light_spot", "light_environment", "prop_physics", "info_player_start",
};
const char *const kEntityKindIcon[kEntityKindCount] = {
    "entity", "light", "light_spot", "light_env", "physics", "player_start",
};
const char *const kShapeName[kBrushShapeCount] = { "Cube", "Cylinder", "Sphere", "Arc", "Plane" };
const char *const kProjName[kProjectionCount] = { "World", "Local", "Fit" };

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void FaceInitDefaults(BrushFace *face, int texture)
{
    face->texture = texture;
    face->uvScale[0] = 2.0f;
    face->uvScale[1] = 2.0f;
    face->uvOffset[0] = 0.0f;
    face->uvOffset[1] = 0.0f;
    face->uvRotation = 0.0f;
    face->projection = PROJ_WORLD;
    face->flipU = 0;
    face->flipV = 0;
    face->tint = Color{ 255, 255, 255, 255 };
}

void EntityInitLight(Entity *entity, int kind, Vector3 position, Color colour, float brightness, float range,
                     float innerCone, float outerCone)
{
    memset(entity, 0, sizeof(*entity));
    entity->position = position;
    entity->scale = 1.0f;
    entity->kind = kind;
    if (kind >= 0 && kind < kEntityKindCount) snprintf(entity->className, kNameLen, "%s", kEntityKindName[kind]);
    entity->lightColour = colour;
    entity->brightness = brightness;
    entity->range = range;
    entity->innerCone = innerCone;
    entity->outerCone = outerCone;
    entity->castsLight = 1;
    entity->model = -1;
    entity->texture = -1;
    entity->mass = 10.0f;
    entity->tint = Color{ 255, 255, 255, 255 };
}

int MapRemoveBrush(MapDoc *map, int index)
{
    if (!MapBrushValid(map, index)) return 0;
    int count = ClampCount(map->brushCount, kMaxBrushes);
    memmove(&map->brushes[index], &map->brushes[index + 1], sizeof(Brush) * (size_t)(count - index - 1));
    map->brushCount = count - 1;
    return 1;
}

int MapRemoveEntity(MapDoc *map, int index)
{
    if (!MapEntityValid(map, index)) return 0;
    int count = ClampCount(map->entityCount, kMaxEntities);
    memmove(&map->entities[index], &map->entities[index + 1], sizeof(Entity) * (size_t)(count - index - 1));
    map->entityCount = count - 1;
    return 1;
}
