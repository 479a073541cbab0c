// topology.cpp: world-space measures and structural edits of one brush.
//
// The edits keep the vertex and face orders fixed (scripts and map files address both by index):
// new vertices and faces are always appended. Every edit builds its result in a copy of the brush
// and commits it through BrushCommitEdit, which refuses a result with a non-finite vertex: one
// rule for NaN or infinite parameters, for sums that overflow and for a damaged record. A refused
// edit therefore leaves the brush exactly as it was.
#include "document/topology.h"

#include <cmath>
#include <cstring>

#include "raymath.h"
#include "document/brush_geometry.h"
#include "document/problem_check.h"

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
constexpr int kSubdivideMaxEdges = kMaxBrushFaces * kMaxFaceCorners;   // an edge per corner at most

static int FaceFindEdge(const BrushFace *face, int a, int b);
static void FaceInsertAfter(BrushFace *face, int k, int vert);
static int EdgeFacesHaveRoom(const Brush *brush, int a, int b);
static void ReplaceFaceWithQuads(Brush *brush, int face, const int *corners, const int *mid, int centre);
static int BrushCommitEdit(Brush *brush, const Brush *work);
static int BrushWeldedIsSolid(const Brush *brush, int *faces);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
BoundingBox GetBrushBoundingBox(const Brush *brush)
{
    BoundingBox box = { brush->origin, brush->origin };
    if (brush->vertCount <= 0) return box;
    box.min = box.max = BrushVertWorld(brush, 0);
    for (int i = 1; i < brush->vertCount && i < kMaxBrushVerts; i++) {
        Vector3 p = BrushVertWorld(brush, i);
        box.min = Vector3Min(box.min, p);
        box.max = Vector3Max(box.max, p);
    }
    return box;
}

int RayBrushHit(Ray ray, const Brush *brush, float *distance)
{
    float best = kRayFar;
    int hit = 0;
    for (int f = 0; f < brush->faceCount && f < kMaxBrushFaces; f++) {
        const BrushFace *face = &brush->faces[f];
        if (face->count <= 2 || face->count > kMaxFaceCorners) continue;
        Vector3 p0 = BrushVertWorld(brush, face->indices[0]);
        for (int k = 1; k + 1 < face->count; k++) {
            RayCollision rc = GetRayCollisionTriangle(ray, p0, BrushVertWorld(brush, face->indices[k]),
                                                      BrushVertWorld(brush, face->indices[k + 1]));
            if (rc.hit && rc.distance < best) {
                best = rc.distance;
                hit = 1;
            }
        }
    }
    if (hit && distance) *distance = best;
    return hit;
}

int BrushBuildEdges(const Brush *brush, int (*pairs)[2], int max)
{
    int n = 0;
    for (int f = 0; f < brush->faceCount && f < kMaxBrushFaces; f++) {
        const BrushFace *face = &brush->faces[f];
        int count = FaceCornerCount(face);
        for (int k = 0; k < count; k++) {
            int a = face->indices[k], b = face->indices[(k + 1) % count];
            if (a == b) continue;
            int lo = a < b ? a : b, hi = a < b ? b : a;
            int seen = 0;
            for (int e = 0; e < n && !seen; e++) seen = (pairs[e][0] == lo && pairs[e][1] == hi);
            if (seen || n >= max) continue;
            pairs[n][0] = lo;
            pairs[n][1] = hi;
            n++;
        }
    }
    return n;
}

void BrushCompactVerts(Brush *brush)
{
    unsigned char used[kMaxBrushVerts] = { 0 };
    int remap[kMaxBrushVerts];
    for (int f = 0; f < brush->faceCount; f++) {
        const BrushFace *face = &brush->faces[f];
        for (int k = 0; k < face->count && k < kMaxFaceCorners; k++) {
            int i = face->indices[k];
            if (i >= 0 && i < kMaxBrushVerts) used[i] = 1;
        }
    }
    int kept = 0;
    for (int i = 0; i < brush->vertCount && i < kMaxBrushVerts; i++) {
        remap[i] = -1;
        if (!used[i]) continue;
        brush->verts[kept] = brush->verts[i];
        remap[i] = kept++;
    }
    for (int i = kept; i < brush->vertCount && i < kMaxBrushVerts; i++) brush->verts[i] = Vector3{ 0, 0, 0 };
    for (int f = 0; f < brush->faceCount; f++) {
        BrushFace *face = &brush->faces[f];
        for (int k = 0; k < face->count && k < kMaxFaceCorners; k++) {
            int i = face->indices[k];
            if (i >= 0 && i < brush->vertCount && i < kMaxBrushVerts) face->indices[k] = remap[i];
        }
    }
    brush->vertCount = kept;
}

int CleanPolygon(int *poly, int n)
{
    int out = 0;
    for (int i = 0; i < n; i++) {
        int prev = out == 0 ? poly[n - 1] : poly[out - 1];
        if (poly[i] != prev) poly[out++] = poly[i];
    }
    while (out > 1 && poly[out - 1] == poly[0]) out--;
    return out;
}

void BrushCleanFaces(Brush *brush)
{
    int kept = 0;
    for (int f = 0; f < brush->faceCount && f < kMaxBrushFaces; f++) {
        BrushFace face = brush->faces[f];
        int n = CleanPolygon(face.indices, FaceCornerCount(&face));
        if (n <= 2) continue;
        face.count = n;
        for (int k = n; k < kMaxFaceCorners; k++) face.indices[k] = 0;
        brush->faces[kept++] = face;
    }
    for (int f = kept; f < brush->faceCount && f < kMaxBrushFaces; f++) memset(&brush->faces[f], 0, sizeof(BrushFace));
    brush->faceCount = kept;
}

int BrushWeldVerts(Brush *target, float eps)
{
    // An infinite tolerance would merge the whole brush into one point.
    if (!std::isfinite(eps)) return 0;
    Brush work = *target;
    Brush *brush = &work;
    int rep[kMaxBrushVerts];
    int count = ClampCount(brush->vertCount, kMaxBrushVerts);
    for (int i = 0; i < count; i++) rep[i] = i;
    int merged = 0;
    for (int i = 0; i < count; i++) {
        if (rep[i] != i) continue;
        for (int j = i + 1; j < count; j++) {
            if (rep[j] != j) continue;
            if (Vector3Distance(brush->verts[i], brush->verts[j]) <= eps) {
                rep[j] = i;
                merged++;
            }
        }
    }
    if (merged == 0) return 0;
    for (int j = 0; j < count; j++) brush->verts[j] = brush->verts[rep[j]];
    for (int f = 0; f < brush->faceCount && f < kMaxBrushFaces; f++) {
        BrushFace *face = &brush->faces[f];
        for (int k = 0; k < face->count && k < kMaxFaceCorners; k++) {
            int i = face->indices[k];
            if (i >= 0 && i < count) face->indices[k] = rep[i];
        }
    }
    BrushCleanFaces(brush);
    BrushCompactVerts(brush);
    return BrushCommitEdit(target, brush) ? merged : 0;
}

int BrushMergeVerts(Brush *target, const int *onto)
{
    Brush work = *target;
    Brush *brush = &work;
    int count = ClampCount(brush->vertCount, kMaxBrushVerts);
    int merged = 0;
    for (int i = 0; i < count; i++) {
        int j = onto[i];
        if (j < 0 || j >= count || onto[j] != j) return 0;   // chains would merge by accident
        if (j != i) merged++;
    }
    if (merged == 0) return 0;
    bool wasClosed = BrushIsClosed(brush);
    for (int i = 0; i < count; i++) brush->verts[i] = brush->verts[onto[i]];
    for (int f = 0; f < brush->faceCount && f < kMaxBrushFaces; f++) {
        BrushFace *face = &brush->faces[f];
        for (int k = 0; k < face->count && k < kMaxFaceCorners; k++) {
            int i = face->indices[k];
            if (i >= 0 && i < count) face->indices[k] = onto[i];
        }
    }
    BrushCleanFaces(brush);
    BrushCompactVerts(brush);
    // A solid stays a solid: a merge that tears it open or flattens it is refused whole.
    if (wasClosed && (!BrushIsClosed(brush) || brush->faceCount < kMinSolidFaces)) return 0;
    if (brush->faceCount <= 0) return 0;
    return BrushCommitEdit(target, brush) ? merged : 0;
}

int BrushIsClosed(const Brush *brush)
{
    static_assert(kMaxBrushVerts <= 255, "edge counts are kept per vertex pair in bytes");
    unsigned char uses[kMaxBrushVerts][kMaxBrushVerts];
    memset(uses, 0, sizeof(uses));
    int verts = ClampCount(brush->vertCount, kMaxBrushVerts);
    for (int f = 0; f < ClampCount(brush->faceCount, kMaxBrushFaces); f++) {
        const BrushFace *face = &brush->faces[f];
        int n = FaceCornerCount(face);
        for (int k = 0; k < n; k++) {
            int a = face->indices[k], b = face->indices[(k + 1) % n];
            if (a < 0 || a >= verts || b < 0 || b >= verts || a == b) return 0;
            for (int j = k + 1; j < n; j++)
                if (face->indices[j] == a) return 0;
            if (uses[a][b] == 255) return 0;
            uses[a][b]++;
        }
    }
    for (int a = 0; a < verts; a++)
        for (int b = 0; b < verts; b++)
            if (uses[a][b] && (uses[a][b] != 1 || uses[b][a] != 1)) return 0;
    return 1;
}

int BrushMoveKeepsSolid(const Brush *brush, const Brush *moved)
{
    if (!VertsAreFinite(moved->verts, ClampCount(moved->vertCount, kMaxBrushVerts))) return 0;
    int faces = 0;
    int wasSolid = BrushWeldedIsSolid(brush, &faces);
    int isSolid = BrushWeldedIsSolid(moved, &faces);   // faces: the moved brush's
    return wasSolid ? isSolid : faces > 0;
}

int BrushSplitEdge(Brush *target, int a, int b)
{
    Brush work = *target;
    Brush *brush = &work;
    if (brush->vertCount >= kMaxBrushVerts) return -1;
    if (a < 0 || a >= brush->vertCount || b < 0 || b >= brush->vertCount || a == b) return -1;
    // A face already at the corner limit could not take the midpoint and would be left with
    // a T-junction (an open seam), so the whole split is refused instead.
    if (!EdgeFacesHaveRoom(brush, a, b)) return -1;
    Vector3 mid = Vector3Scale(Vector3Add(brush->verts[a], brush->verts[b]), 0.5f);
    int m = BrushAddVert(brush, mid);
    if (m < 0) return -1;
    for (int f = 0; f < brush->faceCount && f < kMaxBrushFaces; f++) {
        BrushFace *face = &brush->faces[f];
        int k = FaceFindEdge(face, a, b);
        if (k >= 0) FaceInsertAfter(face, k, m);
    }
    return BrushCommitEdit(target, brush) ? m : -1;
}

int BrushSplitFaceDiagonal(Brush *target, int face, int a, int b)
{
    Brush work = *target;
    Brush *brush = &work;
    if (face < 0 || face >= brush->faceCount || brush->faceCount >= kMaxBrushFaces) return 0;
    BrushFace *src = &brush->faces[face];
    int count = src->count;
    if (count < 4 || count > kMaxFaceCorners) return 0;
    int ka = -1, kb = -1;
    for (int k = 0; k < count; k++) {
        if (src->indices[k] == a) ka = k;
        if (src->indices[k] == b) kb = k;
    }
    if (ka < 0 || kb < 0) return 0;
    int gap = kb > ka ? kb - ka : ka - kb;
    if (gap < 2 || gap == count - 1) return 0;
    // The pair can already be an edge (elsewhere in a face that passes through one vertex twice,
    // or of another face after welding); cutting along it would give one edge to four faces.
    for (int f = 0; f < brush->faceCount; f++)
        if (FaceFindEdge(&brush->faces[f], a, b) >= 0) return 0;

    // With 2 <= gap <= count-2 both halves have 3 to count-1 corners.
    int first[kMaxFaceCorners], second[kMaxFaceCorners];
    int n1 = 0, n2 = 0;
    for (int k = ka;; k = (k + 1) % count) {
        first[n1++] = src->indices[k];
        if (k == kb) break;
    }
    for (int k = kb;; k = (k + 1) % count) {
        second[n2++] = src->indices[k];
        if (k == ka) break;
    }

    BrushFace copy = *src;
    src->count = n1;
    for (int k = 0; k < kMaxFaceCorners; k++) src->indices[k] = k < n1 ? first[k] : 0;
    copy.count = n2;
    for (int k = 0; k < kMaxFaceCorners; k++) copy.indices[k] = k < n2 ? second[k] : 0;
    brush->faces[brush->faceCount++] = copy;
    return BrushCommitEdit(target, brush);
}

int BrushExtrudeFace(Brush *target, int face, float distance)
{
    if (!std::isfinite(distance)) return 0;
    Brush work = *target;
    Brush *brush = &work;
    if (face < 0 || face >= brush->faceCount) return 0;
    BrushFace *top = &brush->faces[face];
    int n = top->count;
    if (n < kMinFaceCorners || n > kMaxFaceCorners) return 0;
    if (brush->vertCount + n > kMaxBrushVerts || brush->faceCount + n > kMaxBrushFaces) return 0;
    for (int k = 0; k < n; k++)
        if (top->indices[k] < 0 || top->indices[k] >= brush->vertCount) return 0;

    Vector3 d = Vector3Scale(FaceNormalLocal(brush, top), distance);
    int old[kMaxFaceCorners], fresh[kMaxFaceCorners];
    for (int k = 0; k < n; k++) {
        old[k] = top->indices[k];
        fresh[k] = BrushAddVert(brush, Vector3Add(brush->verts[old[k]], d));
    }
    for (int k = 0; k < n; k++) {
        int k1 = (k + 1) % n;
        int quad[4] = { old[k], old[k1], fresh[k1], fresh[k] };
        int side = BrushAddFace(brush, quad, 4, top->texture);
        brush->faces[side].uvScale[0] = top->uvScale[0];
        brush->faces[side].uvScale[1] = top->uvScale[1];
        brush->faces[side].uvOffset[0] = top->uvOffset[0];
        brush->faces[side].uvOffset[1] = top->uvOffset[1];
    }
    for (int k = 0; k < n; k++) top->indices[k] = fresh[k];
    // A huge distance can still carry the moved corners past the float range.
    return BrushCommitEdit(target, brush);
}

int BrushFlip(Brush *target, int axis)
{
    Brush work = *target;
    Brush *brush = &work;
    Vector3 c = BrushCentroidLocal(brush);
    for (int i = 0; i < brush->vertCount && i < kMaxBrushVerts; i++) {
        Vector3 *v = &brush->verts[i];
        switch (axis) {
        case 0: v->x = 2.0f * c.x - v->x; break;
        case 1: v->y = 2.0f * c.y - v->y; break;
        default: v->z = 2.0f * c.z - v->z; break;
        }
    }
    for (int f = 0; f < brush->faceCount && f < kMaxBrushFaces; f++) FaceReverse(&brush->faces[f]);
    return BrushCommitEdit(target, brush);
}

int BrushSubdivideFace(Brush *target, int face)
{
    Brush work = *target;
    Brush *brush = &work;
    if (face < 0 || face >= brush->faceCount) return 0;
    BrushFace *src = &brush->faces[face];
    int n = src->count;
    if (n < kMinFaceCorners || n > kMaxFaceCorners) return 0;
    if (brush->vertCount + n > kMaxBrushVerts - 1 || brush->faceCount + n > kMaxBrushFaces + 1) return 0;
    int old[kMaxFaceCorners];
    for (int k = 0; k < n; k++) {
        old[k] = src->indices[k];
        if (old[k] < 0 || old[k] >= brush->vertCount) return 0;
    }
    // The midpoints go into the neighbouring faces too, so the seam stays closed; a neighbour
    // that would pass the corner limit refuses the whole subdivision before anything changes.
    int extra[kMaxBrushFaces] = { 0 };
    for (int k = 0; k < n; k++) {
        for (int f = 0; f < brush->faceCount; f++) {
            if (f == face || FaceFindEdge(&brush->faces[f], old[k], old[(k + 1) % n]) < 0) continue;
            extra[f]++;
            if (brush->faces[f].count + extra[f] > kMaxFaceCorners) return 0;
        }
    }

    int c = BrushAddVert(brush, FaceCenterLocal(brush, src));
    int mid[kMaxFaceCorners];
    for (int k = 0; k < n; k++) {
        Vector3 m = Vector3Scale(Vector3Add(brush->verts[old[k]], brush->verts[old[(k + 1) % n]]), 0.5f);
        mid[k] = BrushAddVert(brush, m);
    }
    for (int k = 0; k < n; k++) {
        for (int f = 0; f < brush->faceCount; f++) {
            if (f == face) continue;
            int at = FaceFindEdge(&brush->faces[f], old[k], old[(k + 1) % n]);
            if (at >= 0) FaceInsertAfter(&brush->faces[f], at, mid[k]);
        }
    }

    ReplaceFaceWithQuads(brush, face, old, mid, c);
    return BrushCommitEdit(target, brush) ? n : 0;
}

int SubdivideBrush(MapDoc *map, int b)
{
    if (!map || b < 0 || b >= map->brushCount || b >= kMaxBrushes) return 0;
    Brush work = map->brushes[b];
    Brush *brush = &work;
    int faceCount = brush->faceCount;
    if (faceCount < 0 || faceCount > kMaxBrushFaces) return 0;

    // Everything is checked first: a face that cannot be split, or a result that would not fit,
    // refuses the whole brush before any face has changed.
    int quads = 0;
    for (int f = 0; f < faceCount; f++) {
        const BrushFace *face = &brush->faces[f];
        if (face->count < kMinFaceCorners || face->count > kMaxFaceCorners) return 0;
        for (int k = 0; k < face->count; k++) {
            int i = face->indices[k];
            if (i < 0 || i >= brush->vertCount || i == face->indices[(k + 1) % face->count]) return 0;
        }
        quads += face->count;
    }
    int edges[kSubdivideMaxEdges][2];
    int edgeCount = BrushBuildEdges(brush, edges, kSubdivideMaxEdges);
    if (brush->vertCount + faceCount + edgeCount > kMaxBrushVerts || quads > kMaxBrushFaces) return 0;

    // One midpoint per edge, shared by the faces on both sides so the brush stays closed.
    int edgeMid[kSubdivideMaxEdges];
    for (int e = 0; e < edgeCount; e++) edgeMid[e] = -1;
    for (int f = 0; f < faceCount; f++) {
        BrushFace record = brush->faces[f];
        int n = record.count;
        int c = BrushAddVert(brush, FaceCenterLocal(brush, &record));
        int mid[kMaxFaceCorners];
        for (int k = 0; k < n; k++) {
            int a = record.indices[k], q = record.indices[(k + 1) % n];
            int lo = a < q ? a : q, hi = a < q ? q : a;
            int e = 0;
            while (e < edgeCount && !(edges[e][0] == lo && edges[e][1] == hi)) e++;
            if (edgeMid[e] < 0)
                edgeMid[e] = BrushAddVert(brush, Vector3Scale(Vector3Add(brush->verts[a], brush->verts[q]), 0.5f));
            mid[k] = edgeMid[e];
        }
        ReplaceFaceWithQuads(brush, f, record.indices, mid, c);
    }
    return BrushCommitEdit(&map->brushes[b], brush);
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// Copies the finished result of an edit over the brush; 0, leaving the brush as it was, when
// any vertex of the result is not finite.
static int BrushCommitEdit(Brush *brush, const Brush *work)
{
    if (!VertsAreFinite(work->verts, ClampCount(work->vertCount, kMaxBrushVerts))) return 0;
    memcpy(brush, work, sizeof(*brush));
    return 1;
}

// Whether the brush, with the vertices that lie on one point merged, is a closed solid with some
// volume; faces gets the number of faces left after that merge.
static int BrushWeldedIsSolid(const Brush *brush, int *faces)
{
    Brush welded = *brush;
    BrushWeldVerts(&welded, kCoincidentDistance);
    *faces = welded.faceCount;
    return BrushIsClosed(&welded) && welded.faceCount >= kMinSolidFaces &&
           fabsf(BrushSignedVolume(&welded)) > kMinSolidVolume;
}

// Splits the face of n = its count corners into quads corner, next midpoint, centre, previous
// midpoint: quad 0 replaces the face, the others are copies of its record appended in order.
// corners and mid may not point into the brush's faces, which change.
static void ReplaceFaceWithQuads(Brush *brush, int face, const int *corners, const int *mid, int centre)
{
    BrushFace record = brush->faces[face];
    int n = record.count;
    for (int k = 0; k < n; k++) {
        BrushFace quad = record;
        quad.count = 4;
        memset(quad.indices, 0, sizeof(quad.indices));
        quad.indices[0] = corners[k];
        quad.indices[1] = mid[k];
        quad.indices[2] = centre;
        quad.indices[3] = mid[(k + n - 1) % n];
        if (k == 0) brush->faces[face] = quad;
        else brush->faces[brush->faceCount++] = quad;
    }
}

// Corner position k whose edge to the next corner joins a and b (either way), or -1.
static int FaceFindEdge(const BrushFace *face, int a, int b)
{
    int count = face->count;
    if (count < 2 || count > kMaxFaceCorners) return -1;
    for (int k = 0; k < count; k++) {
        int p = face->indices[k], q = face->indices[(k + 1) % count];
        if ((p == a && q == b) || (p == b && q == a)) return k;
    }
    return -1;
}

// Inserts a corner after position k; the caller has checked that the face has room.
static void FaceInsertAfter(BrushFace *face, int k, int vert)
{
    if (face->count >= kMaxFaceCorners) return;
    for (int j = face->count; j > k + 1; j--) face->indices[j] = face->indices[j - 1];
    face->indices[k + 1] = vert;
    face->count++;
}

// 1 when every face that holds the edge a-b can take one more corner.
static int EdgeFacesHaveRoom(const Brush *brush, int a, int b)
{
    for (int f = 0; f < brush->faceCount && f < kMaxBrushFaces; f++) {
        if (FaceFindEdge(&brush->faces[f], a, b) >= 0 && brush->faces[f].count >= kMaxFaceCorners) return 0;
    }
    return 1;
}
