// builtins_entity.cpp: the ent. builtins: creation and removal, placement and aim, kind, light,
// physics, visibility, model and texture override.
//
// Every builtin but ent.add starts from an entity index; without that entity the getters answer
// 0 (-1 for the kind, model and texture) and the setters refuse.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "raylib.h"
#include "raymath.h"
#include "document/map_limits.h"
#include "document/problem_check.h"
#include "script/builtin_families.h"
#include "script/editor_link.h"

//----------------------------------------------------------------------------------
// Limits and constants
//----------------------------------------------------------------------------------
constexpr float kMinEntityScale = 0.001f;
constexpr float kMinLightRange = 0.1f;
constexpr float kMinCone = 1.0f, kMaxCone = 89.0f;   // degrees
// What ent.add gives a new entity besides its kind and position.
constexpr float kNewBrightness = 1.2f;
constexpr float kNewRange = 16.0f;
constexpr float kNewInnerCone = 25.0f, kNewOuterCone = 45.0f;

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static float AddEntity(MapDoc *map, const float *args);
static float DeleteEntity(MapDoc *map, float arg);
static float SetAtLeast(float *field, float value, float lo);
static int SetIntArg(int32_t *field, float value);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
float CallEntityBuiltin(VmState *state, int id, const float *args)
{
    MapDoc *map = state->map;
    if (id == BI_ENT_ADD) return AddEntity(map, args);
    if (id == BI_ENT_DELETE) return DeleteEntity(map, args[0]);
    int32_t index = ArgIndex(args[0]);
    Entity *e = map && MapEntityValid(map, index) ? &map->entities[index] : nullptr;
    if (!e) return id == BI_ENT_KIND || id == BI_ENT_MODEL || id == BI_ENT_TEX ? -1.0f : 0.0f;

    switch (id) {
    case BI_ENT_POSX: return e->position.x;
    case BI_ENT_POSY: return e->position.y;
    case BI_ENT_POSZ: return e->position.z;
    case BI_ENT_SETPOS:
        if (!ArgsFinite(args, 1, 3)) return 0.0f;
        e->position = Vector3{ args[1], args[2], args[3] };
        return 1.0f;
    case BI_ENT_ROTX: return e->rotation.x;
    case BI_ENT_ROTY: return e->rotation.y;
    case BI_ENT_ROTZ: return e->rotation.z;
    case BI_ENT_SETROT:
        if (!ArgsFinite(args, 1, 3)) return 0.0f;
        e->rotation = Vector3{ args[1], args[2], args[3] };
        return 1.0f;
    case BI_ENT_AIM: {
        Vector3 d = { args[1], args[2], args[3] };
        // A direction too short to aim along changes nothing, so the call did not act.
        if (!ArgsFinite(args, 1, 3) || !(Vector3Length(d) >= kAimMinLength)) return 0.0f;
        AimEntity(e, d);
        return 1.0f;
    }
    case BI_ENT_SCALE: return e->scale;
    case BI_ENT_SETSCALE:
        // Refused when not finite (fminf would take NaN for the limit); held at the scale limit.
        if (!ArgsFinite(args, 1, 1)) return 0.0f;
        return SetAtLeast(&e->scale, fminf(args[1], kMapScaleLimit), kMinEntityScale);

    case BI_ENT_KIND: return (float)e->kind;
    case BI_ENT_SETKIND: {
        int32_t kind = ArgIndex(args[1]);
        if (kind < 0 || kind >= kEntityKindCount) return 0.0f;
        e->kind = kind;   // castsLight stays: a prop turned light is dark until ent.setcasts
        snprintf(e->className, sizeof(e->className), "%s", kEntityKindName[kind]);
        return 1.0f;
    }
    case BI_ENT_SETLIGHT:
        if (!ArgsFinite(args, 1, 4)) return 0.0f;
        e->lightColour = Color{ ArgChannel(args[1]), ArgChannel(args[2]), ArgChannel(args[3]), 255 };
        e->brightness = args[4];
        return 1.0f;
    case BI_ENT_LIGHTR: return e->lightColour.r;
    case BI_ENT_LIGHTG: return e->lightColour.g;
    case BI_ENT_LIGHTB: return e->lightColour.b;
    case BI_ENT_BRIGHT: return e->brightness;
    case BI_ENT_RANGE: return e->range;
    case BI_ENT_SETRANGE: return SetAtLeast(&e->range, args[1], kMinLightRange);
    case BI_ENT_INNER: return e->innerCone;
    case BI_ENT_OUTER: return e->outerCone;
    case BI_ENT_SETCONE: {
        if (!ArgsFinite(args, 1, 2)) return 0.0f;
        float inner = Clamp(args[1], kMinCone, kMaxCone);
        e->innerCone = inner;
        e->outerCone = fminf(fmaxf(args[2], inner), kMaxCone);
        return 1.0f;
    }
    case BI_ENT_CASTS: return FromBool(e->castsLight);
    case BI_ENT_SETCASTS: e->castsLight = (uint8_t)ArgFlag(args[1]); return 1.0f;
    case BI_ENT_MASS: return e->mass;
    case BI_ENT_SETMASS: return SetAtLeast(&e->mass, args[1], 0.0f);
    case BI_ENT_PHYSICS: return FromBool(e->physics);
    case BI_ENT_SETPHYSICS: e->physics = (uint8_t)ArgFlag(args[1]); return 1.0f;
    case BI_ENT_HIDE: e->hidden = (uint8_t)ArgFlag(args[1]); return 1.0f;
    case BI_ENT_ISHIDDEN: return FromBool(e->hidden);
    case BI_ENT_MODEL: return (float)e->model;
    case BI_ENT_SETMODEL: return FromBool(SetIntArg(&e->model, args[1]));
    case BI_ENT_TEX: return (float)e->texture;
    case BI_ENT_SETTEX: return FromBool(SetIntArg(&e->texture, args[1]));
    default: return 0.0f;
    }
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// ent.add: a new entity of the kind at the end of the table, named after its slot.
static float AddEntity(MapDoc *map, const float *args)
{
    int32_t kind = ArgIndex(args[0]);
    if (!map || kind == kArgBad || !ArgsFinite(args, 1, 3)) return -1.0f;
    int slot = ClampCount(map->entityCount, kMaxEntities);
    if (slot >= kMaxEntities) return -1.0f;
    if (kind < 0 || kind >= kEntityKindCount) kind = ENTITY_GENERIC;
    Entity *e = &map->entities[slot];
    EntityInitLight(e, kind, Vector3{ args[1], args[2], args[3] }, Color{ 255, 255, 255, 255 }, kNewBrightness,
                    kNewRange, kNewInnerCone, kNewOuterCone);
    e->castsLight = (uint8_t)EntityIsLight(e);   // only the light kinds light the scene
    snprintf(e->name, sizeof(e->name), "Mod_%d", slot);
    map->entityCount = slot + 1;
    return (float)slot;
}

// ent.delete: the later entities move down; the editor's selection follows its entity.
static float DeleteEntity(MapDoc *map, float arg)
{
    int32_t index = ArgIndex(arg);
    if (!map || !MapRemoveEntity(map, index)) return 0.0f;
    if (EditorLinkReady()) {
        int &sel = *gEd.selEntity;
        if (sel == index) sel = -1;
        else if (sel > index) sel--;
    }
    return 1.0f;
}

static float SetAtLeast(float *field, float value, float lo)
{
    if (!std::isfinite(value)) return 0.0f;
    *field = fmaxf(value, lo);
    return 1.0f;
}

// Stores an asset number as given (not range-checked); 0 for a value that is no 32-bit integer.
static int SetIntArg(int32_t *field, float value)
{
    return ArgInt(value, field);
}
