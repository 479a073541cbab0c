// Face texture mapping: axis choice, World / Local / Fit coordinates, scale, offset, rotation, flips.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "document/brush_geometry.h"
#include "document/primitives.h"
#include "render/texture_mapping.h"

// A 2 x 2 x 2 cube at (10, 0, 0): local corners at +-1, so World and Local positions differ.
// Face 1 is the top (+Y) with corners 7 (-1,1,1), 6 (1,1,1), 5 (1,1,-1), 4 (-1,1,-1).
static Brush TopCube(int projection)
{
    Brush b;
    BrushInit(&b, SHAPE_CUBE, Vector3{ 10, 0, 0 }, Vector3{ 2, 2, 2 }, 0);
    BrushFace &f = b.faces[1];
    f.projection = (uint8_t)projection;
    f.uvScale[0] = f.uvScale[1] = 1.0f;
    return b;
}

static Vector2 CornerUV(const Brush &b, int face, int vertex)
{
    const BrushFace *f = &b.faces[face];
    Vector3 u, v;
    FaceTextureAxes(FaceUVNormal(&b, f), &u, &v);
    float minU = 0, rangeU = 1, minV = 0, rangeV = 1;
    if (f->projection == PROJ_FIT) FaceFitBounds(&b, f, u, v, &minU, &rangeU, &minV, &rangeV);
    return FaceVertexUV(&b, f, vertex, u, v, minU, rangeU, minV, rangeV);
}

#define EXPECT_UV(uv, eu, ev)              \
    do {                                   \
        Vector2 got_ = (uv);               \
        EXPECT_NEAR(got_.x, (eu), 1e-4f);  \
        EXPECT_NEAR(got_.y, (ev), 1e-4f);  \
    } while (0)

TEST(FaceTextureAxes, FloorsWallsAndTies)
{
    Vector3 u, v;
    FaceTextureAxes(Vector3{ 0, -1, 0 }, &u, &v);
    EXPECT_EQ(u.x, 1.0f); EXPECT_EQ(v.z, 1.0f);
    float h = 1.0f / sqrtf(2.0f);
    FaceTextureAxes(Vector3{ h, 0, h }, &u, &v);           // ax == az: an X wall
    EXPECT_EQ(u.z, 1.0f); EXPECT_EQ(v.y, 1.0f);
    FaceTextureAxes(Vector3{ h, h, 0 }, &u, &v);           // ay == ax: a floor
    EXPECT_EQ(u.x, 1.0f); EXPECT_EQ(v.z, 1.0f);
    FaceTextureAxes(Vector3{ 0.1f, 0.2f, -0.9f }, &u, &v); // a Z wall
    EXPECT_EQ(u.x, 1.0f); EXPECT_EQ(v.y, 1.0f);
}

TEST(FaceUV, WorldAndLocalPositionsScaleAndOffset)
{
    Brush w = TopCube(PROJ_WORLD);
    EXPECT_UV(CornerUV(w, 1, 7), 9.0f, 1.0f);              // world (9, 1, 1)
    w.faces[1].uvScale[0] = w.faces[1].uvScale[1] = 2.0f;  // units per repeat: divides
    w.faces[1].uvOffset[0] = 0.25f;
    w.faces[1].uvOffset[1] = 0.5f;
    EXPECT_UV(CornerUV(w, 1, 7), 4.75f, 1.0f);

    Brush l = TopCube(PROJ_LOCAL);
    l.faces[1].uvScale[0] = l.faces[1].uvScale[1] = 2.0f;
    EXPECT_UV(CornerUV(l, 1, 7), -0.5f, 0.5f);             // local (-1, 1, 1)
    l.origin = Vector3{ 50, 3, 7 };                        // moving the brush keeps Local coordinates
    EXPECT_UV(CornerUV(l, 1, 7), -0.5f, 0.5f);
}

TEST(FaceUV, TinyScaleCountsAsOneAndNegativeScaleMirrors)
{
    Brush b = TopCube(PROJ_LOCAL);
    b.faces[1].uvScale[0] = 0.0f;
    b.faces[1].uvScale[1] = 0.00005f;
    EXPECT_UV(CornerUV(b, 1, 6), 1.0f, 1.0f);
    b.faces[1].uvScale[0] = -2.0f;
    EXPECT_UV(CornerUV(b, 1, 6), -0.5f, 1.0f);
}

TEST(FaceUV, RotationAndFlipsInWorldMode)
{
    Brush b = TopCube(PROJ_WORLD);
    b.faces[1].uvRotation = 90.0f;                         // (u, v) = (9, 1) turns to (-1, 9)
    EXPECT_UV(CornerUV(b, 1, 7), -1.0f, 9.0f);
    b.faces[1].uvRotation = 0.0f;
    b.faces[1].uvScale[0] = 2.0f;
    b.faces[1].uvOffset[0] = 0.25f;
    b.faces[1].flipU = 1;                                  // negated before scale; offset not mirrored
    EXPECT_UV(CornerUV(b, 1, 7), -4.25f, 1.0f);
    b.faces[1].flipV = 1;
    EXPECT_UV(CornerUV(b, 1, 7), -4.25f, -1.0f);
}

TEST(FaceUV, RotatedBrushTurnsWorldAxesButNotLocalOnes)
{
    Brush b;
    BrushInit(&b, SHAPE_CUBE, Vector3{ 0, 0, 0 }, Vector3{ 2, 2, 2 }, 0);
    b.rotation = Vector3{ 0, 90, 0 };                      // face 4 (+X) now faces along Z
    Vector3 u, v;
    FaceTextureAxes(FaceUVNormal(&b, &b.faces[4]), &u, &v);
    EXPECT_NEAR(u.x, 1.0f, 1e-6f);                         // a Z wall: U along X
    b.faces[4].projection = PROJ_LOCAL;
    FaceTextureAxes(FaceUVNormal(&b, &b.faces[4]), &u, &v);
    EXPECT_NEAR(u.z, 1.0f, 1e-6f);                         // still the X wall of its own frame
}

TEST(FaceUV, FitSpansTheUnitSquareTimesRepeats)
{
    Brush b = TopCube(PROJ_FIT);
    b.origin = Vector3{ 0, 0, 0 };
    EXPECT_UV(CornerUV(b, 1, 7), 0.0f, 1.0f);
    EXPECT_UV(CornerUV(b, 1, 5), 1.0f, 0.0f);
    b.faces[1].uvScale[0] = b.faces[1].uvScale[1] = 2.0f; // repeats across the face: multiplies
    b.faces[1].uvOffset[0] = 0.5f;
    EXPECT_UV(CornerUV(b, 1, 6), 2.5f, 2.0f);
}

TEST(FaceUV, FitRotationAndFlipsStayInsideTheSquare)
{
    Brush b = TopCube(PROJ_FIT);
    b.faces[1].uvRotation = 90.0f;                         // (s, t) = (1, 0) turns about the middle to (1, 1)
    EXPECT_UV(CornerUV(b, 1, 5), 1.0f, 1.0f);
    b.faces[1].uvRotation = 0.0f;
    b.faces[1].flipU = 1;                                  // mirrored: s = 1 - s
    EXPECT_UV(CornerUV(b, 1, 7), 1.0f, 1.0f);
    b.faces[1].flipV = 1;
    EXPECT_UV(CornerUV(b, 1, 7), 1.0f, 0.0f);
    b.faces[1].flipU = b.faces[1].flipV = 0;               // twice flipped is unflipped
    EXPECT_UV(CornerUV(b, 1, 7), 0.0f, 1.0f);
}

TEST(FaceFitBounds, SliverGetsRangeOne)
{
    Brush b;
    memset(&b, 0, sizeof(b));
    b.vertCount = 3;
    b.verts[0] = Vector3{ 0, 0, 0 };
    b.verts[1] = Vector3{ 0, 0, 1 };
    b.verts[2] = Vector3{ 0, 0, 2 };
    const int corners[3] = { 0, 1, 2 };
    BrushAddFace(&b, corners, 3, 0);
    b.faces[0].projection = PROJ_FIT;
    Vector3 u, v;
    FaceTextureAxes(FaceUVNormal(&b, &b.faces[0]), &u, &v);   // no area: treated as a floor
    float minU, rangeU, minV, rangeV;
    FaceFitBounds(&b, &b.faces[0], u, v, &minU, &rangeU, &minV, &rangeV);
    EXPECT_EQ(rangeU, 1.0f);
    EXPECT_EQ(minV, 0.0f);
    EXPECT_EQ(rangeV, 2.0f);
    Vector2 uv = FaceVertexUV(&b, &b.faces[0], 2, u, v, minU, rangeU, minV, rangeV);
    EXPECT_TRUE(std::isfinite(uv.x) && std::isfinite(uv.y));
}
