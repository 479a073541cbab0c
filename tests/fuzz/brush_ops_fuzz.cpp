// Random sequences of topology edits and cuts on the primitives; after every step the brush must
// be structurally valid and a refused operation must leave it byte for byte unchanged. A brush
// that was closed with simple faces must stay closed; welding may legitimately open it or pinch a
// face (pass through one vertex twice), and edits of a pinched brush promise nothing about seams.
// The plane shape is two-sided and flat (both faces on the same corners), so splitting both faces
// along one diagonal gives an edge four faces share: only its structure is checked. Extrude
// distances and planes are sometimes NaN, infinite, near the float limit or denormal, and no
// vertex may ever become non-finite.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "document/brush_geometry.h"
#include "document/clip.h"
#include "document/primitives.h"
#include "document/topology.h"

constexpr int kMaxSteps = 40;

struct ByteReader {
    const uint8_t *data;
    size_t size;
    size_t at;
};

static int Next(ByteReader *r)
{
    return r->at < r->size ? r->data[r->at++] : 0;
}

static float NextUnit(ByteReader *r)   // -1 .. 1
{
    return (float)Next(r) / 127.5f - 1.0f;
}

static float NextParam(ByteReader *r)   // NextUnit, or for the top 16 bytes an edge case
{
    static const float kSpecial[] = { NAN, INFINITY, -INFINITY, 3e38f, -3e38f, 1e-40f, -1e-40f, 0.0f };
    int b = Next(r);
    return b < 240 ? (float)b / 127.5f - 1.0f : kSpecial[b % 8];
}

static void Check(bool ok)
{
    if (!ok) __builtin_trap();
}

// Every index in range, 3..16 corners, no corner repeating its neighbour.
static bool Structural(const Brush *b)
{
    if (b->vertCount < 0 || b->vertCount > kMaxBrushVerts) return false;
    if (b->faceCount < 0 || b->faceCount > kMaxBrushFaces) return false;
    for (int f = 0; f < b->faceCount; f++) {
        const BrushFace *face = &b->faces[f];
        if (face->count < kMinFaceCorners || face->count > kMaxFaceCorners) return false;
        for (int k = 0; k < face->count; k++) {
            int a = face->indices[k], c = face->indices[(k + 1) % face->count];
            if (a < 0 || a >= b->vertCount || a == c) return false;
        }
    }
    return true;
}

static bool Finite(const Brush *b)
{
    return VertsAreFinite(b->verts, b->vertCount);
}

static bool Closed(const Brush *b)
{
    for (int f = 0; f < b->faceCount; f++)
        for (int k = 0; k < b->faces[f].count; k++)
            for (int j = k + 1; j < b->faces[f].count; j++)
                if (b->faces[f].indices[k] == b->faces[f].indices[j]) return false;
    static unsigned char uses[kMaxBrushVerts][kMaxBrushVerts];
    memset(uses, 0, sizeof(uses));
    for (int f = 0; f < b->faceCount; f++)
        for (int k = 0; k < b->faces[f].count; k++) {
            int a = b->faces[f].indices[k], c = b->faces[f].indices[(k + 1) % b->faces[f].count];
            if (uses[a][c] == 255) return false;
            uses[a][c]++;
        }
    for (int a = 0; a < b->vertCount; a++)
        for (int c = 0; c < b->vertCount; c++)
            if (uses[a][c] && (uses[a][c] != 1 || uses[c][a] != 1)) return false;
    return true;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static MapDoc map;
    static Brush before, front, back;
    ByteReader r = { data, size, 0 };
    memset(&map, 0, sizeof(map));
    map.brushCount = 1;
    Brush *b = &map.brushes[0];
    Vector3 extent = { 0.5f + Next(&r) / 32.0f, 0.5f + Next(&r) / 32.0f, 0.5f + Next(&r) / 32.0f };
    BrushInit(b, Next(&r) % kBrushShapeCount, Vector3{ NextUnit(&r), NextUnit(&r), NextUnit(&r) }, extent, -1);
    if (Next(&r) & 1) b->rotation = Vector3{ 180.0f * NextUnit(&r), 180.0f * NextUnit(&r), 180.0f * NextUnit(&r) };
    Check(Structural(b));
    bool flat = b->shape == SHAPE_PLANE;

    for (int step = 0; step < kMaxSteps && r.at < r.size; step++) {
        bool wasClosed = !flat && Closed(b);
        bool mayOpen = false;
        int ok = 1;
        memcpy(&before, b, sizeof(before));
        int vc = b->vertCount > 0 ? b->vertCount : 1, fc = b->faceCount > 0 ? b->faceCount : 1;
        switch (Next(&r) % 10) {
        case 0:
            BrushWeldVerts(b, Next(&r) / 512.0f);
            mayOpen = true;
            break;
        case 1: ok = BrushSplitEdge(b, Next(&r) % vc, Next(&r) % vc) >= 0; break;
        case 2: {
            int f = Next(&r) % fc;
            const BrushFace *face = &b->faces[f];
            int n = face->count > 0 ? face->count : 1;
            ok = BrushSplitFaceDiagonal(b, f, face->indices[Next(&r) % n], face->indices[Next(&r) % n]);
            break;
        }
        case 3: ok = BrushExtrudeFace(b, Next(&r) % fc, NextParam(&r)); break;
        case 4: ok = BrushFlip(b, Next(&r) % 4); break;
        case 5: ok = BrushSubdivideFace(b, Next(&r) % fc) > 0; break;
        case 6: ok = SubdivideBrush(&map, 0); break;
        case 7: {
            Vector3 n = { NextParam(&r), NextParam(&r), NextParam(&r) };
            int res = BrushClip(b, n, NextParam(&r), &front, &back);
            if (res & 1) Check(Structural(&front) && (!wasClosed || Closed(&front)) && Finite(&front));
            if (res & 2) Check(Structural(&back) && (!wasClosed || Closed(&back)) && Finite(&back));
            if (res == 3) memcpy(b, (Next(&r) & 1) ? &front : &back, sizeof(*b));
            ok = res == 3;
            break;
        }
        case 8: {
            ClipPlane plane = { Vector3Normalize(Vector3{ NextParam(&r), NextParam(&r), NextParam(&r) }), NextParam(&r),
                                Next(&r) % 3 };
            map.brushCount = 1;
            int res = ApplyClipPlanes(&map, 0, &plane, 1);
            Check(res >= 0 && res <= 2 && map.brushCount == (res == 2 ? 2 : 1));
            if (res == 2)
                Check(Structural(&map.brushes[1]) && (!wasClosed || Closed(&map.brushes[1])) && Finite(&map.brushes[1]));
            ok = res > 0;
            break;
        }
        default: {
            BoundingBox box = GetBrushBoundingBox(b);
            Ray ray = { Vector3{ box.min.x - 1.0f, NextUnit(&r), NextUnit(&r) }, Vector3{ 1, 0, 0 } };
            float d = -1.0f;
            RayBrushHit(ray, b, &d);
            break;
        }
        }
        if (!ok) Check(memcmp(b, &before, sizeof(before)) == 0);
        Check(Structural(b) && Finite(b));
        if (wasClosed && !mayOpen) Check(Closed(b));
    }
    return 0;
}
