// clip.cpp: cutting a brush by planes, and turning the Clip tool's strokes into planes.
//
// A cut keeps every face polygon on the chosen side of the plane and closes the part with a
// cap face built from the points where the brush meets the plane. A part is only reported when
// it is a closed brush: corners are never dropped to fit a limit (a polygon too long for one face
// becomes several coplanar faces), and a part that cannot be built whole is refused instead.
// Only a convex brush is cut: the cap is one polygon sorted about its middle, which closes the
// section of a convex brush but not the several or hollowed sections of any other.
// Nothing non-finite gets in or out: a NaN or infinite plane, point or bulge is refused, and so is
// a result that overflows the float range.
#include "document/clip.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "raymath.h"
#include "document/brush_geometry.h"
#include "document/map_records.h"
#include "document/topology.h"

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
// How building one part of a cut ended.
enum ClipPartResult {
    CLIP_PART_FAILED = 0,      // nothing closed to build: a sliver that welds away, a damaged brush
    CLIP_PART_BUILT = 1,
    CLIP_PART_TOO_BIG = 2,     // it would pass the brush limits (vertices, faces, cap points)
};

static int ClipSides(const Brush *brush, Vector3 n, float dist);
static int BuildPart(const Brush *brush, Vector3 normal, float dist, int sign, Brush *out);
static int PointFailure(Vector3 p);
static int RingAdd(Vector3 *ring, int *count, Vector3 p);
static int AddPolygonFaces(Brush *out, const int *poly, int n, const BrushFace *placement);
static int PlanFanSplit(const Brush *brush, const int *poly, int n, int *anchorOut, int *ends);
static BrushFace FanPiece(const BrushFace *placement, const int *poly, int n, int anchor, int start, int end);
static int PointIsFinite(Vector3 p);
static Vector3 ViewDepthAxis(int view);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int BrushClip(const Brush *brush, Vector3 normal, float dist, Brush *front, Brush *back, int *refusal)
{
    if (refusal) *refusal = CLIP_MISSED;
    Vector3 n = Vector3Normalize(normal);
    int sides = ClipSides(brush, n, dist);
    if (sides == 0) return 0;
    if ((sides & 2) == 0) {
        if (front && front != brush) memcpy(front, brush, sizeof(*brush));
        return 1;
    }
    if ((sides & 1) == 0) {
        if (back && back != brush) memcpy(back, brush, sizeof(*brush));
        return 2;
    }
    if (!BrushIsConvex(brush)) {
        if (refusal) *refusal = CLIP_NOT_CONVEX;
        return 0;
    }
    int result = 0;
    if (front && BuildClippedSide(brush, n, dist, 1, front)) result |= 1;
    if (back && BuildClippedSide(brush, n, dist, -1, back)) result |= 2;
    return result;
}

int BuildClippedSide(const Brush *brush, Vector3 normal, float dist, int sign, Brush *out)
{
    return BuildPart(brush, normal, dist, sign, out) == CLIP_PART_BUILT;
}

int BrushIsConvex(const Brush *brush)
{
    int verts = ClampCount(brush->vertCount, kMaxBrushVerts), faces = ClampCount(brush->faceCount, kMaxBrushFaces);
    uint8_t used[kMaxBrushVerts];
    memset(used, 0, sizeof(used));
    for (int f = 0; f < faces; f++)
        for (int k = 0; k < FaceCornerCount(&brush->faces[f]); k++) {
            int i = brush->faces[f].indices[k];
            if (i >= 0 && i < verts) used[i] = 1;
        }
    Vector3 c = BrushCentroidLocal(brush);
    float reach = 0.0f;
    for (int i = 0; i < verts; i++)
        if (used[i]) reach = fmaxf(reach, Vector3Distance(brush->verts[i], c));
    float slack = kClipConvexSlack * (1.0f + reach);
    for (int f = 0; f < faces; f++) {
        const BrushFace *face = &brush->faces[f];
        if (FaceCornerCount(face) < kMinFaceCorners || !FaceHasArea(brush, face)) continue;   // no plane to judge by
        Vector3 n = FaceNormalLocal(brush, face), centre = FaceCenterLocal(brush, face);
        float limit = slack + FacePlanarError(brush, face);
        int sides = 0;
        for (int i = 0; i < verts; i++) {
            if (!used[i]) continue;
            float d = Vector3DotProduct(Vector3Subtract(brush->verts[i], centre), n);
            sides |= (d > limit ? 1 : 0) | (d < -limit ? 2 : 0);
        }
        if (sides == 3) return 0;
        // A notch in a face (a corner turning against its normal) is a groove in the brush, even
        // where the face across the groove is bent too much for the plane test above to see it.
        int corners = FaceCornerCount(face);
        for (int k = 0; k < corners; k++) {
            int a = face->indices[(k + corners - 1) % corners], b = face->indices[k], e = face->indices[(k + 1) % corners];
            if (a < 0 || a >= verts || b < 0 || b >= verts || e < 0 || e >= verts) continue;
            Vector3 in = Vector3Subtract(brush->verts[b], brush->verts[a]);
            Vector3 out = Vector3Subtract(brush->verts[e], brush->verts[b]);
            float turn = Vector3DotProduct(Vector3CrossProduct(in, out), n);
            if (turn < -slack * (Vector3Length(in) + Vector3Length(out))) return 0;
        }
    }
    return 1;
}

int ClipAddVert(Brush *brush, Vector3 point)
{
    if (!PointIsFinite(point)) return -1;
    for (int i = 0; i < brush->vertCount && i < kMaxBrushVerts; i++)
        if (Vector3Distance(brush->verts[i], point) <= kClipMergeEps) return i;
    return BrushAddVert(brush, point);
}

void SortCoplanarRing(Vector3 *points, int count, Vector3 normal)
{
    if (count < 3) return;
    if (count > kClipMaxRingPoints) count = kClipMaxRingPoints;
    if (!PointIsFinite(normal) || !VertsAreFinite(points, count)) return;   // no order to sort by
    Vector3 c = { 0.0f, 0.0f, 0.0f };
    for (int i = 0; i < count; i++) c = Vector3Add(c, points[i]);
    c = Vector3Scale(c, 1.0f / (float)count);
    Vector3 r = fabsf(normal.y) > 0.9f ? Vector3{ 1.0f, 0.0f, 0.0f } : Vector3{ 0.0f, 1.0f, 0.0f };
    Vector3 u = Vector3Normalize(Vector3CrossProduct(normal, r));
    Vector3 v = Vector3Normalize(Vector3CrossProduct(normal, u));
    float angle[kClipMaxRingPoints];
    for (int i = 0; i < count; i++) {
        Vector3 d = Vector3Subtract(points[i], c);
        angle[i] = atan2f(Vector3DotProduct(d, v), Vector3DotProduct(d, u));
    }
    // Insertion sort: stable, so points at equal angles keep their order.
    for (int i = 1; i < count; i++) {
        Vector3 p = points[i];
        float a = angle[i];
        int j = i - 1;
        while (j >= 0 && angle[j] > a) {
            points[j + 1] = points[j];
            angle[j + 1] = angle[j];
            j--;
        }
        points[j + 1] = p;
        angle[j + 1] = a;
    }
}

int ClipArcPoints(Vector3 a, Vector3 b, float bulge, int view, int segments, Vector3 *out, int cap)
{
    int segs = segments > 0 ? segments : 1;
    if (segs >= cap) segs = cap - 1;
    if (segs < 1) return 0;
    if (!PointIsFinite(a) || !PointIsFinite(b) || !std::isfinite(bulge)) return 0;
    Vector3 axis = ViewDepthAxis(view);
    if (Vector3Length(axis) == 0.0f) return 0;
    Vector3 d = Vector3Subtract(b, a);
    float len = Vector3Length(d);
    if (len < kClipMinChord) return 0;
    Vector3 dir = Vector3Scale(d, 1.0f / len);
    Vector3 perp = Vector3Normalize(Vector3CrossProduct(dir, axis));
    Vector3 mid = Vector3Scale(Vector3Add(a, b), 0.5f);

    if (fabsf(bulge) < kClipStraightFraction * len) {
        for (int i = 0; i <= segs; i++) out[i] = Vector3Add(a, Vector3Scale(d, (float)i / (float)segs));
        return VertsAreFinite(out, segs + 1) ? segs + 1 : 0;
    }
    float h = fabsf(bulge);
    float r = (len * len / 4.0f + h * h) / (2.0f * h);
    float sg = bulge >= 0.0f ? 1.0f : -1.0f;
    Vector3 centre = Vector3Subtract(mid, Vector3Scale(perp, (r - h) * sg));
    Vector3 ca = Vector3Subtract(a, centre), cb = Vector3Subtract(b, centre);
    float angA = atan2f(Vector3DotProduct(ca, perp), Vector3DotProduct(ca, dir));
    float angB = atan2f(Vector3DotProduct(cb, perp), Vector3DotProduct(cb, dir));
    float sweep = angB - angA;
    while (sweep > PI) sweep -= 2.0f * PI;
    while (sweep < -PI) sweep += 2.0f * PI;
    // The arc must pass through mid + perp * bulge, at angle +pi/2 (sg > 0) or -pi/2 about the
    // centre: seen in the (dir, perp) frame that is the clockwise way round for a positive bulge,
    // so a sweep turning the same way as sg goes round the wrong side and is replaced.
    if ((sg > 0.0f) == (sweep > 0.0f)) sweep += sweep > 0.0f ? -2.0f * PI : 2.0f * PI;
    for (int i = 0; i <= segs; i++) {
        float ang = angA + sweep * ((float)i / (float)segs);
        out[i] = Vector3Add(centre, Vector3Add(Vector3Scale(perp, sinf(ang) * r), Vector3Scale(dir, cosf(ang) * r)));
    }
    // A bulge or chord near the float range overflows the radius (bulge squared) or the chord.
    return VertsAreFinite(out, segs + 1) ? segs + 1 : 0;
}

int ClipPlaneFromDrag(Vector3 a, Vector3 b, int view, Vector3 *outNormal, float *outDist)
{
    if (!PointIsFinite(a) || !PointIsFinite(b)) return 0;
    Vector3 axis = ViewDepthAxis(view);
    Vector3 d = Vector3Subtract(b, a);
    if (Vector3Length(d) < kClipMinDrag) return 0;
    Vector3 c = Vector3CrossProduct(d, axis);
    float len = Vector3Length(c);
    // A drag across most of the float range overflows the length (or the distance below).
    if (!(len >= kClipMinCross) || !std::isfinite(len)) return 0;
    Vector3 normal = Vector3Scale(c, 1.0f / len);
    float dist = Vector3DotProduct(normal, a);
    if (!std::isfinite(dist)) return 0;
    *outNormal = normal;
    *outDist = dist;
    return 1;
}

int ClipStrokeToPlanes(const ClipStroke *stroke, ClipPlane *outPlanes, int maxPlanes)
{
    int segs = stroke->arc ? stroke->segments : 1;
    float bulge = stroke->arc ? stroke->bulge : 0.0f;
    Vector3 points[kClipMaxStrokePoints];
    int np = ClipArcPoints(stroke->start, stroke->end, bulge, stroke->view, segs, points, kClipMaxStrokePoints);
    if (np < 2) return 0;
    int written = 0;
    for (int i = 0; i + 1 < np && written < maxPlanes; i++) {
        Vector3 n;
        float dist;
        if (!ClipPlaneFromDrag(points[i], points[i + 1], stroke->view, &n, &dist)) continue;
        outPlanes[written].normal = n;
        outPlanes[written].dist = dist;
        outPlanes[written].keep = stroke->keep;
        written++;
    }
    return written;
}

int ApplyClipPlanes(MapDoc *map, int brushIndex, const ClipPlane *planes, int count, int *refusal)
{
    if (refusal) *refusal = CLIP_MISSED;
    if (!map || !planes || count < 1) return 0;
    if (brushIndex < 0 || brushIndex >= map->brushCount || brushIndex >= kMaxBrushes) return 0;
    for (int p = 0; p < count; p++)
        if (!PointIsFinite(planes[p].normal) || !std::isfinite(planes[p].dist)) return 0;
    int room = kMaxBrushes - map->brushCount;
    if (room > kClipMaxExtraPieces) room = kClipMaxExtraPieces;

    Brush work = map->brushes[brushIndex];
    Brush *parts = (Brush *)malloc(2 * sizeof(Brush));   // front and back of one cut
    Brush *extras = room > 0 ? (Brush *)malloc((size_t)room * sizeof(Brush)) : nullptr;
    if (!parts || (room > 0 && !extras)) {
        free(parts);
        free(extras);
        return 0;
    }
    int cuts = 0, kept = 0, why = CLIP_MISSED;
    for (int p = 0; p < count; p++) {
        Vector3 n = planes[p].normal;
        float localDist = planes[p].dist - Vector3DotProduct(n, work.origin);
        if (BrushIsRotated(&work)) n = Vector3Transform(n, MatrixTranspose(BrushRotMatrix(&work)));
        n = Vector3Normalize(n);
        if (ClipSides(&work, n, localDist) != 3) continue;
        if (!BrushIsConvex(&work)) {
            why = CLIP_NOT_CONVEX;   // its parts could not be closed right: the whole cut is refused
            break;
        }
        // Only the parts kept are built, so only they have to fit the brush limits.
        int keep = planes[p].keep;
        int front = keep == CLIP_KEEP_BACK ? CLIP_PART_BUILT : BuildPart(&work, n, localDist, 1, &parts[0]);
        int back = keep == CLIP_KEEP_BACK || keep == CLIP_KEEP_BOTH ? BuildPart(&work, n, localDist, -1, &parts[1])
                                                                     : CLIP_PART_BUILT;
        if (front == CLIP_PART_TOO_BIG || back == CLIP_PART_TOO_BIG) {
            why = CLIP_PAST_LIMITS;   // passing over this plane would leave another cut than the one drawn
            break;
        }
        if (front != CLIP_PART_BUILT || back != CLIP_PART_BUILT) continue;   // a sliver that welds away
        if (keep == CLIP_KEEP_BOTH) {
            // A back part with nowhere to go would be lost: the whole cut is refused instead.
            if (kept >= room) {
                why = CLIP_NO_ROOM;
                break;
            }
            extras[kept++] = parts[1];
        }
        work = keep == CLIP_KEEP_BACK ? parts[1] : parts[0];
        cuts++;
    }
    int result = 0;
    if (why == CLIP_MISSED && cuts > 0) {
        map->brushes[brushIndex] = work;
        for (int i = 0; i < kept; i++) {
            int slot = map->brushCount++;
            map->brushes[slot] = extras[i];
            snprintf(map->brushes[slot].name, kNameLen, "Cut_%d", slot);
        }
        result = 1 + kept;
    }
    if (refusal) *refusal = why;
    free(parts);
    free(extras);
    return result;
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// Builds the part of the brush on the side sign of the plane into out (untouched unless built),
// and says why when it cannot.
static int BuildPart(const Brush *brush, Vector3 normal, float dist, int sign, Brush *out)
{
    if (!PointIsFinite(normal) || !std::isfinite(dist)) return CLIP_PART_FAILED;
    if (brush->vertCount < 0 || brush->vertCount > kMaxBrushVerts) return CLIP_PART_FAILED;
    if (brush->faceCount < 0 || brush->faceCount > kMaxBrushFaces) return CLIP_PART_FAILED;
    // Built aside, so out may be the source brush itself.
    Brush part;
    memset(&part, 0, sizeof(part));
    memcpy(part.name, brush->name, sizeof(part.name));
    part.name[kNameLen - 1] = '\0';
    part.origin = brush->origin;
    part.rotation = brush->rotation;
    part.size = brush->size;
    part.colour = brush->colour;
    part.texture = brush->texture;
    part.shape = brush->shape;
    part.physics = brush->physics;
    part.mass = brush->mass;
    part.friction = brush->friction;
    part.bounce = brush->bounce;

    float s = sign < 0 ? -1.0f : 1.0f;
    Vector3 ring[kClipMaxRingPoints];
    int ringCount = 0;
    for (int f = 0; f < brush->faceCount; f++) {
        const BrushFace *face = &brush->faces[f];
        int count = face->count;
        if (count < kMinFaceCorners) continue;
        if (count > kMaxFaceCorners) return CLIP_PART_FAILED;
        int poly[kClipMaxPolyCorners];
        int pn = 0;
        for (int i = 0; i < count; i++) {
            int ia = face->indices[i], ib = face->indices[(i + 1) % count];
            if (ia < 0 || ia >= brush->vertCount || ib < 0 || ib >= brush->vertCount) return CLIP_PART_FAILED;
            Vector3 a = brush->verts[ia], b = brush->verts[ib];
            float da = s * (Vector3DotProduct(normal, a) - dist);
            float db = s * (Vector3DotProduct(normal, b) - dist);
            if (da >= -kClipSideEps) {
                int v = ClipAddVert(&part, a);
                if (v < 0 || pn >= kClipMaxPolyCorners) return PointFailure(a);   // dropping it would open a hole
                poly[pn++] = v;
            }
            if (fabsf(da) <= kClipSideEps && !RingAdd(ring, &ringCount, a)) return CLIP_PART_TOO_BIG;
            if ((da > kClipSideEps && db < -kClipSideEps) || (da < -kClipSideEps && db > kClipSideEps)) {
                float t = da / (da - db);
                Vector3 p = Vector3Add(a, Vector3Scale(Vector3Subtract(b, a), t));
                int v = ClipAddVert(&part, p);
                if (v < 0 || pn >= kClipMaxPolyCorners) return PointFailure(p);
                poly[pn++] = v;
                if (!RingAdd(ring, &ringCount, p)) return CLIP_PART_TOO_BIG;
            }
        }
        pn = CleanPolygon(poly, pn);
        int added = pn > 2 ? AddPolygonFaces(&part, poly, pn, face) : CLIP_PART_BUILT;
        if (added != CLIP_PART_BUILT) return added;
    }

    if (ringCount > 2) {
        SortCoplanarRing(ring, ringCount, normal);
        int cap[kClipMaxRingPoints];
        int cn = 0;
        for (int i = 0; i < ringCount; i++) {
            int v = ClipAddVert(&part, ring[i]);
            if (v < 0) return PointFailure(ring[i]);
            cap[cn++] = v;
        }
        cn = CleanPolygon(cap, cn);
        if (cn > 2) {
            BrushFace placement;
            memset(&placement, 0, sizeof(placement));
            FaceInitDefaults(&placement, brush->texture);
            if (brush->faceCount > 0) {
                placement.uvScale[0] = brush->faces[0].uvScale[0];
                placement.uvScale[1] = brush->faces[0].uvScale[1];
                placement.uvOffset[0] = brush->faces[0].uvOffset[0];
                placement.uvOffset[1] = brush->faces[0].uvOffset[1];
            }
            int added = AddPolygonFaces(&part, cap, cn, &placement);
            if (added != CLIP_PART_BUILT) return added;
        }
    }

    BrushWeldVerts(&part, kClipMergeEps);
    BrushFixWinding(&part);
    if (part.vertCount < 4 || part.faceCount < 4) return CLIP_PART_FAILED;
    // A part of a closed brush that came out open (a degenerate sliver of a cut) is refused.
    if (!BrushIsClosed(&part) && BrushIsClosed(brush)) return CLIP_PART_FAILED;
    // Crossing points of edges that span most of the float range overflow; so do damaged corners.
    if (!VertsAreFinite(part.verts, part.vertCount)) return CLIP_PART_FAILED;
    memcpy(out, &part, sizeof(part));
    return CLIP_PART_BUILT;
}

// Which sides of the local plane (unit n) the brush's vertices lie on: bit 1 in front, bit 2
// behind; a brush lying within the tolerance of the plane counts as in front. 0 for a brush that
// is not cut at all: fewer than 4 vertices or faces, past the capacities, or anything not finite.
static int ClipSides(const Brush *brush, Vector3 n, float dist)
{
    if (!PointIsFinite(n) || !std::isfinite(dist)) return 0;
    if (brush->vertCount < 4 || brush->faceCount < 4) return 0;
    if (brush->vertCount > kMaxBrushVerts || brush->faceCount > kMaxBrushFaces) return 0;
    if (!VertsAreFinite(brush->verts, brush->vertCount)) return 0;   // a damaged record is not cut
    int sides = 0;
    for (int i = 0; i < brush->vertCount; i++) {
        float s = Vector3DotProduct(n, brush->verts[i]) - dist;
        if (s > kClipSideEps) sides |= 1;
        else if (s < -kClipSideEps) sides |= 2;
    }
    return sides == 0 ? 1 : sides;
}

// Why a point could not become a vertex of a part: a finite one found the vertex table full.
static int PointFailure(Vector3 p)
{
    return PointIsFinite(p) ? CLIP_PART_TOO_BIG : CLIP_PART_FAILED;
}

// Adds p to the cap ring unless a ring point already lies within the merge distance; 0 when
// the ring is full (never for a brush within its capacities).
static int RingAdd(Vector3 *ring, int *count, Vector3 p)
{
    for (int i = 0; i < *count; i++)
        if (Vector3Distance(ring[i], p) <= kClipMergeEps) return 1;
    if (*count >= kClipMaxRingPoints) return 0;
    ring[(*count)++] = p;
    return 1;
}

// Appends the polygon as one face, or as a fan of coplanar faces of at most 16 corners when it
// is longer, each with the whole placement of the given face record. A ClipPartResult: too big
// when the faces do not fit, failed when no fan gives every piece an area.
static int AddPolygonFaces(Brush *out, const int *poly, int n, const BrushFace *placement)
{
    if (n <= kMaxFaceCorners) {
        if (out->faceCount >= kMaxBrushFaces) return CLIP_PART_TOO_BIG;
        out->faces[out->faceCount++] = FanPiece(placement, poly, n, 0, 1, n - 1);
        return CLIP_PART_BUILT;
    }
    int anchor = 0, ends[kClipMaxRingPoints];
    int pieces = PlanFanSplit(out, poly, n, &anchor, ends);
    if (pieces == 0) return CLIP_PART_FAILED;
    if (out->faceCount + pieces > kMaxBrushFaces) return CLIP_PART_TOO_BIG;
    for (int i = 0, start = 1; i < pieces; start = ends[i++])
        out->faces[out->faceCount++] = FanPiece(placement, poly, n, anchor, start, ends[i]);
    return CLIP_PART_BUILT;
}

// Splits a polygon of more than 16 corners into a fan from one anchor corner: piece i covers the
// fan positions from the end of piece i-1 (1 for the first) to ends[i], with at most 16 corners.
// Every piece must pass FaceHasArea, the test that gives a face its own normal: a piece along a
// run of collinear corners would otherwise be kept with a made-up normal. The first anchor in
// ring order with the fewest pieces wins, and ties go to the longest leading pieces, so the front
// and back parts of a cut, built from the same ring, split their caps alike. Returns the number
// of pieces, 0 when no anchor gives a split.
static int PlanFanSplit(const Brush *brush, const int *poly, int n, int *anchorOut, int *ends)
{
    // fewest[k]: fewest pieces covering fan positions 1..k (-1: none); from[k]: where the last starts.
    int fewest[kClipMaxRingPoints], from[kClipMaxRingPoints];
    int bestPieces = 0;
    for (int anchor = 0; anchor < n; anchor++) {
        fewest[1] = 0;
        for (int k = 2; k < n; k++) {
            fewest[k] = -1;
            int first = k - (kMaxFaceCorners - 2) > 1 ? k - (kMaxFaceCorners - 2) : 1;
            for (int start = k - 1; start >= first; start--) {
                if (fewest[start] < 0 || (fewest[k] >= 0 && fewest[start] + 1 >= fewest[k])) continue;
                // A polygon that passes through the anchor's vertex again cannot end a piece there.
                if (poly[(anchor + start) % n] == poly[anchor] || poly[(anchor + k) % n] == poly[anchor]) continue;
                BrushFace piece = FanPiece(nullptr, poly, n, anchor, start, k);
                if (!FaceHasArea(brush, &piece)) continue;
                fewest[k] = fewest[start] + 1;
                from[k] = start;
            }
        }
        int pieces = fewest[n - 1];
        if (pieces <= 0 || (bestPieces > 0 && pieces >= bestPieces)) continue;
        bestPieces = pieces;
        *anchorOut = anchor;
        for (int k = n - 1, i = pieces; i > 0; k = from[k]) ends[--i] = k;
        if (pieces == (n - 2 + kMaxFaceCorners - 3) / (kMaxFaceCorners - 2)) break;   // none can need fewer
    }
    return bestPieces;
}

// The fan piece anchor, start .. end (fan positions counted from the anchor) of the polygon, with
// the placement of the given record (defaults when it is null).
static BrushFace FanPiece(const BrushFace *placement, const int *poly, int n, int anchor, int start, int end)
{
    BrushFace face;
    memset(&face, 0, sizeof(face));
    if (placement) face = *placement;
    face.count = end - start + 2;
    memset(face.indices, 0, sizeof(face.indices));
    face.indices[0] = poly[anchor];
    for (int k = start; k <= end; k++) face.indices[k - start + 1] = poly[(anchor + k) % n];
    return face;
}

// 1 when every component of p is finite.
static int PointIsFinite(Vector3 p)
{
    return VertsAreFinite(&p, 1);
}

// The depth direction of a 2D view: top Y, front Z, side X; zero for any other view.
static Vector3 ViewDepthAxis(int view)
{
    switch (view) {
    case VIEW_TOP: return Vector3{ 0.0f, 1.0f, 0.0f };
    case VIEW_FRONT: return Vector3{ 0.0f, 0.0f, 1.0f };
    case VIEW_SIDE: return Vector3{ 1.0f, 0.0f, 0.0f };
    default: return Vector3{ 0.0f, 0.0f, 0.0f };
    }
}
