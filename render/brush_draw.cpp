// brush_draw.cpp: immediate-mode brush drawing.
#include "render/brush_draw.h"

#include "raymath.h"
#include "rlgl.h"
#include "document/brush_geometry.h"
#include "document/selection.h"
#include "project/assets.h"
#include "render/lights.h"
#include "render/texture_mapping.h"

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static void BindFaceTexture(unsigned int id);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
Texture2D BrushFaceTexture(const Brush *brush, const BrushFace *face)
{
    int index = (face->texture >= 0) ? face->texture : brush->texture;
    if (!AssetTextureUsable(index)) return Texture2D{ 0, 0, 0, 0, 0 };
    return gAssets.textures[index].texture;
}

Color FaceDrawColour(Color colour, Color tint)
{
    return Color{ (unsigned char)(colour.r * tint.r / 255), (unsigned char)(colour.g * tint.g / 255),
                  (unsigned char)(colour.b * tint.b / 255), colour.a };
}

int BrushTextureBatches(const Brush *brush, int *order, int *groupStart)
{
    bool emitted[kMaxBrushFaces] = {};
    unsigned int ids[kMaxBrushFaces];
    int faces = ClampCount(brush->faceCount, kMaxBrushFaces);
    for (int i = 0; i < faces; i++) ids[i] = BrushFaceTexture(brush, &brush->faces[i]).id;
    int n = 0, groups = 0;
    for (int i = 0; i < faces; i++) {
        if (emitted[i]) continue;
        groupStart[groups++] = n;
        for (int j = i; j < faces; j++) {
            if (emitted[j] || ids[j] != ids[i]) continue;
            emitted[j] = true;
            order[n++] = j;
        }
    }
    return groups;
}

void EmitFace(const Brush *brush, const BrushFace *face, Color colour, bool shade)
{
    int count = FaceCornerCount(face);
    if (count < kMinFaceCorners) return;
    Vector3 normal = FaceNormalWorld(brush, face);
    Vector3 world[kMaxFaceCorners];
    Vector3 centre = { 0.0f, 0.0f, 0.0f };
    for (int k = 0; k < count; k++) {
        world[k] = BrushVertWorld(brush, face->indices[k]);
        centre = Vector3Add(centre, world[k]);
    }
    centre = Vector3Scale(centre, 1.0f / (float)count);

    Color c = FaceDrawColour(colour, face->tint);
    if (shade) c = ShadeSurface(centre, normal, c);   // one shade per face

    Vector3 axisU, axisV;
    FaceTextureAxes(FaceUVNormal(brush, face), &axisU, &axisV);
    float minU = 0.0f, rangeU = 1.0f, minV = 0.0f, rangeV = 1.0f;
    if (face->projection == PROJ_FIT) FaceFitBounds(brush, face, axisU, axisV, &minU, &rangeU, &minV, &rangeV);
    Vector2 uv[kMaxFaceCorners];
    for (int k = 0; k < count; k++) {
        uv[k] = FaceVertexUV(brush, face, face->indices[k], axisU, axisV, minU, rangeU, minV, rangeV);
    }

    rlColor4ub(c.r, c.g, c.b, c.a);
    rlNormal3f(normal.x, normal.y, normal.z);
    for (int k = 1; k + 1 < count; k++) {
        // A quad whose last corner repeats the third is one triangle of the fan.
        const int corners[4] = { 0, k, k + 1, k + 1 };
        for (int q = 0; q < 4; q++) {
            int ci = corners[q];
            rlTexCoord2f(uv[ci].x, uv[ci].y);
            rlVertex3f(world[ci].x, world[ci].y, world[ci].z);
        }
    }
}

void DrawBrushSolid(const Brush *brush, Color colour, bool shade)
{
    int order[kMaxBrushFaces], groupStart[kMaxBrushFaces];
    int groups = BrushTextureBatches(brush, order, groupStart);
    int total = ClampCount(brush->faceCount, kMaxBrushFaces);   // unread when no groups
    for (int g = 0; g < groups; g++) {
        int end = (g + 1 < groups) ? groupStart[g + 1] : total;
        const BrushFace *first = &brush->faces[order[groupStart[g]]];
        BindFaceTexture(BrushFaceTexture(brush, first).id);
        rlBegin(RL_QUADS);
        for (int i = groupStart[g]; i < end; i++) EmitFace(brush, &brush->faces[order[i]], colour, shade);
        rlEnd();
    }
    BindFaceTexture(0);   // nothing drawn after this brush inherits its last texture
}

void DrawBrushWireframe(const Brush *brush, Color colour)
{
    for (int f = 0; f < brush->faceCount && f < kMaxBrushFaces; f++) {
        const BrushFace *face = &brush->faces[f];
        int count = FaceCornerCount(face);
        for (int k = 0; k < count; k++) {
            DrawLine3D(BrushVertWorld(brush, face->indices[k]),
                       BrushVertWorld(brush, face->indices[(k + 1) % count]), colour);
        }
    }
}

void DrawBrushFaceHighlight(const Brush *brush, int brushIndex, Color colour)
{
    // Culling takes effect when the batch is drawn, not when it is filled: what came before is
    // drawn with culling on, and the highlight is drawn before culling comes back.
    rlDrawRenderBatchActive();
    rlDisableBackfaceCulling();   // a selected face stays visible from behind
    BindFaceTexture(0);
    rlBegin(RL_QUADS);
    for (int f = 0; f < brush->faceCount && f < kMaxBrushFaces; f++) {
        const BrushFace *face = &brush->faces[f];
        int count = FaceCornerCount(face);
        if (!FaceIsSel(brushIndex, f) || count < kMinFaceCorners) continue;
        rlColor4ub(colour.r, colour.g, colour.b, colour.a);
        Vector3 p0 = BrushVertWorld(brush, face->indices[0]);
        for (int k = 1; k + 1 < count; k++) {
            Vector3 a = BrushVertWorld(brush, face->indices[k]);
            Vector3 b = BrushVertWorld(brush, face->indices[k + 1]);
            rlVertex3f(p0.x, p0.y, p0.z);
            rlVertex3f(a.x, a.y, a.z);
            rlVertex3f(b.x, b.y, b.z);
            rlVertex3f(b.x, b.y, b.z);
        }
    }
    rlEnd();
    rlDrawRenderBatchActive();
    rlEnableBackfaceCulling();
}

void DrawBrushGeometry(const Brush *brush, Color colour, bool wire, bool shade)
{
    DrawBrushSolid(brush, colour, shade);
    if (wire) DrawBrushWireframe(brush, Color{ 0, 0, 0, 255 });
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// Binds a texture for the next faces; id 0 binds raylib's white texture. rlSetTexture(0) alone
// would not do: it leaves the batch on its last texture while the draw mode stays the same, so an
// untextured face would show the texture of whatever was drawn just before it.
static void BindFaceTexture(unsigned int id)
{
    rlSetTexture(id != 0 ? id : rlGetTextureIdDefault());
}
