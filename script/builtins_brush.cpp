// builtins_brush.cpp: the brush. builtins: counts and vertices, placement, creation and removal,
// topology, appearance, physics and measures.
//
// Geometry goes through the same document functions the tools use (BrushInit, the topology edits,
// BrushClip), and every edit is built aside and committed only when the result is a brush the
// tools could have made: all vertices finite. A refused call leaves the brush byte for byte as it
// was. Vertices, normals, volumes are local to the brush; positions and bounds are world.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "raylib.h"
#include "raymath.h"
#include "document/brush_geometry.h"
#include "document/clip.h"
#include "document/map_limits.h"
#include "document/primitives.h"
#include "document/topology.h"
#include "script/builtin_families.h"
#include "script/editor_link.h"

//----------------------------------------------------------------------------------
// Limits and constants
//----------------------------------------------------------------------------------
constexpr float kMinBrushSize = 0.01f;       // each size component is raised to this
constexpr float kMinOldSize = 0.0001f;       // an old size this small scales nothing on its axis
constexpr float kMinWeldEps = 0.00001f;
constexpr int kAxisCount = 3;                // flip axes 0 X, 1 Y, 2 Z
// brush.clip's answer for a plane that crosses a brush it cannot cut: -1 is a missing brush, 0 a miss.
constexpr float kClipNotConvexAnswer = -2.0f;

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static Brush *BrushArg(VmState *state, float arg);
static int VertArg(const Brush *brush, float arg);
static int FaceArg(const Brush *brush, float arg);
static float VertComponent(const Brush *brush, float arg, int axis);
static float AddBrush(MapDoc *map, const float *args);
static float DeleteBrush(MapDoc *map, float arg);
static float CloneBrush(MapDoc *map, float arg);
static float ResizeBrush(Brush *brush, const float *args);
static float RebuildBrush(Brush *brush, float shapeArg);
static float ClipBrush(MapDoc *map, Brush *brush, const float *args);
static float SetNonNegative(float *field, float value);
static Vector3 SizeArgs(const float *args);
static float Axis(Vector3 v, int axis) { return axis == 0 ? v.x : (axis == 1 ? v.y : v.z); }

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
float CallBrushBuiltin(VmState *state, int id, const float *args)
{
    MapDoc *map = state->map;
    // The builtins that make a brush do not start from one.
    if (id == BI_BRUSH_ADD) return AddBrush(map, args);
    if (id == BI_BRUSH_DELETE) return DeleteBrush(map, args[0]);
    if (id == BI_BRUSH_CLONE) return CloneBrush(map, args[0]);

    Brush *b = BrushArg(state, args[0]);
    if (!b) {
        // A missing brush: -1 from the getters of counts, indices and codes, 0 from the rest.
        switch (id) {
        case BI_BRUSH_VERTCOUNT: case BI_BRUSH_FACECOUNT: case BI_BRUSH_SPLITEDGE: case BI_BRUSH_GETTEX:
        case BI_BRUSH_SHAPE: case BI_BRUSH_CLIP:
            return -1.0f;
        default: return 0.0f;
        }
    }
    switch (id) {
    case BI_BRUSH_VERTCOUNT: return (float)b->vertCount;
    case BI_BRUSH_FACECOUNT: return (float)b->faceCount;
    case BI_BRUSH_GETX: return VertComponent(b, args[1], 0);
    case BI_BRUSH_GETY: return VertComponent(b, args[1], 1);
    case BI_BRUSH_GETZ: return VertComponent(b, args[1], 2);
    case BI_BRUSH_SETV: {
        int v = VertArg(b, args[1]);
        if (v < 0 || !ArgsFinite(args, 2, 3)) return 0.0f;
        b->verts[v] = Vector3{ args[2], args[3], args[4] };   // faces and winding stay as they are
        return 1.0f;
    }

    case BI_BRUSH_POSX: return b->origin.x;
    case BI_BRUSH_POSY: return b->origin.y;
    case BI_BRUSH_POSZ: return b->origin.z;
    case BI_BRUSH_SETPOS:
        if (!ArgsFinite(args, 1, 3)) return 0.0f;
        b->origin = Vector3{ args[1], args[2], args[3] };
        return 1.0f;
    case BI_BRUSH_SIZEX: return b->size.x;
    case BI_BRUSH_SIZEY: return b->size.y;
    case BI_BRUSH_SIZEZ: return b->size.z;
    case BI_BRUSH_SETSIZE: return ResizeBrush(b, args);
    case BI_BRUSH_ROTX: return b->rotation.x;
    case BI_BRUSH_ROTY: return b->rotation.y;
    case BI_BRUSH_ROTZ: return b->rotation.z;
    case BI_BRUSH_SETROT:
        if (!ArgsFinite(args, 1, 3)) return 0.0f;
        b->rotation = Vector3{ args[1], args[2], args[3] };
        return 1.0f;

    case BI_BRUSH_EXTRUDE: {
        int f = FaceArg(b, args[1]);
        return f >= 0 ? FromBool(BrushExtrudeFace(b, f, args[2])) : 0.0f;
    }
    case BI_BRUSH_SPLITEDGE: {
        int va = VertArg(b, args[1]), vb = VertArg(b, args[2]);
        if (va < 0 || vb < 0) return -1.0f;
        return (float)BrushSplitEdge(b, va, vb);
    }
    case BI_BRUSH_WELD:
        if (!std::isfinite(args[1])) return 0.0f;
        return (float)BrushWeldVerts(b, fmaxf(args[1], kMinWeldEps));
    case BI_BRUSH_FLIP: {
        int32_t axis = ArgIndex(args[1]);
        if (axis < 0 || axis >= kAxisCount) return 0.0f;
        return FromBool(BrushFlip(b, axis));
    }
    case BI_BRUSH_SUBDIVIDE: {
        int f = FaceArg(b, args[1]);
        return f >= 0 ? (float)BrushSubdivideFace(b, f) : 0.0f;
    }
    case BI_BRUSH_FIXWIND: BrushFixWinding(b); return 1.0f;
    case BI_BRUSH_CLIP: return ClipBrush(map, b, args);
    case BI_BRUSH_REBUILD: return RebuildBrush(b, args[1]);

    case BI_BRUSH_SETTEX: {
        int32_t texture;
        if (!ArgInt(args[1], &texture)) return 0.0f;
        b->texture = texture;   // not range-checked: the drawing falls back for unknown numbers
        for (int f = 0; f < ClampCount(b->faceCount, kMaxBrushFaces); f++) b->faces[f].texture = -1;
        return 1.0f;
    }
    case BI_BRUSH_GETTEX: return (float)b->texture;
    case BI_BRUSH_SHAPE: return (float)b->shape;
    case BI_BRUSH_HIDE: b->hidden = (uint8_t)ArgFlag(args[1]); return 1.0f;
    case BI_BRUSH_ISHIDDEN: return FromBool(b->hidden);
    case BI_BRUSH_PHYSICS: return FromBool(b->physics);
    case BI_BRUSH_SETPHYSICS: b->physics = (uint8_t)ArgFlag(args[1]); return 1.0f;
    case BI_BRUSH_MASS: return b->mass;
    case BI_BRUSH_SETMASS: return SetNonNegative(&b->mass, args[1]);
    case BI_BRUSH_FRICTION: return b->friction;
    case BI_BRUSH_SETFRICTION: return SetNonNegative(&b->friction, args[1]);
    case BI_BRUSH_BOUNCE: return b->bounce;
    case BI_BRUSH_SETBOUNCE: return SetNonNegative(&b->bounce, args[1]);
    case BI_BRUSH_COLR: return b->colour.r;
    case BI_BRUSH_COLG: return b->colour.g;
    case BI_BRUSH_COLB: return b->colour.b;
    case BI_BRUSH_SETCOL:
        if (!ArgsFinite(args, 1, 3)) return 0.0f;
        b->colour = Color{ ArgChannel(args[1]), ArgChannel(args[2]), ArgChannel(args[3]), 255 };
        return 1.0f;

    case BI_BRUSH_MINX: case BI_BRUSH_MINY: case BI_BRUSH_MINZ:
        return Axis(GetBrushBoundingBox(b).min, id - BI_BRUSH_MINX);
    case BI_BRUSH_MAXX: case BI_BRUSH_MAXY: case BI_BRUSH_MAXZ:
        return Axis(GetBrushBoundingBox(b).max, id - BI_BRUSH_MAXX);
    case BI_BRUSH_CENTREX: case BI_BRUSH_CENTREY: case BI_BRUSH_CENTREZ: {
        BoundingBox box = GetBrushBoundingBox(b);
        return Axis(Vector3Scale(Vector3Add(box.min, box.max), 0.5f), id - BI_BRUSH_CENTREX);
    }
    case BI_BRUSH_VOLUME: return BrushSignedVolume(b);
    default: return 0.0f;
    }
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
static Brush *BrushArg(VmState *state, float arg)
{
    int32_t index = ArgIndex(arg);
    if (!state->map || !MapBrushValid(state->map, index)) return nullptr;
    return &state->map->brushes[index];
}

// The vertex index, or -1 when the brush has no such vertex.
static int VertArg(const Brush *brush, float arg)
{
    int32_t v = ArgIndex(arg);
    return v >= 0 && v < ClampCount(brush->vertCount, kMaxBrushVerts) ? v : -1;
}

// The face index, or -1 when the brush has no such face.
static int FaceArg(const Brush *brush, float arg)
{
    int32_t f = ArgIndex(arg);
    return f >= 0 && f < ClampCount(brush->faceCount, kMaxBrushFaces) ? f : -1;
}

static float VertComponent(const Brush *brush, float arg, int axis)
{
    int v = VertArg(brush, arg);
    return v >= 0 ? Axis(brush->verts[v], axis) : 0.0f;
}

// brush.add: a new brush from BrushInit at the end of the table, named after its slot.
static float AddBrush(MapDoc *map, const float *args)
{
    int32_t shape = ArgIndex(args[0]);
    if (!map || shape == kArgBad || !ArgsFinite(args, 1, 6)) return -1.0f;
    int slot = ClampCount(map->brushCount, kMaxBrushes);
    if (slot >= kMaxBrushes) return -1.0f;
    if (shape < 0 || shape >= kBrushShapeCount) shape = SHAPE_CUBE;
    Vector3 size = SizeArgs(args + 4);
    Brush made;
    BrushInit(&made, shape, Vector3{ args[1], args[2], args[3] }, size, -1);
    if (!VertsAreFinite(made.verts, made.vertCount)) return -1.0f;   // a size so large its shape overflows
    snprintf(made.name, sizeof(made.name), "Mod_%d", slot);
    map->brushes[slot] = made;
    map->brushCount = slot + 1;
    return (float)slot;
}

// brush.delete: the later brushes move down; the editor's selection follows its brush.
static float DeleteBrush(MapDoc *map, float arg)
{
    int32_t index = ArgIndex(arg);
    if (!map || !MapRemoveBrush(map, index)) return 0.0f;
    if (EditorLinkReady()) {
        int &sel = *gEd.selBrush;
        if (sel == index) sel = -1;
        else if (sel > index) sel--;
    }
    return 1.0f;
}

static float CloneBrush(MapDoc *map, float arg)
{
    int32_t index = ArgIndex(arg);
    if (!map || !MapBrushValid(map, index)) return -1.0f;
    int slot = ClampCount(map->brushCount, kMaxBrushes);
    if (slot >= kMaxBrushes) return -1.0f;
    map->brushes[slot] = map->brushes[index];
    snprintf(map->brushes[slot].name, kNameLen, "Copy_%d", slot);
    map->brushCount = slot + 1;
    return (float)slot;
}

// brush.setsize: scales the vertices about their mean by new / old size per axis.
static float ResizeBrush(Brush *brush, const float *args)
{
    if (!ArgsFinite(args, 1, 3)) return 0.0f;
    Vector3 size = SizeArgs(args + 1);
    Vector3 old = brush->size;
    Vector3 factor = { fabsf(old.x) > kMinOldSize ? size.x / old.x : 1.0f,
                       fabsf(old.y) > kMinOldSize ? size.y / old.y : 1.0f,
                       fabsf(old.z) > kMinOldSize ? size.z / old.z : 1.0f };
    Brush work = *brush;
    Vector3 c = BrushCentroidLocal(&work);
    int n = ClampCount(work.vertCount, kMaxBrushVerts);
    for (int i = 0; i < n; i++)
        work.verts[i] = Vector3Add(c, Vector3Multiply(Vector3Subtract(work.verts[i], c), factor));
    // Refused like an overflow: a new size that carries a vertex out past the scale limit.
    if (!VertsAreFinite(work.verts, n) || VertsGrowPastLimit(brush->verts, work.verts, n)) return 0.0f;
    work.size = size;
    *brush = work;
    return 1.0f;
}

// brush.rebuild: a fresh shape at the same place and size; name and rotation survive.
static float RebuildBrush(Brush *brush, float shapeArg)
{
    int32_t shape = ArgIndex(shapeArg);
    if (shape < 0 || shape >= kBrushShapeCount) return 0.0f;
    Brush made;
    BrushInit(&made, shape, brush->origin, brush->size, brush->texture);
    if (!VertsAreFinite(made.verts, made.vertCount)) return 0.0f;   // a damaged size builds no brush
    made.rotation = brush->rotation;
    memcpy(made.name, brush->name, sizeof(made.name));
    made.name[kNameLen - 1] = '\0';
    *brush = made;
    return 1.0f;
}

// brush.clip: a real cut keeps the chosen part in the slot; keeping both needs a free slot.
static float ClipBrush(MapDoc *map, Brush *brush, const float *args)
{
    int32_t keep = ArgIndex(args[5]);
    if (keep == kArgBad) return 0.0f;
    // Without room for the back part, keeping both would silently drop it: refuse instead.
    int count = ClampCount(map->brushCount, kMaxBrushes);
    if (keep == CLIP_KEEP_BOTH && count >= kMaxBrushes) return 0.0f;
    Brush front, back;
    int refusal = CLIP_MISSED;
    int made = BrushClip(brush, Vector3{ args[1], args[2], args[3] }, args[4], &front, &back, &refusal);
    if (made != 3) return refusal == CLIP_NOT_CONVEX ? kClipNotConvexAnswer : 0.0f;   // not a real cut
    if (keep == CLIP_KEEP_BACK) {
        *brush = back;
        return 1.0f;
    }
    *brush = front;
    if (keep != CLIP_KEEP_BOTH) return 1.0f;
    snprintf(back.name, sizeof(back.name), "Clip_%d", count);
    map->brushes[count] = back;
    map->brushCount = count + 1;
    return 2.0f;
}

static float SetNonNegative(float *field, float value)
{
    if (!std::isfinite(value)) return 0.0f;
    *field = fmaxf(value, 0.0f);
    return 1.0f;
}

// Three finite size arguments, each held to kMinBrushSize .. kMapScaleLimit.
static Vector3 SizeArgs(const float *args)
{
    return Vector3{ Clamp(args[0], kMinBrushSize, kMapScaleLimit), Clamp(args[1], kMinBrushSize, kMapScaleLimit),
                    Clamp(args[2], kMinBrushSize, kMapScaleLimit) };
}
