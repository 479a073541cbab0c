// draw_cache.cpp: per-brush drawing geometry and view-volume tests.
#include "render/draw_cache.h"

#include <cstring>

#include "raymath.h"
#include "rlgl.h"
#include "document/brush_geometry.h"
#include "render/brush_draw.h"
#include "render/texture_mapping.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
BrushDrawCache gBrushDrawCache[kMaxBrushes];
int gBrushCacheRebuilds;
int gDrawUncached;

static constexpr uint64_t kHashSeed = 0x9E3779B97F4A7C15ull;
static constexpr int kOriginPoint = kMaxBrushVerts;

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static uint64_t HashFace(uint64_t h, const Brush *brush, const BrushFace *face);
static int PointOf(const Brush *brush, int vertex);
static void CacheAddEdge(BrushDrawCache *cache, int a, int b);
static void CacheBounds(BrushDrawCache *cache);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
uint64_t HashCamera(uint64_t h, Camera3D camera)
{
    const Camera3D &c = camera;
    const float values[11] = { c.position.x, c.position.y, c.position.z, c.target.x, c.target.y, c.target.z,
                               c.up.x, c.up.y, c.up.z, c.fovy, (float)c.projection };
    return HashBytes(h, values, (int)sizeof(values));
}

uint64_t BrushDrawHash(const Brush *brush)
{
    uint64_t h = HashBytes(kHashSeed, &brush->origin, (int)sizeof(Vector3));
    h = HashBytes(h, &brush->rotation, (int)sizeof(Vector3));
    int verts = ClampCount(brush->vertCount, kMaxBrushVerts);
    h = HashBytes(h, &brush->vertCount, (int)sizeof(brush->vertCount));
    h = HashBytes(h, brush->verts, verts * (int)sizeof(Vector3));
    int faces = ClampCount(brush->faceCount, kMaxBrushFaces);
    h = HashBytes(h, &faces, (int)sizeof(faces));
    for (int f = 0; f < faces; f++) h = HashFace(h, brush, &brush->faces[f]);
    return h;
}

void BrushDrawCacheBuild(BrushDrawCache *cache, const Brush *brush, uint64_t hash)
{
    cache->hash = hash;
    cache->built = 1;
    int verts = ClampCount(brush->vertCount, kMaxBrushVerts);
    bool rotated = BrushIsRotated(brush);
    Matrix rot = BrushRotMatrix(brush);   // once per brush, not once per corner
    for (int i = 0; i < verts; i++) {
        Vector3 v = brush->verts[i];
        if (rotated) v = Vector3Transform(v, rot);
        cache->points[i] = Vector3Add(v, brush->origin);
    }
    cache->points[kOriginPoint] = brush->origin;

    int order[kMaxBrushFaces], groupStart[kMaxBrushFaces];
    int groups = BrushTextureBatches(brush, order, groupStart);
    int total = ClampCount(brush->faceCount, kMaxBrushFaces);
    cache->faceCount = 0;
    cache->groupCount = 0;
    int corners = 0;
    for (int g = 0; g < groups; g++) {
        int end = (g + 1 < groups) ? groupStart[g + 1] : total;
        int firstFace = cache->faceCount;
        for (int i = groupStart[g]; i < end; i++) {
            const BrushFace *face = &brush->faces[order[i]];
            int count = FaceCornerCount(face);
            if (count < kMinFaceCorners) continue;
            CachedFace *cf = &cache->faces[cache->faceCount++];
            cf->cornerStart = corners;
            cf->count = count;
            cf->normal = FaceNormalWorld(brush, face);
            cf->tint = face->tint;
            Vector3 axisU, axisV;
            FaceTextureAxes(FaceUVNormal(brush, face), &axisU, &axisV);
            float minU = 0.0f, rangeU = 1.0f, minV = 0.0f, rangeV = 1.0f;
            if (face->projection == PROJ_FIT) FaceFitBounds(brush, face, axisU, axisV, &minU, &rangeU, &minV, &rangeV);
            for (int k = 0; k < count; k++) {
                cache->cornerPoint[corners] = (int16_t)PointOf(brush, face->indices[k]);
                cache->cornerUV[corners] = FaceVertexUV(brush, face, face->indices[k], axisU, axisV, minU, rangeU,
                                                        minV, rangeV);
                corners++;
            }
        }
        if (cache->faceCount == firstFace) continue;   // a group of faces too small to draw
        cache->groupStart[cache->groupCount] = firstFace;
        cache->groupTexture[cache->groupCount] = BrushFaceTexture(brush, &brush->faces[order[groupStart[g]]]).id;
        cache->groupCount++;
    }

    // Edges come from every face, as the wireframe always drew them, small faces included.
    cache->edgeCount = 0;
    for (int f = 0; f < total; f++) {
        const BrushFace *face = &brush->faces[f];
        int count = FaceCornerCount(face);
        for (int k = 0; k < count; k++) {
            CacheAddEdge(cache, PointOf(brush, face->indices[k]), PointOf(brush, face->indices[(k + 1) % count]));
        }
    }
    CacheBounds(cache);
}

int BrushDrawCacheUpdate(int index, const Brush *brush)
{
    if (index < 0 || index >= kMaxBrushes) return 0;
    BrushDrawCache *cache = &gBrushDrawCache[index];
    uint64_t hash = BrushDrawHash(brush);
    if (cache->built && cache->hash == hash) return 0;
    BrushDrawCacheBuild(cache, brush, hash);
    gBrushCacheRebuilds++;
    return 1;
}

int MapDrawCacheUpdate(const MapDoc *map)
{
    int rebuilt = 0;
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    for (int i = 0; i < brushes; i++) rebuilt += BrushDrawCacheUpdate(i, &map->brushes[i]);
    return rebuilt;
}

void DrawCacheClear(void)
{
    for (int i = 0; i < kMaxBrushes; i++) gBrushDrawCache[i].built = 0;
}

void DrawCachedSolid(const BrushDrawCache *cache, Color colour)
{
    for (int g = 0; g < cache->groupCount; g++) {
        int end = (g + 1 < cache->groupCount) ? cache->groupStart[g + 1] : cache->faceCount;
        unsigned int id = cache->groupTexture[g];
        rlSetTexture(id != 0 ? id : rlGetTextureIdDefault());   // 0 would keep the last texture
        rlBegin(RL_TRIANGLES);
        for (int f = cache->groupStart[g]; f < end; f++) {
            const CachedFace *face = &cache->faces[f];
            Color c = FaceDrawColour(colour, face->tint);
            rlColor4ub(c.r, c.g, c.b, c.a);
            rlNormal3f(face->normal.x, face->normal.y, face->normal.z);
            const int s = face->cornerStart;
            for (int k = 1; k + 1 < face->count; k++) {
                const int corners[3] = { s, s + k, s + k + 1 };
                for (int ci : corners) {
                    Vector3 p = cache->points[cache->cornerPoint[ci]];
                    rlTexCoord2f(cache->cornerUV[ci].x, cache->cornerUV[ci].y);
                    rlVertex3f(p.x, p.y, p.z);
                }
            }
        }
        rlEnd();
    }
    rlSetTexture(rlGetTextureIdDefault());   // nothing drawn after this brush inherits its texture
}

void EmitCachedEdges(const BrushDrawCache *cache, Color colour)
{
    rlColor4ub(colour.r, colour.g, colour.b, colour.a);
    for (int e = 0; e < cache->edgeCount; e++) {
        Vector3 p = cache->points[cache->edges[e][0]], q = cache->points[cache->edges[e][1]];
        rlVertex3f(p.x, p.y, p.z);
        rlVertex3f(q.x, q.y, q.z);
    }
}

ViewVolume ViewVolumeCurrent(void)
{
    Matrix m = MatrixMultiply(rlGetMatrixModelview(), rlGetMatrixProjection());
    // Rows of the clip transform (raymath stores columns): clip = (row0.p, row1.p, row2.p, row3.p).
    const Vector4 row[4] = { { m.m0, m.m4, m.m8, m.m12 }, { m.m1, m.m5, m.m9, m.m13 },
                             { m.m2, m.m6, m.m10, m.m14 }, { m.m3, m.m7, m.m11, m.m15 } };
    ViewVolume v;
    for (int i = 0; i < 3; i++) {
        v.planes[2 * i] = Vector4Add(row[3], row[i]);
        v.planes[2 * i + 1] = Vector4Subtract(row[3], row[i]);
    }
    return v;
}

int ViewVolumeHasBox(const ViewVolume *volume, BoundingBox box)
{
    for (const Vector4 &p : volume->planes) {
        // The box corner farthest along the plane's normal: if even it is outside, all are.
        Vector3 c = { p.x >= 0.0f ? box.max.x : box.min.x, p.y >= 0.0f ? box.max.y : box.min.y,
                      p.z >= 0.0f ? box.max.z : box.min.z };
        if (p.x * c.x + p.y * c.y + p.z * c.z + p.w < 0.0f) return 0;
    }
    return 1;
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// The face's drawn fields, and the texture it resolves to now (a texture loaded or dropped
// changes the picture without changing the record).
static uint64_t HashFace(uint64_t h, const Brush *brush, const BrushFace *face)
{
    int count = FaceCornerCount(face);
    h = HashBytes(h, &count, (int)sizeof(count));
    h = HashBytes(h, face->indices, count * (int)sizeof(int32_t));
    unsigned int texture = BrushFaceTexture(brush, face).id;
    h = HashBytes(h, &texture, (int)sizeof(texture));
    h = HashBytes(h, face->uvScale, (int)sizeof(face->uvScale));
    h = HashBytes(h, face->uvOffset, (int)sizeof(face->uvOffset));
    h = HashBytes(h, &face->uvRotation, (int)sizeof(face->uvRotation));
    const uint8_t flags[3] = { face->projection, face->flipU, face->flipV };
    h = HashBytes(h, flags, (int)sizeof(flags));
    return HashBytes(h, &face->tint, (int)sizeof(face->tint));
}

// The cache point of a corner: the vertex, or the origin for an index out of range.
static int PointOf(const Brush *brush, int vertex)
{
    return (vertex >= 0 && vertex < ClampCount(brush->vertCount, kMaxBrushVerts)) ? vertex : kOriginPoint;
}

static void CacheAddEdge(BrushDrawCache *cache, int a, int b)
{
    int lo = a < b ? a : b, hi = a < b ? b : a;
    for (int e = 0; e < cache->edgeCount; e++) {
        if (cache->edges[e][0] == lo && cache->edges[e][1] == hi) return;
    }
    if (cache->edgeCount >= kMaxCacheEdges) return;
    cache->edges[cache->edgeCount][0] = (int16_t)lo;
    cache->edges[cache->edgeCount][1] = (int16_t)hi;
    cache->edgeCount++;
}

static void CacheBounds(BrushDrawCache *cache)
{
    Vector3 lo = cache->points[kOriginPoint], hi = lo;
    bool any = false;
    for (int e = 0; e < cache->edgeCount; e++) {
        for (int s = 0; s < 2; s++) {
            Vector3 p = cache->points[cache->edges[e][s]];
            if (!any) lo = hi = p;
            any = true;
            lo = Vector3Min(lo, p);
            hi = Vector3Max(hi, p);
        }
    }
    cache->bounds = BoundingBox{ lo, hi };
}
