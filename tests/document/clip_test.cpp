// Brush clipping: cuts, caps, placement, capacity refusals, strokes, arcs and map application.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "document/brush_geometry.h"
#include "document/clip.h"
#include "document/primitives.h"
#include "document/topology.h"
#include "support/brush_check.h"

static Brush Shape(int shape, Vector3 size = Vector3{ 2, 2, 2 }, Vector3 origin = Vector3{ 0, 0, 0 })
{
    Brush b;
    BrushInit(&b, shape, origin, size, -1);
    return b;
}

static bool PlaneIsFinite(const ClipPlane &p)
{
    return VertsAreFinite(&p.normal, 1) && std::isfinite(p.dist);
}

static MapDoc *FreshMap()
{
    static MapDoc map;
    memset(&map, 0, sizeof(map));
    return &map;
}

// A 16-sided column of four rings with 8-corner side faces: 64 vertices, 18 faces.
static Brush Tower16()
{
    Brush b = Shape(SHAPE_CUBE);
    b.vertCount = 0;
    b.faceCount = 0;
    for (int ring = 0; ring < 4; ring++)
        for (int i = 0; i < 16; i++) {
            float a = 6.2831855f * i / 16.0f;
            BrushAddVert(&b, Vector3{ cosf(a), -1.5f + ring, sinf(a) });
        }
    for (int i = 0; i < 16; i++) {
        int j = (i + 1) % 16;
        int side[8] = { i, j, j + 16, j + 32, j + 48, i + 48, i + 32, i + 16 };
        BrushAddFace(&b, side, 8, -1);
    }
    int top[16], bottom[16];
    for (int i = 0; i < 16; i++) top[i] = 48 + i, bottom[i] = 15 - i;
    BrushAddFace(&b, top, 16, -1);
    BrushAddFace(&b, bottom, 16, -1);
    BrushFixWinding(&b);
    return b;
}

TEST(ClipBrush, BoxThroughMiddle)
{
    Brush b = Shape(SHAPE_CUBE, Vector3{ 1, 1, 1 }), front, back;
    ASSERT_EQ(BrushClip(&b, Vector3{ 1, 0, 0 }, 0.0f, &front, &back), 3);
    for (const Brush *p : { &front, &back }) {
        EXPECT_EQ(p->vertCount, 8);
        EXPECT_EQ(p->faceCount, 6);
        EXPECT_TRUE(BrushIsValid(*p));
        EXPECT_NEAR(BrushVolume(*p), 0.5, 1e-5);
    }
    for (int i = 0; i < front.vertCount; i++) EXPECT_GE(front.verts[i].x, 0.0f);
    // Either output may be left out.
    EXPECT_EQ(BrushClip(&b, Vector3{ 2, 0, 0 }, 0.0f, nullptr, &back), 2);
    EXPECT_EQ(BrushClip(&b, Vector3{ 1, 0, 0 }, 0.0f, &front, nullptr), 1);
}

TEST(ClipBrush, TouchingPlaneCopiesWithoutCutting)
{
    Brush b = Shape(SHAPE_CUBE), out;
    b.hidden = 1;
    EXPECT_EQ(BrushClip(&b, Vector3{ 0, 1, 0 }, 1.0002f, nullptr, &out), 2);
    EXPECT_EQ(memcmp(&out, &b, sizeof(b)), 0);
    EXPECT_EQ(BrushClip(&b, Vector3{ 0, 1, 0 }, -1.0f, &out, nullptr), 1);
    Brush plane = Shape(SHAPE_PLANE);   // two faces: never cut
    EXPECT_EQ(BrushClip(&plane, Vector3{ 1, 0, 0 }, 0.0f, &out, &out), 0);

    MapDoc *map = FreshMap();
    map->brushCount = 1;
    map->brushes[0] = b;
    ClipPlane planes[2] = { { Vector3{ 0, 1, 0 }, 1.0f, CLIP_KEEP_BOTH }, { Vector3{ 1, 0, 0 }, -1.0f, CLIP_KEEP_BACK } };
    static MapDoc before;
    before = *map;
    EXPECT_EQ(ApplyClipPlanes(map, 0, planes, 2), 0);
    EXPECT_EQ(memcmp(map, &before, sizeof(before)), 0);
}

TEST(ClipBrush, CutThroughCornersReusesVertices)
{
    Brush b = Shape(SHAPE_CUBE), front, back;
    Vector3 n = Vector3Normalize(Vector3{ 1, 1, 1 });
    ASSERT_EQ(BrushClip(&b, n, Vector3DotProduct(n, Vector3{ 1, 1, -1 }), &front, &back), 3);
    EXPECT_EQ(front.vertCount, 4);   // the corner (1, 1, 1) and three existing corners
    EXPECT_EQ(front.faceCount, 4);
    EXPECT_EQ(back.vertCount, 7);
    EXPECT_EQ(back.faceCount, 7);
    for (int i = 0; i < front.vertCount; i++) {
        EXPECT_FLOAT_EQ(fabsf(front.verts[i].x), 1.0f);
        EXPECT_FLOAT_EQ(fabsf(front.verts[i].z), 1.0f);
    }
    EXPECT_TRUE(BrushIsValid(front));
    EXPECT_TRUE(BrushIsValid(back));
    EXPECT_NEAR(BrushVolume(front) + BrushVolume(back), 8.0, 1e-4);
}

TEST(ClipBrush, KeepsEveryFacePlacement)
{
    Brush b = Shape(SHAPE_CUBE), front, back;
    strcpy(b.name, "Crate");
    b.texture = 7;
    b.hidden = 1;
    for (int f = 0; f < b.faceCount; f++) {
        BrushFace &face = b.faces[f];
        face.texture = 10 + f;
        face.uvScale[0] = 1.0f + f, face.uvScale[1] = 0.5f;
        face.uvOffset[0] = 0.25f * f, face.uvOffset[1] = -0.5f;
        face.uvRotation = 15.0f * f;
        face.projection = (uint8_t)(f % 3);
        face.flipU = (uint8_t)(f & 1), face.flipV = 1;
        face.tint = Color{ (unsigned char)(40 * f), 20, 30, 200 };
    }
    ASSERT_EQ(BrushClip(&b, Vector3{ 1, 0, 0 }, 0.3f, &front, &back), 3);
    EXPECT_STREQ(front.name, "Crate");
    EXPECT_EQ(front.hidden, 0);
    EXPECT_EQ(front.texture, 7);
    // Surviving faces keep their order, then the cap; each matches its source by normal.
    for (const Brush *p : { &front, &back }) {
        ASSERT_EQ(p->faceCount, 6);
        for (int f = 0; f < 5; f++) {
            const BrushFace &got = p->faces[f];
            Vector3 n = FaceNormalLocal(p, &got);
            int src = -1;
            for (int g = 0; g < b.faceCount; g++)
                if (Vector3DotProduct(n, FaceNormalLocal(&b, &b.faces[g])) > 0.99f) src = g;
            ASSERT_GE(src, 0);
            const BrushFace &want = b.faces[src];
            EXPECT_EQ(got.texture, want.texture);
            EXPECT_EQ(memcmp(got.uvScale, want.uvScale, sizeof(want.uvScale)), 0);
            EXPECT_EQ(memcmp(got.uvOffset, want.uvOffset, sizeof(want.uvOffset)), 0);
            EXPECT_EQ(got.uvRotation, want.uvRotation);
            EXPECT_EQ(got.projection, want.projection);
            EXPECT_EQ(got.flipU, want.flipU);
            EXPECT_EQ(got.flipV, want.flipV);
            EXPECT_EQ(memcmp(&got.tint, &want.tint, sizeof(Color)), 0);
        }
        const BrushFace &cap = p->faces[5];
        EXPECT_EQ(cap.texture, 7);
        EXPECT_EQ(cap.uvScale[0], b.faces[0].uvScale[0]);
        EXPECT_EQ(cap.uvOffset[0], b.faces[0].uvOffset[0]);
        EXPECT_EQ(cap.uvRotation, 0.0f);
    }
}

TEST(ClipBrush, LongCapRingBecomesSeveralFaces)
{
    // A near-vertical cut close to the middle of a default sphere meets up to 18 edges.
    Brush s = Shape(SHAPE_SPHERE), front, back;
    Vector3 n = Vector3Normalize(Vector3{ -0.94f, 0.07f, 0.34f });
    int best = 0;
    for (float d = 0.0f; d <= 0.3f; d += 0.02f) {
        ASSERT_EQ(BrushClip(&s, n, d, &front, &back), 3);
        EXPECT_TRUE(BrushIsValid(front));
        EXPECT_TRUE(BrushIsValid(back));
        EXPECT_NEAR(BrushVolume(front) + BrushVolume(back), BrushVolume(s), 1e-4);
        int onPlane = 0;
        for (int i = 0; i < front.vertCount; i++)
            if (fabsf(Vector3DotProduct(n, front.verts[i]) - d) < 0.001f) onPlane++;
        if (onPlane > best) best = onPlane;
    }
    EXPECT_GT(best, 16);
}

TEST(ClipBrush, LongClippedFaceBecomesSeveralFaces)
{
    // Cutting the 16-corner top of a column off at one rim point leaves 17 corners on the top.
    Brush t = Tower16(), front, back;
    ASSERT_TRUE(BrushIsValid(t));
    Vector3 n = Vector3Normalize(Vector3{ 1, 1, 0 });
    float d = Vector3DotProduct(n, Vector3{ 1, 1.5f, 0 }) - 0.05f;
    ASSERT_EQ(BrushClip(&t, n, d, &front, &back), 1);   // the back part needs 66 vertices
    EXPECT_TRUE(BrushIsValid(front));

    Brush p = Prism16();
    n = Vector3Normalize(Vector3{ 1, 1, 0 });
    d = Vector3DotProduct(n, Vector3{ 1, 1, 0 }) - 0.05f;
    ASSERT_EQ(BrushClip(&p, n, d, &front, &back), 3);
    EXPECT_TRUE(BrushIsValid(back));
    EXPECT_EQ(back.faceCount, 20);   // 16 sides, top in two pieces, bottom, cap
    EXPECT_NEAR(BrushVolume(front) + BrushVolume(back), BrushVolume(p), 1e-4);
}

TEST(ClipBrush, CollinearCapRunsSplitIntoPiecesWithArea)
{
    // A three-sided prism with 6 vertical edges per side, top and bottom in two halves each: a
    // tilted cut makes an 18-corner cap whose sides are runs of 7 collinear points.
    Brush p = Shape(SHAPE_CUBE), front, back;
    p.vertCount = p.faceCount = 0;
    for (int i = 0; i < 36; i++) {
        float a = 2.0943952f * ((i % 18) / 6), b = a + 2.0943952f, t = (i % 6) / 6.0f;
        float y = i < 18 ? -1.0f : 1.0f;
        BrushAddVert(&p, Vector3{ (1 - t) * cosf(a) + t * cosf(b), y, (1 - t) * sinf(a) + t * sinf(b) });
    }
    for (int i = 0; i < 18; i++) {
        int side[4] = { i, (i + 1) % 18, (i + 1) % 18 + 18, i + 18 };
        BrushAddFace(&p, side, 4, -1);
    }
    for (int h = 0; h < 4; h++) {
        int half[10];
        for (int k = 0; k < 10; k++) half[k] = h / 2 * 18 + (k + h % 2 * 9) % 18;
        BrushAddFace(&p, half, 10, -1);
    }
    BrushFixWinding(&p);
    for (int t = 0; t < 20; t++) {
        Vector3 n = Vector3Normalize(Vector3{ 0.05f * sinf(t * 1.3f), 1, 0.05f * cosf(t * 0.7f) });
        ASSERT_EQ(BrushClip(&p, n, 0.1f * sinf(t * 0.37f), &front, &back), 3);
        for (const Brush *part : { &front, &back }) {
            EXPECT_TRUE(BrushIsValid(*part));
            for (int f = 0; f < part->faceCount; f++)
                EXPECT_TRUE(FaceHasArea(part, &part->faces[f]) && FacePlanarError(part, &part->faces[f]) < 1e-4f);
        }
        EXPECT_NEAR(BrushVolume(front) + BrushVolume(back), BrushVolume(p), 1e-4);
    }
}

TEST(ClipBrush, FullFaceTableRefusesThePart)
{
    // A cube whose top was pulled out ten times and two quads split: 48 faces.
    Brush b = Shape(SHAPE_CUBE), front, back;
    for (int i = 0; i < 10; i++) ASSERT_EQ(BrushExtrudeFace(&b, 1, 0.5f), 1);
    ASSERT_EQ(BrushSplitFaceDiagonal(&b, 0, 1, 3), 1);
    ASSERT_EQ(BrushSplitFaceDiagonal(&b, 4, 5, 2), 1);
    ASSERT_EQ(b.faceCount, 48);
    ASSERT_TRUE(BrushIsValid(b));
    Vector3 n = Vector3Normalize(Vector3{ -1, -1, -1 });
    float d = Vector3DotProduct(n, Vector3{ -1, -1, -1 }) - 0.1f;
    // The corner comes off, but the rest would need a 49th face.
    EXPECT_EQ(BrushClip(&b, n, d, &front, &back), 1);

    MapDoc *map = FreshMap();
    map->brushCount = 1;
    map->brushes[0] = b;
    static MapDoc before;
    before = *map;
    ClipPlane plane = { n, d, CLIP_KEEP_BOTH };
    int refusal = CLIP_MISSED;
    EXPECT_EQ(ApplyClipPlanes(map, 0, &plane, 1, &refusal), 0);
    EXPECT_EQ(refusal, CLIP_PAST_LIMITS);
    EXPECT_EQ(memcmp(map, &before, sizeof(before)), 0);
    plane.keep = CLIP_KEEP_FRONT;   // only the kept part must fit: the corner alone does
    ASSERT_EQ(ApplyClipPlanes(map, 0, &plane, 1), 1);
    EXPECT_EQ(map->brushes[0].faceCount, 4);
}

TEST(ClipApply, KeepBothNamesPiecesAndRefusesWithoutRoom)
{
    MapDoc *map = FreshMap();
    map->brushCount = 3;
    for (int i = 0; i < 3; i++) map->brushes[i] = Shape(SHAPE_CUBE, Vector3{ 2, 2, 2 }, Vector3{ 10.0f * i, 0, 0 });
    strcpy(map->brushes[1].name, "Wall");
    ClipPlane planes[2] = { { Vector3{ 1, 0, 0 }, 10.0f, CLIP_KEEP_BOTH }, { Vector3{ 0, 0, 1 }, 0.5f, CLIP_KEEP_BOTH } };
    ASSERT_EQ(ApplyClipPlanes(map, 1, planes, 2), 3);
    EXPECT_EQ(map->brushCount, 5);
    EXPECT_STREQ(map->brushes[1].name, "Wall");
    EXPECT_STREQ(map->brushes[3].name, "Cut_3");
    EXPECT_STREQ(map->brushes[4].name, "Cut_4");
    double total = 0;
    for (int i = 1; i < 5; i++) {
        if (i == 2) continue;
        EXPECT_TRUE(BrushIsValid(map->brushes[i]));
        total += BrushVolume(map->brushes[i]);
    }
    EXPECT_NEAR(total, 8.0, 1e-4);
    // Later planes cut only the kept front part: the first piece stays whole.
    EXPECT_NEAR(BrushVolume(map->brushes[3]), 4.0, 1e-4);

    // One free slot but two back parts to keep: nothing changes.
    map->brushCount = kMaxBrushes - 1;
    for (int i = 5; i < map->brushCount; i++) map->brushes[i] = Shape(SHAPE_CUBE);
    static MapDoc before;
    before = *map;
    EXPECT_EQ(ApplyClipPlanes(map, 0, planes + 0, 1), 0);   // plane x = 10 misses brush 0
    planes[0].dist = 0.0f;
    EXPECT_EQ(ApplyClipPlanes(map, 0, planes, 2), 0);
    EXPECT_EQ(memcmp(map, &before, sizeof(before)), 0);
    EXPECT_EQ(ApplyClipPlanes(map, 0, planes, 1), 2);      // one back part fits
    EXPECT_EQ(map->brushCount, kMaxBrushes);
    EXPECT_EQ(ApplyClipPlanes(map, -1, planes, 1), 0);
    EXPECT_EQ(ApplyClipPlanes(map, kMaxBrushes, planes, 1), 0);
    EXPECT_EQ(ApplyClipPlanes(map, 0, planes, 0), 0);
}

TEST(ClipApply, KeepFrontAndBack)
{
    MapDoc *map = FreshMap();
    map->brushCount = 1;
    map->brushes[0] = Shape(SHAPE_CUBE);
    ClipPlane back = { Vector3{ 0, 1, 0 }, 0.5f, CLIP_KEEP_BACK };
    ASSERT_EQ(ApplyClipPlanes(map, 0, &back, 1), 1);
    EXPECT_NEAR(BrushVolume(map->brushes[0]), 6.0, 1e-4);
    ClipPlane front = { Vector3{ 0, 1, 0 }, 0.0f, CLIP_KEEP_FRONT };
    ASSERT_EQ(ApplyClipPlanes(map, 0, &front, 1), 1);
    EXPECT_NEAR(BrushVolume(map->brushes[0]), 2.0, 1e-4);
    EXPECT_EQ(map->brushCount, 1);
}

TEST(ClipApply, RotatedBrushCutAlongTheSameWorldPlane)
{
    MapDoc *map = FreshMap();
    map->brushCount = 2;
    map->brushes[0] = Shape(SHAPE_CUBE, Vector3{ 2, 2, 2 }, Vector3{ 3, 1, 0 });
    map->brushes[1] = map->brushes[0];
    map->brushes[1].rotation = Vector3{ 0, 90, 0 };   // the same box turned onto itself
    ClipPlane plane = { Vector3Normalize(Vector3{ 1, 0.5f, 0 }), 3.2f, CLIP_KEEP_FRONT };
    ASSERT_EQ(ApplyClipPlanes(map, 0, &plane, 1), 1);
    ASSERT_EQ(ApplyClipPlanes(map, 1, &plane, 1), 1);
    EXPECT_TRUE(BrushIsValid(map->brushes[1]));
    EXPECT_NEAR(BrushVolume(map->brushes[0]), BrushVolume(map->brushes[1]), 1e-4);
    for (int i = 0; i < map->brushes[1].vertCount; i++) {
        Vector3 w = BrushVertWorld(&map->brushes[1], i);
        EXPECT_GE(Vector3DotProduct(plane.normal, w) - plane.dist, -0.001f);
    }
}

// Which brushes count as convex, whichever way their faces are wound: bent faces and float noise
// of a convex brush do not make it concave.
TEST(ClipConvex, ConvexBrushesAndTheL)
{
    Brush inward = Shape(SHAPE_CUBE), bent = Shape(SHAPE_CUBE), dented = Shape(SHAPE_CUBE);
    for (int f = 0; f < inward.faceCount; f++) FaceReverse(&inward.faces[f]);
    bent.verts[6].y += 0.1f;     // a top corner raised: the top face is bent
    dented.verts[6].y -= 0.3f;   // a top corner pushed down: the top folds inward along its diagonal
    Brush bump = Shape(SHAPE_CUBE), dent = Shape(SHAPE_CUBE);
    int mid = BrushSplitEdge(&bump, 4, 5);   // the top's -Z edge gets a middle vertex, lifted and lowered
    BrushSplitEdge(&dent, 4, 5);
    bump.verts[mid].y += 0.5f;
    dent.verts[mid].y -= 0.5f;
    Brush sliver = Shape(SHAPE_CUBE);
    sliver.verts[mid = BrushSplitEdge(&sliver, 4, 5)].y -= 2e-4f;   // within the slack: still convex
    const struct {
        const char *name;
        Brush brush;
        int convex;
    } cases[] = {
        { "cube", Shape(SHAPE_CUBE), 1 },      { "cube all inward", inward, 1 },
        { "sphere", Shape(SHAPE_SPHERE), 1 },  { "wedge", Shape(SHAPE_WEDGE), 1 },
        { "bent top", bent, 1 },               { "folded top", dented, 1 },
        { "ridge", bump, 1 },                  { "groove", dent, 0 },
        { "nearly flat groove", sliver, 1 },   { "L", ExtrudedL(), 0 },
        { "far from the origin", Shape(SHAPE_CYLINDER, Vector3{ 3, 5, 3 }, Vector3{ 9e4f, 0, -9e4f }), 1 },
    };
    for (const auto &c : cases) EXPECT_EQ(BrushIsConvex(&c.brush), c.convex) << c.name;
}

// A cut through both legs of the L is refused as a brush that is not convex, by BrushClip and
// by ApplyClipPlanes, and the map stays as it was; a plane beside it is still a miss.
TEST(ClipApply, RefusesTheLAsNotConvex)
{
    Brush ell = ExtrudedL(), front, back;
    int refusal = CLIP_MISSED;
    EXPECT_EQ(BrushClip(&ell, Vector3{ 1, 0, 0 }, 0.5f, &front, &back, &refusal), 0);
    EXPECT_EQ(refusal, CLIP_NOT_CONVEX);
    EXPECT_EQ(BrushClip(&ell, Vector3{ 1, 0, 0 }, 1.5f, &front, &back, &refusal), 2);
    EXPECT_EQ(refusal, CLIP_MISSED);

    MapDoc *map = FreshMap();
    map->brushCount = 1;
    map->brushes[0] = ell;
    map->brushes[0].origin = Vector3{ 10, 0, 0 };
    static MapDoc before;
    before = *map;
    ClipPlane planes[2] = { { Vector3{ 1, 0, 0 }, 30.0f, CLIP_KEEP_BOTH }, { Vector3{ 1, 0, 0 }, 10.5f, CLIP_KEEP_FRONT } };
    for (int count : { 1, 2 }) {
        EXPECT_EQ(ApplyClipPlanes(map, 0, planes, count, &refusal), 0);
        EXPECT_EQ(refusal, count == 1 ? CLIP_MISSED : CLIP_NOT_CONVEX);
        EXPECT_EQ(memcmp(map, &before, sizeof(before)), 0);
    }
}

TEST(ClipStroke, StraightAndArcPlanes)
{
    ClipPlane planes[32];
    ClipStroke line = { Vector3{ 0, 0, 0 }, Vector3{ 4, 0, 0 }, 0.0f, 6, 0, CLIP_KEEP_BACK, VIEW_TOP };
    ASSERT_EQ(ClipStrokeToPlanes(&line, planes, 32), 1);
    EXPECT_NEAR(fabsf(planes[0].normal.z), 1.0f, 1e-6f);
    EXPECT_EQ(planes[0].keep, CLIP_KEEP_BACK);

    // Bulge under 0.002 of the chord: six identical straight planes, and only the first cuts.
    ClipStroke flat = line;
    flat.arc = 1;
    flat.bulge = 0.007f;
    ASSERT_EQ(ClipStrokeToPlanes(&flat, planes, 32), 6);
    for (int i = 1; i < 6; i++) {
        EXPECT_NEAR(Vector3DotProduct(planes[i].normal, planes[0].normal), 1.0f, 1e-5f);
        EXPECT_NEAR(planes[i].dist, planes[0].dist, 1e-5f);
    }
    MapDoc *map = FreshMap();
    map->brushCount = 1;
    map->brushes[0] = Shape(SHAPE_CUBE, Vector3{ 2, 2, 2 }, Vector3{ 2, 0, 0 });
    EXPECT_EQ(ApplyClipPlanes(map, 0, planes, 6), 1);

    ClipStroke arc = line;
    arc.arc = 1;
    arc.bulge = 1.5f;
    Vector3 pts[17];
    ASSERT_EQ(ClipArcPoints(arc.start, arc.end, arc.bulge, arc.view, 6, pts, 17), 7);
    ASSERT_EQ(ClipStrokeToPlanes(&arc, planes, 32), 6);
    for (int i = 0; i < 6; i++) {
        EXPECT_NEAR(Vector3DotProduct(planes[i].normal, pts[i]) - planes[i].dist, 0.0f, 1e-4f);
        EXPECT_NEAR(Vector3DotProduct(planes[i].normal, pts[i + 1]) - planes[i].dist, 0.0f, 1e-4f);
        EXPECT_NEAR(planes[i].normal.y, 0.0f, 1e-6f);   // vertical in the top view
    }
    EXPECT_EQ(ClipStrokeToPlanes(&arc, planes, 4), 4);
}

TEST(ClipArc, MiddleLiesBulgeFromTheChord)
{
    Vector3 a = { 1, 0, 2 }, b = { 5, 0, 2 };
    // perp = normalize(cross(dir, axis)) = cross(+X, +Y) = +Z in the top view.
    for (float bulge : { 0.5f, -0.5f, 1.0f, 2.0f, -3.0f }) {
        Vector3 pts[17];
        ASSERT_EQ(ClipArcPoints(a, b, bulge, VIEW_TOP, 8, pts, 17), 9);
        EXPECT_NEAR(pts[0].x, 1.0f, 1e-4f);
        EXPECT_NEAR(pts[8].x, 5.0f, 1e-4f);
        EXPECT_NEAR(pts[8].z, 2.0f, 1e-4f);
        EXPECT_NEAR(pts[4].x, 3.0f, 1e-4f);
        EXPECT_NEAR(pts[4].z, 2.0f + bulge, 1e-4f);
        float r = (4.0f + bulge * bulge) / (2.0f * fabsf(bulge));
        Vector3 centre = { 3.0f, 0.0f, 2.0f + bulge - (bulge > 0 ? r : -r) };
        for (int i = 0; i < 9; i++) EXPECT_NEAR(Vector3Distance(pts[i], centre), r, 1e-4f);
    }
    Vector3 pts[4];
    EXPECT_EQ(ClipArcPoints(a, b, 1.0f, VIEW_3D, 3, pts, 4), 0);
    EXPECT_EQ(ClipArcPoints(a, a, 1.0f, VIEW_TOP, 3, pts, 4), 0);
    EXPECT_EQ(ClipArcPoints(a, b, 1.0f, VIEW_TOP, 9, pts, 4), 4);   // cut to the room given
    EXPECT_EQ(ClipArcPoints(a, b, 1.0f, VIEW_TOP, 0, pts, 4), 2);
    EXPECT_EQ(ClipArcPoints(a, b, 1.0f, VIEW_TOP, 3, pts, 1), 0);
}

TEST(ClipArc, PlaneFromDragPerView)
{
    Vector3 n;
    float d;
    ASSERT_EQ(ClipPlaneFromDrag(Vector3{ 0, 0, 1 }, Vector3{ 0, 2, 1 }, VIEW_SIDE, &n, &d), 1);
    EXPECT_NEAR(fabsf(n.z), 1.0f, 1e-6f);
    EXPECT_NEAR(d, n.z, 1e-6f);
    ASSERT_EQ(ClipPlaneFromDrag(Vector3{ 0, 0, 0 }, Vector3{ 1, 1, 0 }, VIEW_FRONT, &n, &d), 1);
    EXPECT_NEAR(n.z, 0.0f, 1e-6f);
    EXPECT_EQ(ClipPlaneFromDrag(Vector3{ 0, 0, 0 }, Vector3{ 0.0005f, 0, 0 }, VIEW_TOP, &n, &d), 0);
    EXPECT_EQ(ClipPlaneFromDrag(Vector3{ 0, 0, 0 }, Vector3{ 0, 3, 0 }, VIEW_TOP, &n, &d), 0);   // along the depth
    EXPECT_EQ(ClipPlaneFromDrag(Vector3{ 0, 0, 0 }, Vector3{ 3, 0, 0 }, VIEW_3D, &n, &d), 0);
}

TEST(ClipRing, SortsByAngleStably)
{
    Vector3 pts[5] = { { 1, 0, 0 }, { -1, 0, 0 }, { 0, 0, 1 }, { 0, 0, -1 }, { 2, 0, 0 } };
    SortCoplanarRing(pts, 5, Vector3{ 0, 1, 0 });
    // Equal angles ((1,0,0) and (2,0,0)) keep their order.
    int at1 = -1, at2 = -1;
    for (int i = 0; i < 5; i++) {
        if (pts[i].x == 1.0f) at1 = i;
        if (pts[i].x == 2.0f) at2 = i;
    }
    EXPECT_EQ(at2, at1 + 1);
    Vector3 two[2] = { { 1, 0, 0 }, { 0, 0, 1 } };
    SortCoplanarRing(two, 2, Vector3{ 0, 1, 0 });
    EXPECT_EQ(two[0].x, 1.0f);
}

TEST(ClipAddVertTest, ReusesNearbyAndReportsFull)
{
    Brush b = Shape(SHAPE_CUBE);
    EXPECT_EQ(ClipAddVert(&b, Vector3{ 1.001f, 1, 1 }), 6);
    EXPECT_EQ(ClipAddVert(&b, Vector3{ 0, 0, 0 }), 8);
    while (b.vertCount < kMaxBrushVerts) BrushAddVert(&b, Vector3{ 50.0f + b.vertCount, 0, 0 });
    EXPECT_EQ(ClipAddVert(&b, Vector3{ 0, 5, 0 }), -1);
}

// Random planes through each primitive, plain and rotated: both parts closed, outward and
// adding up to the whole. The plane shape has two faces and is never cut.
TEST(ClipProperty, RandomPlanesSplitVolume)
{
    std::mt19937 rng(1234);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    for (int shape = 0; shape < kBrushShapeCount; shape++) {
        Brush b = Shape(shape, Vector3{ 3, 2, 4 });
        double whole = BrushVolume(b);
        int cuts = 0, tries = 400;
        for (int t = 0; t < tries; t++) {
            Vector3 n = Vector3Normalize(Vector3{ unit(rng), unit(rng), unit(rng) });
            Vector3 p = { 1.4f * unit(rng), 0.9f * unit(rng), 1.9f * unit(rng) };
            Brush front, back;
            int r = BrushClip(&b, n, Vector3DotProduct(n, p), &front, &back);
            if (shape == SHAPE_PLANE) {
                EXPECT_EQ(r, 0);
                continue;
            }
            if (r != 3) continue;
            cuts++;
            ASSERT_TRUE(BrushIsValid(front)) << "shape " << shape << " try " << t;
            ASSERT_TRUE(BrushIsValid(back)) << "shape " << shape << " try " << t;
            EXPECT_NEAR(BrushVolume(front) + BrushVolume(back), whole, 2e-3 * whole) << "shape " << shape;
        }
        if (shape != SHAPE_PLANE) {
            EXPECT_GT(cuts, tries / 3) << "shape " << shape;
        }
    }

    MapDoc *map = FreshMap();
    for (int t = 0; t < 200; t++) {
        int shape = t % 4;
        map->brushCount = 1;
        map->brushes[0] = Shape(shape, Vector3{ 2, 3, 2 }, Vector3{ 5, 1, -2 });
        map->brushes[0].rotation = Vector3{ 180.0f * unit(rng), 180.0f * unit(rng), 180.0f * unit(rng) };
        double whole = BrushVolume(map->brushes[0]);
        Vector3 n = Vector3Normalize(Vector3{ unit(rng), unit(rng), unit(rng) });
        Vector3 p = { 5 + unit(rng), 1 + unit(rng), -2 + unit(rng) };
        ClipPlane plane = { n, Vector3DotProduct(n, p), CLIP_KEEP_BOTH };
        int r = ApplyClipPlanes(map, 0, &plane, 1);
        if (r == 0) continue;
        ASSERT_EQ(r, 2);
        ASSERT_TRUE(BrushIsValid(map->brushes[0]));
        ASSERT_TRUE(BrushIsValid(map->brushes[1]));
        EXPECT_NEAR(BrushVolume(map->brushes[0]) + BrushVolume(map->brushes[1]), whole, 2e-3 * whole);
        for (int i = 0; i < map->brushes[0].vertCount; i++)
            EXPECT_GE(Vector3DotProduct(n, BrushVertWorld(&map->brushes[0], i)) - plane.dist, -0.002f);
        for (int i = 0; i < map->brushes[1].vertCount; i++)
            EXPECT_LE(Vector3DotProduct(n, BrushVertWorld(&map->brushes[1], i)) - plane.dist, 0.002f);
    }
}

// Every edit and cut with parameters drawn from ordinary values, NaN, infinities, values near the
// float limit and denormals, on every primitive, on damaged brushes (a vertex already non-finite)
// and on brushes 6e38 tall (edges longer than any float): no vertex ever becomes non-finite, and
// a refused operation leaves the map byte for byte as it was.
TEST(ClipProperty, NonFiniteParametersNeverReachTheMap)
{
    std::mt19937 rng(99);
    std::uniform_real_distribution<float> unit(-2.0f, 2.0f);
    const float special[] = { NAN, INFINITY, -INFINITY, 3e38f, -3e38f, FLT_MAX, 1e-40f, -1e-40f, 0.0f };
    auto param = [&]() { return rng() % 2 ? unit(rng) : special[rng() % 9]; };
    auto point = [&]() { return Vector3{ param(), param(), param() }; };
    static MapDoc map;
    static Brush before[4], front, back;   // a cut keeping both parts adds at most 3 brushes here
    for (int run = 0; run < 400; run++) {
        memset(&map, 0, sizeof(map));
        Brush *b = &map.brushes[0];
        BrushInit(b, run % kBrushShapeCount, Vector3{ unit(rng), unit(rng), unit(rng) }, Vector3{ 2, 3, 2 }, -1);
        if (run % 8 == 6) b->verts[rng() % b->vertCount].y = special[rng() % 3];
        for (int i = 0; i < b->vertCount && run % 8 == 7; i++) b->verts[i].y *= 2e38f;
        for (int step = 0; step < 30; step++) {
            map.brushCount = 1;
            memcpy(before, map.brushes, sizeof(before));
            int vc = b->vertCount > 0 ? b->vertCount : 1, fc = b->faceCount > 0 ? b->faceCount : 1, ok = 0, np;
            ClipPlane planes[17];
            ClipStroke stroke = { point(), point(), param(), (int)(rng() % 17), (uint8_t)(rng() % 2), (int)(rng() % 3),
                                  1 + (int)(rng() % 3) };
            switch (rng() % 9) {
            case 0: ok = BrushWeldVerts(b, param()) > 0; break;
            case 1: ok = BrushSplitEdge(b, rng() % vc, rng() % vc) >= 0; break;
            case 2: ok = BrushSplitFaceDiagonal(b, rng() % fc, rng() % vc, rng() % vc); break;
            case 3: ok = BrushExtrudeFace(b, rng() % fc, rng() % 2 ? param() : 3e38f); break;
            case 4: ok = BrushFlip(b, rng() % 3); break;
            case 5: ok = BrushSubdivideFace(b, rng() % fc) > 0; break;
            case 6: ok = SubdivideBrush(&map, 0); break;
            case 7:
                if ((ok = BrushClip(b, point(), param(), &front, &back) == 3)) *b = rng() % 2 ? front : back;
                break;
            default:
                np = ClipStrokeToPlanes(&stroke, planes, 16);
                for (int i = 0; i < np; i++) ASSERT_TRUE(PlaneIsFinite(planes[i]));
                planes[np] = ClipPlane{ point(), param(), (int)(rng() % 3) };
                ok = ApplyClipPlanes(&map, 0, planes, np + 1) > 0;
                break;
            }
            for (int i = 0; i < map.brushCount && ok; i++)
                ASSERT_TRUE(VertsAreFinite(map.brushes[i].verts, map.brushes[i].vertCount)) << "run " << run;
            ASSERT_TRUE(ok || (map.brushCount == 1 && memcmp(before, map.brushes, sizeof(before)) == 0))
                << "run " << run << " step " << step;
        }
    }
}
