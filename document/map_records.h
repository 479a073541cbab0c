// map_records.h: the records a map is made of.
//
// A map is one fixed-size record (MapDoc) of brush and entity slots. Nothing in it holds a pointer:
// every reference is an index, so a byte copy of a MapDoc is a complete, independent copy (the undo
// history relies on this). Geometry lives in brush_geometry.h, shape building in primitives.h.
#pragma once

#include <cstdint>
#include <cstring>
#include "raylib.h"

//----------------------------------------------------------------------------------
// Capacities
//----------------------------------------------------------------------------------
constexpr int kMaxBrushes = 256;
constexpr int kMaxEntities = 256;
constexpr int kMaxBrushVerts = 64;
constexpr int kMaxBrushFaces = 48;
constexpr int kMinFaceCorners = 3;
constexpr int kMaxFaceCorners = 16;
constexpr int kNameLen = 32;             // 31 characters plus NUL

//----------------------------------------------------------------------------------
// Enumerations and their name tables
//----------------------------------------------------------------------------------
enum EntityKind : int32_t {
    ENTITY_GENERIC = 0,
    ENTITY_LIGHT = 1,
    ENTITY_LIGHT_SPOT = 2,
    ENTITY_LIGHT_ENVIRONMENT = 3,
    ENTITY_PROP_PHYSICS = 4,
    ENTITY_PLAYER_START = 5,
};
constexpr int kEntityKindCount = 6;
extern const char *const kEntityKindName[kEntityKindCount];  // class names ("light_spot")
extern const char *const kEntityKindIcon[kEntityKindCount];  // icon and name prefix ("light_env")

enum BrushShape : int32_t {
    SHAPE_CUBE = 0,
    SHAPE_CYLINDER = 1,
    SHAPE_SPHERE = 2,
    SHAPE_WEDGE = 3,   // labelled "Arc"
    SHAPE_PLANE = 4,
};
constexpr int kBrushShapeCount = 5;
extern const char *const kShapeName[kBrushShapeCount];

enum FaceProjection : uint8_t {
    PROJ_WORLD = 0,
    PROJ_LOCAL = 1,
    PROJ_FIT = 2,
};
constexpr int kProjectionCount = 3;
extern const char *const kProjName[kProjectionCount];

// The four views: the 3D view and the three 2D views with their world axes.
enum ViewKind : int32_t {
    VIEW_3D = 0,
    VIEW_TOP = 1,     // X/Z, looking down -Y
    VIEW_FRONT = 2,   // X/Y, looking along -Z
    VIEW_SIDE = 3,    // Y/Z, looking along -X
};
constexpr int kViewCount = 4;

//----------------------------------------------------------------------------------
// Records
//----------------------------------------------------------------------------------
struct BrushFace {
    int32_t count;                       // corners in use, 3..16 for a valid face
    int32_t indices[kMaxFaceCorners];    // into the brush's verts, in winding order
    int32_t texture;                     // texture asset index; -1 uses the brush's
    float uvScale[2];
    float uvOffset[2];
    float uvRotation;                    // degrees
    uint8_t projection;                  // FaceProjection
    uint8_t flipU;
    uint8_t flipV;
    Color tint;                          // multiplies the brush colour in immediate-mode drawing
};

struct Brush {
    char name[kNameLen];
    Vector3 origin;                      // world position of the local frame
    Vector3 rotation;                    // pitch, yaw, roll in degrees
    Vector3 size;                        // nominal size the shape was generated with
    int32_t vertCount;
    Vector3 verts[kMaxBrushVerts];       // local to origin and rotation
    int32_t faceCount;
    BrushFace faces[kMaxBrushFaces];
    Color colour;
    int32_t texture;                     // used by faces whose own texture is -1
    int32_t shape;                       // BrushShape it was built from, stored as passed
    uint8_t physics;
    float mass;
    float friction;
    float bounce;
    uint8_t hidden;                      // not stored in map files
};

struct Entity {
    Vector3 position;
    Vector3 rotation;                    // pitch, yaw, roll in degrees
    float scale;
    char className[kNameLen];
    char name[kNameLen];
    int32_t model;                       // model asset index, -1 none
    int32_t texture;                     // overrides the model's textures, -1 none
    int32_t kind;                        // EntityKind
    Color lightColour;
    float brightness;
    float range;
    float innerCone;                     // degrees
    float outerCone;                     // degrees
    uint8_t castsLight;
    uint8_t physics;
    float mass;
    uint8_t hidden;                      // not stored in map files
    Color tint;                          // model tint when alpha is not 0; not stored in map files
};

struct MapDoc {
    Brush brushes[kMaxBrushes];          // slots 0 .. brushCount-1 in use
    int32_t brushCount;
    Entity entities[kMaxEntities];       // slots 0 .. entityCount-1 in use
    int32_t entityCount;
};

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------
// count held to 0..max, for loops over a record that may be damaged.
inline int ClampCount(int count, int max)
{
    return count < 0 ? 0 : (count > max ? max : count);
}
// 64-bit mix of n bytes into h. A record holds no pointer, so its bytes are all it says: the caches
// key on hashes of records and of the asset tables. Inline: the brush hashes call it per field.
inline uint64_t HashBytes(uint64_t h, const void *data, int n)
{
    constexpr uint64_t kHashMul = 0xFF51AFD7ED558CCDull;
    const unsigned char *p = (const unsigned char *)data;
    while (n >= 8) {
        uint64_t w;
        memcpy(&w, p, 8);
        h = (h ^ w) * kHashMul;
        h ^= h >> 29;
        p += 8;
        n -= 8;
    }
    uint64_t tail = 0;
    memcpy(&tail, p, (size_t)(n > 0 ? n : 0));
    h = (h ^ tail ^ ((uint64_t)n << 56)) * kHashMul;
    return h ^ (h >> 32);
}
// 1 for the three light kinds.
inline int EntityIsLight(const Entity *entity)
{
    return entity->kind == ENTITY_LIGHT || entity->kind == ENTITY_LIGHT_SPOT || entity->kind == ENTITY_LIGHT_ENVIRONMENT;
}
// 1 when index names a brush slot in use.
inline int MapBrushValid(const MapDoc *map, int index)
{
    return index >= 0 && index < ClampCount(map->brushCount, kMaxBrushes);
}
// 1 when index names an entity slot in use.
inline int MapEntityValid(const MapDoc *map, int index)
{
    return index >= 0 && index < ClampCount(map->entityCount, kMaxEntities);
}
// Removes the brush at index; every later brush moves down one slot. 1, or 0 for a slot not in use.
int MapRemoveBrush(MapDoc *map, int index);
// Removes the entity at index the same way. 1, or 0 for a slot not in use.
int MapRemoveEntity(MapDoc *map, int index);
// Sets the face's texture and resets every placement field to its default; keeps the corners.
void FaceInitDefaults(BrushFace *face, int texture);
// Zero-fills the entity and makes it a light of the given kind that casts light: class name from
// the kind, scale 1, no model or texture, mass 10, white tint. The caller names and aims it.
void EntityInitLight(Entity *entity, int kind, Vector3 position, Color colour, float brightness, float range,
                     float innerCone, float outerCone);
