// builtins_face.cpp: the face. builtins: corners, normal, centre and area in the brush's local
// frame, the texture placement fields, and the diagonal split.
//
// Every builtin starts from (brush, face); without that face the getters answer 0 (-1 for the
// corner count, a corner, the texture and the projection) and the setters refuse.
#include <cmath>

#include "raylib.h"
#include "raymath.h"
#include "document/brush_geometry.h"
#include "document/topology.h"
#include "script/builtin_families.h"

//----------------------------------------------------------------------------------
// Limits and constants
//----------------------------------------------------------------------------------
constexpr float kMinUvScale = 0.0001f;       // a scale this small or smaller is stored as 1

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static Vector3 CornerLocal(const Brush *brush, const BrushFace *face, int k);
static float FaceArea(const Brush *brush, const BrushFace *face);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
float CallFaceBuiltin(VmState *state, int id, const float *args)
{
    MapDoc *map = state->map;
    int32_t bi = ArgIndex(args[0]), fi = ArgIndex(args[1]);
    Brush *b = map && MapBrushValid(map, bi) ? &map->brushes[bi] : nullptr;
    BrushFace *face = b && fi >= 0 && fi < ClampCount(b->faceCount, kMaxBrushFaces) ? &b->faces[fi] : nullptr;
    if (!face) {
        switch (id) {
        case BI_FACE_VERTCOUNT: case BI_FACE_VERT: case BI_FACE_TEX: case BI_FACE_PROJ: return -1.0f;
        default: return 0.0f;
        }
    }
    switch (id) {
    case BI_FACE_VERTCOUNT: return (float)face->count;
    case BI_FACE_VERT: {
        int32_t k = ArgIndex(args[2]);
        return k >= 0 && k < FaceCornerCount(face) ? (float)face->indices[k] : -1.0f;
    }
    case BI_FACE_NX: return FaceNormalLocal(b, face).x;
    case BI_FACE_NY: return FaceNormalLocal(b, face).y;
    case BI_FACE_NZ: return FaceNormalLocal(b, face).z;
    case BI_FACE_CX: return FaceCenterLocal(b, face).x;
    case BI_FACE_CY: return FaceCenterLocal(b, face).y;
    case BI_FACE_CZ: return FaceCenterLocal(b, face).z;
    case BI_FACE_AREA: return FaceArea(b, face);

    case BI_FACE_TEX: return (float)face->texture;   // -1: the brush's texture
    case BI_FACE_SETTEX: {
        int32_t texture;
        if (!ArgInt(args[2], &texture)) return 0.0f;
        face->texture = texture;   // not range-checked, like the brush's own
        return 1.0f;
    }
    case BI_FACE_SCALEU: return face->uvScale[0];
    case BI_FACE_SCALEV: return face->uvScale[1];
    case BI_FACE_SETSCALE:
        if (!ArgsFinite(args, 2, 2)) return 0.0f;
        face->uvScale[0] = fabsf(args[2]) <= kMinUvScale ? 1.0f : args[2];
        face->uvScale[1] = fabsf(args[3]) <= kMinUvScale ? 1.0f : args[3];
        return 1.0f;
    case BI_FACE_OFFU: return face->uvOffset[0];
    case BI_FACE_OFFV: return face->uvOffset[1];
    case BI_FACE_SETOFF:
        if (!ArgsFinite(args, 2, 2)) return 0.0f;
        face->uvOffset[0] = args[2];
        face->uvOffset[1] = args[3];
        return 1.0f;
    case BI_FACE_ROT: return face->uvRotation;
    case BI_FACE_SETROT:
        if (!ArgsFinite(args, 2, 1)) return 0.0f;
        face->uvRotation = args[2];
        return 1.0f;
    case BI_FACE_PROJ: return (float)face->projection;
    case BI_FACE_SETPROJ: {
        int32_t mode = ArgIndex(args[2]);
        if (mode < 0 || mode >= kProjectionCount) return 0.0f;
        face->projection = (uint8_t)mode;
        return 1.0f;
    }
    case BI_FACE_FLIPU: return FromBool(face->flipU);
    case BI_FACE_FLIPV: return FromBool(face->flipV);
    case BI_FACE_SETFLIP:
        face->flipU = (uint8_t)ArgFlag(args[2]);
        face->flipV = (uint8_t)ArgFlag(args[3]);
        return 1.0f;
    case BI_FACE_TINTR: return face->tint.r;
    case BI_FACE_TINTG: return face->tint.g;
    case BI_FACE_TINTB: return face->tint.b;
    case BI_FACE_SETTINT:
        if (!ArgsFinite(args, 2, 3)) return 0.0f;
        face->tint = Color{ ArgChannel(args[2]), ArgChannel(args[3]), ArgChannel(args[4]), 255 };
        return 1.0f;

    case BI_FACE_SPLIT: {
        int32_t va = ArgIndex(args[2]), vb = ArgIndex(args[3]);
        if (va == kArgBad || vb == kArgBad) return 0.0f;
        return FromBool(BrushSplitFaceDiagonal(b, fi, va, vb));
    }
    case BI_FACE_PLANARERR: return FacePlanarError(b, face);
    default: return 0.0f;
    }
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// Corner k's local position; the origin for an index the brush does not hold.
static Vector3 CornerLocal(const Brush *brush, const BrushFace *face, int k)
{
    int v = face->indices[k];
    if (v < 0 || v >= ClampCount(brush->vertCount, kMaxBrushVerts)) return Vector3{ 0.0f, 0.0f, 0.0f };
    return brush->verts[v];
}

// Area of the face fanned from its first corner; 0 below three corners.
static float FaceArea(const Brush *brush, const BrushFace *face)
{
    int n = FaceCornerCount(face);
    if (n < kMinFaceCorners) return 0.0f;
    Vector3 v0 = CornerLocal(brush, face, 0);
    float area = 0.0f;
    for (int k = 1; k + 1 < n; k++) {
        Vector3 a = Vector3Subtract(CornerLocal(brush, face, k), v0);
        Vector3 c = Vector3Subtract(CornerLocal(brush, face, k + 1), v0);
        area += 0.5f * Vector3Length(Vector3CrossProduct(a, c));
    }
    return area;
}
