// brush_geometry.cpp: brush frame, face geometry and capacity-checked appends.
#include "document/brush_geometry.h"

#include <cmath>
#include <cstring>

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static Vector3 FaceCorner(const Brush *brush, const BrushFace *face, int k);
static Vector3 FaceNewell(const Brush *brush, const BrushFace *face);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
float SnapToGrid(float value, float step)
{
    if (step <= 0.0001f) return value;
    return roundf(value / step) * step;
}

Matrix BrushRotMatrix(const Brush *brush)
{
    return MatrixRotateXYZ(Vector3{ brush->rotation.x * kDegToRad, brush->rotation.y * kDegToRad,
                                    brush->rotation.z * kDegToRad });
}

int BrushIsRotated(const Brush *brush)
{
    // Written as "not equal" so that a NaN component counts as rotated.
    return (brush->rotation.x != 0.0f || brush->rotation.y != 0.0f || brush->rotation.z != 0.0f) ? 1 : 0;
}

Vector3 BrushVertWorld(const Brush *brush, int i)
{
    if (i < 0 || i >= brush->vertCount) return brush->origin;
    Vector3 v = brush->verts[i];
    if (BrushIsRotated(brush)) v = Vector3Transform(v, BrushRotMatrix(brush));
    return Vector3Add(v, brush->origin);
}

Vector3 BrushPointWorld(const Brush *brush, Vector3 local)
{
    if (BrushIsRotated(brush)) local = Vector3Transform(local, BrushRotMatrix(brush));
    return Vector3Add(local, brush->origin);
}

void BrushSetVertWorld(Brush *brush, int i, Vector3 world)
{
    if (i < 0 || i >= brush->vertCount) return;
    Vector3 local = Vector3Subtract(world, brush->origin);
    // A pure rotation's inverse is its transpose: exact and never singular.
    if (BrushIsRotated(brush)) local = Vector3Transform(local, MatrixTranspose(BrushRotMatrix(brush)));
    brush->verts[i] = local;
}

int FaceCornerCount(const BrushFace *face)
{
    return ClampCount(face->count, kMaxFaceCorners);
}

Vector3 FaceNormalLocal(const Brush *brush, const BrushFace *face)
{
    Vector3 n = FaceNewell(brush, face);
    float len = Vector3Length(n);
    if (!(len >= kFaceMinNewellLength)) return Vector3{ 0.0f, 1.0f, 0.0f };
    return Vector3{ n.x / len, n.y / len, n.z / len };
}

int FaceHasArea(const Brush *brush, const BrushFace *face)
{
    // Written as "at least" so that a NaN length has no area, as in FaceNormalLocal.
    return Vector3Length(FaceNewell(brush, face)) >= kFaceMinNewellLength ? 1 : 0;
}

Vector3 FaceNormalWorld(const Brush *brush, const BrushFace *face)
{
    Vector3 n = FaceNormalLocal(brush, face);
    if (BrushIsRotated(brush)) n = Vector3Normalize(Vector3Transform(n, BrushRotMatrix(brush)));
    return n;
}

Vector3 FaceCenterLocal(const Brush *brush, const BrushFace *face)
{
    int n = FaceCornerCount(face);
    if (n == 0) return Vector3{ 0.0f, 0.0f, 0.0f };
    Vector3 sum = { 0.0f, 0.0f, 0.0f };
    for (int k = 0; k < n; k++) sum = Vector3Add(sum, FaceCorner(brush, face, k));
    return Vector3Scale(sum, 1.0f / (float)n);
}

Vector3 BrushCentroidLocal(const Brush *brush)
{
    int count = ClampCount(brush->vertCount, kMaxBrushVerts);
    if (count == 0) return Vector3{ 0.0f, 0.0f, 0.0f };
    Vector3 sum = { 0.0f, 0.0f, 0.0f };
    for (int i = 0; i < count; i++) sum = Vector3Add(sum, brush->verts[i]);
    return Vector3Scale(sum, 1.0f / (float)count);
}

float BrushSignedVolume(const Brush *brush)
{
    int verts = ClampCount(brush->vertCount, kMaxBrushVerts);
    double volume = 0.0;   // in double, so the tetrahedra of a flat brush cancel out to about 0
    for (int f = 0; f < ClampCount(brush->faceCount, kMaxBrushFaces); f++) {
        const BrushFace *face = &brush->faces[f];
        int n = FaceCornerCount(face);
        bool inRange = n >= kMinFaceCorners;
        for (int k = 0; k < n; k++) inRange = inRange && face->indices[k] >= 0 && face->indices[k] < verts;
        if (!inRange) continue;
        Vector3 a = brush->verts[face->indices[0]];
        for (int k = 1; k + 1 < n; k++) {
            Vector3 b = brush->verts[face->indices[k]], c = brush->verts[face->indices[k + 1]];
            volume += (double)a.x * ((double)b.y * c.z - (double)b.z * c.y) -
                      (double)a.y * ((double)b.x * c.z - (double)b.z * c.x) +
                      (double)a.z * ((double)b.x * c.y - (double)b.y * c.x);
        }
    }
    return (float)(volume / 6.0);
}

float FacePlanarError(const Brush *brush, const BrushFace *face)
{
    if (face->count < 4) return 0.0f;
    Vector3 n = FaceNormalLocal(brush, face);
    Vector3 c = FaceCenterLocal(brush, face);
    float worst = 0.0f;
    for (int k = 0; k < FaceCornerCount(face); k++) {
        float d = fabsf(Vector3DotProduct(Vector3Subtract(FaceCorner(brush, face, k), c), n));
        if (d > worst) worst = d;
    }
    return worst;
}

void FaceReverse(BrushFace *face)
{
    int n = FaceCornerCount(face);
    for (int a = 0, b = n - 1; a < b; a++, b--) {
        int32_t t = face->indices[a];
        face->indices[a] = face->indices[b];
        face->indices[b] = t;
    }
}

void BrushFixWinding(Brush *brush)
{
    Vector3 c = BrushCentroidLocal(brush);
    for (int f = 0; f < brush->faceCount && f < kMaxBrushFaces; f++) {
        BrushFace *face = &brush->faces[f];
        if (face->count <= 2) continue;
        Vector3 n = FaceNormalLocal(brush, face);
        Vector3 centre = FaceCenterLocal(brush, face);
        if (Vector3DotProduct(Vector3Subtract(centre, c), n) < 0.0f) FaceReverse(face);
    }
}

int VertsAreFinite(const Vector3 *verts, int count)
{
    for (int i = 0; i < count; i++)
        if (!std::isfinite(verts[i].x) || !std::isfinite(verts[i].y) || !std::isfinite(verts[i].z)) return 0;
    return 1;
}

int BrushAddVert(Brush *brush, Vector3 local)
{
    if (brush->vertCount < 0 || brush->vertCount >= kMaxBrushVerts) return -1;
    brush->verts[brush->vertCount] = local;
    return brush->vertCount++;
}

int BrushAddFace(Brush *brush, const int *indices, int n, int texture)
{
    if (n < kMinFaceCorners || n > kMaxFaceCorners) return -1;
    if (brush->faceCount < 0 || brush->faceCount >= kMaxBrushFaces) return -1;
    BrushFace *face = &brush->faces[brush->faceCount];
    memset(face, 0, sizeof(*face));
    face->count = n;
    for (int k = 0; k < n; k++) face->indices[k] = indices[k];
    FaceInitDefaults(face, texture);
    return brush->faceCount++;
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------

// Corner k of a face; an index outside the brush reads as the local origin rather than
// out of bounds, so a damaged face can be measured and reported instead of crashing.
static Vector3 FaceCorner(const Brush *brush, const BrushFace *face, int k)
{
    if (k < 0 || k >= kMaxFaceCorners) return Vector3{ 0.0f, 0.0f, 0.0f };
    int i = face->indices[k];
    if (i < 0 || i >= brush->vertCount || i >= kMaxBrushVerts) return Vector3{ 0.0f, 0.0f, 0.0f };
    return brush->verts[i];
}

// Newell vector of the face: its direction is the normal, its length twice the area.
static Vector3 FaceNewell(const Brush *brush, const BrushFace *face)
{
    Vector3 n = { 0.0f, 0.0f, 0.0f };
    int count = FaceCornerCount(face);
    for (int k = 0; k < count; k++) {
        Vector3 a = FaceCorner(brush, face, k);
        Vector3 b = FaceCorner(brush, face, (k + 1) % count);
        n.x += (a.y - b.y) * (a.z + b.z);
        n.y += (a.z - b.z) * (a.x + b.x);
        n.z += (a.x - b.x) * (a.y + b.y);
    }
    return n;
}
