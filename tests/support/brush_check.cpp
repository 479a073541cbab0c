// brush_check.cpp: validity, volume, corner lists and a 16-sided prism for the brush tests.
#include "support/brush_check.h"

#include <cmath>
#include <map>
#include <utility>

#include "document/brush_geometry.h"
#include "document/primitives.h"
#include "document/topology.h"

::testing::AssertionResult BrushIsValid(const Brush &brush, BrushCheckOptions options)
{
    if (brush.vertCount < 0 || brush.vertCount > kMaxBrushVerts)
        return ::testing::AssertionFailure() << "vertCount " << brush.vertCount;
    if (brush.faceCount < 0 || brush.faceCount > kMaxBrushFaces)
        return ::testing::AssertionFailure() << "faceCount " << brush.faceCount;

    std::map<std::pair<int, int>, int> edges;
    for (int f = 0; f < brush.faceCount; f++) {
        const BrushFace &face = brush.faces[f];
        if (face.count < kMinFaceCorners || face.count > kMaxFaceCorners)
            return ::testing::AssertionFailure() << "face " << f << " has " << face.count << " corners";
        for (int k = 0; k < face.count; k++) {
            int a = face.indices[k], b = face.indices[(k + 1) % face.count];
            if (a < 0 || a >= brush.vertCount)
                return ::testing::AssertionFailure() << "face " << f << " corner " << k << " index " << a;
            if (a == b) return ::testing::AssertionFailure() << "face " << f << " repeats vertex " << a;
            edges[{ a, b }]++;
        }
    }
    if (options.closed) {
        for (const auto &e : edges) {
            if (e.second != 1)
                return ::testing::AssertionFailure() << "edge " << e.first.first << "->" << e.first.second
                                                     << " used " << e.second << " times";
            auto opposite = edges.find({ e.first.second, e.first.first });
            if (opposite == edges.end() || opposite->second != 1)
                return ::testing::AssertionFailure() << "edge " << e.first.first << "->" << e.first.second
                                                     << " has no single opposite edge";
        }
    }
    if (options.outward) {
        Vector3 c = BrushCentroidLocal(&brush);
        for (int f = 0; f < brush.faceCount; f++) {
            Vector3 n = FaceNormalLocal(&brush, &brush.faces[f]);
            Vector3 centre = FaceCenterLocal(&brush, &brush.faces[f]);
            if (Vector3DotProduct(Vector3Subtract(centre, c), n) <= 0.0f)
                return ::testing::AssertionFailure() << "face " << f << " points inward";
        }
    }
    return ::testing::AssertionSuccess();
}

double BrushVolume(const Brush &brush)
{
    // Divergence theorem over a fan of each face: sum of signed tetrahedra from the local origin.
    double volume = 0.0;
    for (int f = 0; f < brush.faceCount; f++) {
        const BrushFace &face = brush.faces[f];
        const Vector3 &a = brush.verts[face.indices[0]];
        for (int k = 1; k + 1 < face.count; k++) {
            const Vector3 &b = brush.verts[face.indices[k]];
            const Vector3 &c = brush.verts[face.indices[k + 1]];
            volume += (double)a.x * ((double)b.y * c.z - (double)b.z * c.y) -
                      (double)a.y * ((double)b.x * c.z - (double)b.z * c.x) +
                      (double)a.z * ((double)b.x * c.y - (double)b.y * c.x);
        }
    }
    return volume / 6.0;
}

std::vector<int> Corners(const BrushFace &face)
{
    return std::vector<int>(face.indices, face.indices + face.count);
}

Brush Prism16(void)
{
    Brush b;
    BrushInit(&b, SHAPE_CUBE, Vector3{ 0, 0, 0 }, Vector3{ 2, 2, 2 }, -1);
    b.vertCount = 0;
    b.faceCount = 0;
    for (int ring = 0; ring < 2; ring++)
        for (int i = 0; i < 16; i++) {
            float a = 6.2831855f * i / 16.0f;
            BrushAddVert(&b, Vector3{ cosf(a), ring ? 1.0f : -1.0f, sinf(a) });
        }
    for (int i = 0; i < 16; i++) {
        int j = (i + 1) % 16;
        int quad[4] = { i, j, j + 16, i + 16 };
        BrushAddFace(&b, quad, 4, -1);
    }
    int top[16], bottom[16];
    for (int i = 0; i < 16; i++) top[i] = 16 + i, bottom[i] = 15 - i;
    BrushAddFace(&b, top, 16, -1);
    BrushAddFace(&b, bottom, 16, -1);
    BrushFixWinding(&b);
    return b;
}

Brush Bipyramid24(void)
{
    Brush b;
    BrushInit(&b, SHAPE_CUBE, Vector3{ 0, 0, 0 }, Vector3{ 2, 2, 2 }, -1);
    b.vertCount = 0;
    b.faceCount = 0;
    for (int i = 0; i < 24; i++) {
        float a = 6.2831855f * i / 24.0f;
        BrushAddVert(&b, Vector3{ 2.0f * cosf(a), 0.0f, 2.0f * sinf(a) });
    }
    int top = BrushAddVert(&b, Vector3{ 0, 2, 0 }), bottom = BrushAddVert(&b, Vector3{ 0, -2, 0 });
    for (int i = 0; i < 24; i++) {
        int j = (i + 1) % 24;
        int up[3] = { i, top, j }, down[3] = { i, j, bottom };
        BrushAddFace(&b, up, 3, -1);
        BrushAddFace(&b, down, 3, -1);
    }
    BrushFixWinding(&b);
    return b;
}

Brush ExtrudedL(void)
{
    Brush b;
    BrushInit(&b, SHAPE_CUBE, Vector3{ 0, 0, 0 }, Vector3{ 2, 2, 2 }, -1);
    BrushExtrudeFace(&b, FaceFacing(b, Vector3{ 0, 1, 0 }), 4.0f);
    BrushExtrudeFace(&b, FaceFacing(b, Vector3{ 0, 0, 1 }, 1.0f), 4.0f);
    return b;
}

int FaceFacing(const Brush &brush, Vector3 n, float above)
{
    for (int f = 0; f < brush.faceCount; f++) {
        Vector3 d = Vector3Subtract(FaceNormalLocal(&brush, &brush.faces[f]), n);
        if (Vector3Length(d) < 0.001f && FaceCenterLocal(&brush, &brush.faces[f]).y > above) return f;
    }
    return -1;
}
