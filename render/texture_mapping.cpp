// texture_mapping.cpp: face placement to texture coordinates.
#include "render/texture_mapping.h"

#include <cmath>

#include "raymath.h"
#include "document/brush_geometry.h"

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static float UsableScale(float scale);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void FaceTextureAxes(Vector3 normal, Vector3 *outU, Vector3 *outV)
{
    float ax = fabsf(normal.x), ay = fabsf(normal.y), az = fabsf(normal.z);
    if (ay >= ax && ay >= az) {            // floor or ceiling; ties count as floors
        *outU = Vector3{ 1.0f, 0.0f, 0.0f };
        *outV = Vector3{ 0.0f, 0.0f, 1.0f };
    } else if (ax >= az) {                 // wall facing X; ties count as X walls
        *outU = Vector3{ 0.0f, 0.0f, 1.0f };
        *outV = Vector3{ 0.0f, 1.0f, 0.0f };
    } else {                               // wall facing Z
        *outU = Vector3{ 1.0f, 0.0f, 0.0f };
        *outV = Vector3{ 0.0f, 1.0f, 0.0f };
    }
}

Vector2 FaceUV(Vector3 point, Vector3 axisU, Vector3 axisV, const BrushFace *face)
{
    float u = Vector3DotProduct(point, axisU);
    float v = Vector3DotProduct(point, axisV);
    if (face->uvRotation != 0.0f || std::isnan(face->uvRotation)) {
        float r = face->uvRotation * kDegToRad;
        float c = cosf(r), s = sinf(r);
        float ru = u * c - v * s;
        float rv = u * s + v * c;
        u = ru;
        v = rv;
    }
    if (face->flipU) u = -u;
    if (face->flipV) v = -v;
    // In World and Local mode the scale is world units per repeat: it divides.
    return Vector2{ u / UsableScale(face->uvScale[0]) + face->uvOffset[0],
                    v / UsableScale(face->uvScale[1]) + face->uvOffset[1] };
}

Vector3 FaceUVSource(const Brush *brush, const BrushFace *face, int vertex)
{
    if (face->projection == PROJ_WORLD) return BrushVertWorld(brush, vertex);
    if (vertex < 0 || vertex >= kMaxBrushVerts) return Vector3{ 0.0f, 0.0f, 0.0f };
    return brush->verts[vertex];
}

Vector3 FaceUVNormal(const Brush *brush, const BrushFace *face)
{
    return face->projection == PROJ_WORLD ? FaceNormalWorld(brush, face) : FaceNormalLocal(brush, face);
}

void FaceFitBounds(const Brush *brush, const BrushFace *face, Vector3 axisU, Vector3 axisV,
                   float *minU, float *rangeU, float *minV, float *rangeV)
{
    float loU = 1e30f, hiU = -1e30f, loV = 1e30f, hiV = -1e30f;
    int count = FaceCornerCount(face);
    for (int k = 0; k < count; k++) {
        Vector3 p = FaceUVSource(brush, face, face->indices[k]);
        float u = Vector3DotProduct(p, axisU), v = Vector3DotProduct(p, axisV);
        loU = fminf(loU, u);
        hiU = fmaxf(hiU, u);
        loV = fminf(loV, v);
        hiV = fmaxf(hiV, v);
    }
    float ru = hiU - loU, rv = hiV - loV;
    *minU = loU;
    *minV = loV;
    *rangeU = (ru < kMinFitRange) ? 1.0f : ru;   // a sliver (or no corner at all) divides by 1
    *rangeV = (rv < kMinFitRange) ? 1.0f : rv;
}

Vector2 FaceVertexUV(const Brush *brush, const BrushFace *face, int vertex, Vector3 axisU, Vector3 axisV,
                     float minU, float rangeU, float minV, float rangeV)
{
    Vector3 p = FaceUVSource(brush, face, vertex);
    if (face->projection != PROJ_FIT) return FaceUV(p, axisU, axisV, face);

    float s = (Vector3DotProduct(p, axisU) - minU) / rangeU;
    float t = (Vector3DotProduct(p, axisV) - minV) / rangeV;
    if (face->uvRotation != 0.0f || std::isnan(face->uvRotation)) {
        float r = face->uvRotation * kDegToRad;     // turned about the middle of the unit square
        float c = cosf(r), sn = sinf(r);
        float rs = 0.5f + (s - 0.5f) * c - sn * (t - 0.5f);
        float rt = 0.5f + (s - 0.5f) * sn + c * (t - 0.5f);
        s = rs;
        t = rt;
    }
    if (face->flipU) s = 1.0f - s;                   // mirrored inside the square, not negated
    if (face->flipV) t = 1.0f - t;
    // In Fit mode the scale is the number of repeats across the face: it multiplies.
    return Vector2{ s * UsableScale(face->uvScale[0]) + face->uvOffset[0],
                    t * UsableScale(face->uvScale[1]) + face->uvOffset[1] };
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
static float UsableScale(float scale)
{
    return (fabsf(scale) <= kMinUvScale) ? 1.0f : scale;
}
