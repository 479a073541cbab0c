// brush_geometry.cpp: brush frame, face geometry and capacity-checked appends.
#include "document/brush_geometry.h"

#include <cmath>
#include <cstring>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
// An edge between two vertices as the winding fix sees it, filed under (lower, higher) vertex.
struct WindingEdge {
    uint8_t uses;          // face sides along the edge, over all faces
    int8_t face[2];        // the first two faces along it
    uint8_t forward[2];    // 1 when that face walks it from the lower vertex to the higher
};
static_assert(kMaxBrushFaces <= 127, "face numbers are kept in signed bytes");

// A shell whose volume is below this fraction of the largest it could enclose for its faces and
// reach is flat (a plane seen from both sides, a lone strip): no side of it is outward.
constexpr double kWindingFlatRatio = 1e-5;

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static Vector3 FaceCorner(const Brush *brush, const BrushFace *face, int k);
static Vector3 FaceNewell(const Brush *brush, const BrushFace *face);
static int FaceIndicesValid(const Brush *brush, const BrushFace *face);
static void WindingEdgesBuild(const Brush *brush, WindingEdge (*edges)[kMaxBrushVerts]);
static int WindingShellGrow(const Brush *brush, const WindingEdge (*edges)[kMaxBrushVerts], int seed, int id,
                            int8_t *shell, uint8_t *flip);
static int WindingShellInward(const Brush *brush, const int8_t *shell, const uint8_t *flip, int id);

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
    WindingEdge edges[kMaxBrushVerts][kMaxBrushVerts];
    WindingEdgesBuild(brush, edges);
    int faces = ClampCount(brush->faceCount, kMaxBrushFaces);
    int8_t shell[kMaxBrushFaces];
    uint8_t flip[kMaxBrushFaces];
    memset(shell, -1, sizeof(shell));
    memset(flip, 0, sizeof(flip));
    Vector3 c = BrushCentroidLocal(brush);
    for (int seed = 0, id = 0; seed < faces; seed++) {
        if (shell[seed] >= 0 || FaceCornerCount(&brush->faces[seed]) < kMinFaceCorners) continue;
        int size = WindingShellGrow(brush, edges, seed, id, shell, flip);
        if (size == 1) {
            // A face that shares no edge with the rest has only the centroid to go by.
            const BrushFace *face = &brush->faces[seed];
            Vector3 n = FaceNormalLocal(brush, face);
            flip[seed] = Vector3DotProduct(Vector3Subtract(FaceCenterLocal(brush, face), c), n) < 0.0f;
        } else if (WindingShellInward(brush, shell, flip, id)) {
            for (int f = 0; f < faces; f++) flip[f] ^= (uint8_t)(shell[f] == id);
        }
        id++;
    }
    for (int f = 0; f < faces; f++)
        if (flip[f]) FaceReverse(&brush->faces[f]);
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

// 1 when the face has 3..16 corners, all naming vertices of the brush.
static int FaceIndicesValid(const Brush *brush, const BrushFace *face)
{
    if (face->count < kMinFaceCorners || face->count > kMaxFaceCorners) return 0;
    int verts = ClampCount(brush->vertCount, kMaxBrushVerts);
    for (int k = 0; k < face->count; k++)
        if (face->indices[k] < 0 || face->indices[k] >= verts) return 0;
    return 1;
}

// Files every side of every sound face under its edge; damaged faces are left out, so they
// link to nothing and go by the centroid alone.
static void WindingEdgesBuild(const Brush *brush, WindingEdge (*edges)[kMaxBrushVerts])
{
    // Only the rows of vertices in use are read: a small brush clears a small part of the table.
    memset(edges, 0, sizeof(WindingEdge) * kMaxBrushVerts * ClampCount(brush->vertCount, kMaxBrushVerts));
    for (int f = 0; f < ClampCount(brush->faceCount, kMaxBrushFaces); f++) {
        const BrushFace *face = &brush->faces[f];
        if (!FaceIndicesValid(brush, face)) continue;
        for (int k = 0; k < face->count; k++) {
            int a = face->indices[k], b = face->indices[(k + 1) % face->count];
            if (a == b) continue;
            WindingEdge *e = &edges[a < b ? a : b][a < b ? b : a];
            if (e->uses < 2) {
                e->face[e->uses] = (int8_t)f;
                e->forward[e->uses] = (uint8_t)(a < b);
            }
            if (e->uses < 255) e->uses++;
        }
    }
}

// Gathers the faces reached from seed across edges that exactly two faces share into shell id,
// flipping each so that it walks every such edge against its neighbour; the seed keeps its winding.
// Edges of one face, or of three and more (no single neighbour to agree with), link nothing.
// Returns the number of faces in the shell.
static int WindingShellGrow(const Brush *brush, const WindingEdge (*edges)[kMaxBrushVerts], int seed, int id,
                            int8_t *shell, uint8_t *flip)
{
    int queue[kMaxBrushFaces];
    int head = 0, tail = 0;
    shell[seed] = (int8_t)id;
    flip[seed] = 0;
    queue[tail++] = seed;
    while (head < tail) {
        int f = queue[head++];
        const BrushFace *face = &brush->faces[f];
        if (!FaceIndicesValid(brush, face)) continue;
        for (int k = 0; k < face->count; k++) {
            int a = face->indices[k], b = face->indices[(k + 1) % face->count];
            if (a == b) continue;
            const WindingEdge *e = &edges[a < b ? a : b][a < b ? b : a];
            if (e->uses != 2 || e->face[0] == e->face[1]) continue;
            int other = e->face[0] == f ? e->face[1] : e->face[0];
            if (shell[other] >= 0) continue;
            shell[other] = (int8_t)id;
            flip[other] = flip[f] ^ (uint8_t)(e->forward[0] == e->forward[1]);
            queue[tail++] = other;
        }
    }
    return tail;
}

// 1 when shell id, with its faces flipped as proposed, encloses a volume of clearly negative sign.
// The volume is taken from the shell's own vertex centroid: for a closed shell any point gives
// the same, and for an open one (a hole) it is the volume of the cones from that centroid, which
// is still positive for faces that look away from the shell's middle.
static int WindingShellInward(const Brush *brush, const int8_t *shell, const uint8_t *flip, int id)
{
    int faces = ClampCount(brush->faceCount, kMaxBrushFaces);
    uint8_t used[kMaxBrushVerts];
    memset(used, 0, sizeof(used));
    for (int f = 0; f < faces; f++)
        for (int k = 0; shell[f] == id && k < brush->faces[f].count; k++) used[brush->faces[f].indices[k]] = 1;
    double cx = 0.0, cy = 0.0, cz = 0.0;
    int count = 0;
    for (int i = 0; i < kMaxBrushVerts; i++) {
        if (!used[i]) continue;
        cx += brush->verts[i].x, cy += brush->verts[i].y, cz += brush->verts[i].z;
        count++;
    }
    if (count == 0) return 0;
    cx /= count, cy /= count, cz /= count;
    double reach = 0.0;
    for (int i = 0; i < kMaxBrushVerts; i++) {
        if (!used[i]) continue;
        double dx = brush->verts[i].x - cx, dy = brush->verts[i].y - cy, dz = brush->verts[i].z - cz;
        reach = fmax(reach, sqrt(dx * dx + dy * dy + dz * dz));
    }
    double volume = 0.0, area = 0.0;   // six times the volume, twice the area
    for (int f = 0; f < faces; f++) {
        if (shell[f] != id) continue;
        const BrushFace *face = &brush->faces[f];
        const Vector3 &p = brush->verts[face->indices[0]];
        double ax = p.x - cx, ay = p.y - cy, az = p.z - cz;
        double faceVolume = 0.0, nx = 0.0, ny = 0.0, nz = 0.0;
        for (int k = 1; k + 1 < face->count; k++) {
            const Vector3 &q = brush->verts[face->indices[k]], &r = brush->verts[face->indices[k + 1]];
            double bx = q.x - cx, by = q.y - cy, bz = q.z - cz;
            double ex = r.x - cx, ey = r.y - cy, ez = r.z - cz;
            faceVolume += ax * (by * ez - bz * ey) - ay * (bx * ez - bz * ex) + az * (bx * ey - by * ex);
            double ux = bx - ax, uy = by - ay, uz = bz - az, vx = ex - ax, vy = ey - ay, vz = ez - az;
            nx += uy * vz - uz * vy, ny += uz * vx - ux * vz, nz += ux * vy - uy * vx;
        }
        volume += flip[f] ? -faceVolume : faceVolume;
        area += sqrt(nx * nx + ny * ny + nz * nz);
    }
    // Each face's cone holds at most its area times the reach over 3; in the units above, area x reach.
    return volume < -kWindingFlatRatio * area * reach;
}
