// selection.cpp: vertex and face selection sets and the operations on selected vertices.
#include "document/selection.h"

#include <cstring>

#include "document/brush_geometry.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
uint64_t gVtxSel[kMaxBrushes];
uint64_t gFaceSel[kMaxBrushes];
uint8_t gVtxActive[kMaxBrushes];

static_assert(kMaxBrushVerts <= 64 && kMaxBrushFaces <= 64, "a selection mask is one 64-bit word");

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int VtxIsSel(int brush, int vertex)
{
    return (int)((gVtxSel[brush] >> vertex) & 1u);
}

int FaceIsSel(int brush, int face)
{
    return (int)((gFaceSel[brush] >> face) & 1u);
}

void VtxSet(int brush, int vertex, uint8_t on)
{
    uint64_t bit = (uint64_t)1 << vertex;
    if (on) gVtxSel[brush] |= bit;
    else gVtxSel[brush] &= ~bit;
}

void FaceSet(int brush, int face, uint8_t on)
{
    uint64_t bit = (uint64_t)1 << face;
    if (on) gFaceSel[brush] |= bit;
    else gFaceSel[brush] &= ~bit;
}

void VtxClearSelection(void)
{
    memset(gVtxSel, 0, sizeof(gVtxSel));
    memset(gFaceSel, 0, sizeof(gFaceSel));
}

void VtxClearActive(void)
{
    memset(gVtxActive, 0, sizeof(gVtxActive));
    VtxClearSelection();
}

int VtxSelCount(const MapDoc *map)
{
    int n = 0;
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    for (int b = 0; b < brushes; b++) {
        int verts = ClampCount(map->brushes[b].vertCount, kMaxBrushVerts);
        for (int i = 0; i < verts; i++) n += VtxIsSel(b, i);
    }
    return n;
}

int FaceSelCount(const MapDoc *map)
{
    int n = 0;
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    for (int b = 0; b < brushes; b++) {
        int faces = ClampCount(map->brushes[b].faceCount, kMaxBrushFaces);
        for (int i = 0; i < faces; i++) n += FaceIsSel(b, i);
    }
    return n;
}

int VtxActiveCount(const MapDoc *map)
{
    int n = 0;
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    for (int b = 0; b < brushes; b++) n += (gVtxActive[b] != 0);
    return n;
}

void SyncFaceSelectionToVerts(const MapDoc *map)
{
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    for (int b = 0; b < brushes; b++) {
        if (gFaceSel[b] == 0) continue;
        const Brush *brush = &map->brushes[b];
        int faces = ClampCount(brush->faceCount, kMaxBrushFaces);
        for (int f = 0; f < faces; f++) {
            if (!FaceIsSel(b, f)) continue;
            const BrushFace *face = &brush->faces[f];
            int corners = FaceCornerCount(face);
            for (int c = 0; c < corners; c++) {
                int v = face->indices[c];
                if (v >= 0 && v < kMaxBrushVerts) VtxSet(b, v, 1);   // a broken index selects nothing
            }
        }
    }
}

int GetVertexSelectionCenter(const MapDoc *map, Vector3 *out)
{
    Vector3 sum = { 0.0f, 0.0f, 0.0f };
    int n = 0;
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    for (int b = 0; b < brushes; b++) {
        if (gVtxSel[b] == 0) continue;
        const Brush *brush = &map->brushes[b];
        int verts = ClampCount(brush->vertCount, kMaxBrushVerts);
        for (int i = 0; i < verts; i++) {
            if (!VtxIsSel(b, i)) continue;
            sum = Vector3Add(sum, BrushVertWorld(brush, i));
            n++;
        }
    }
    if (n == 0) return 0;
    *out = Vector3Scale(sum, 1.0f / (float)n);
    return 1;
}

void MoveVertexSelectionTo(MapDoc *map, Vector3 target)
{
    Vector3 centre;
    if (!GetVertexSelectionCenter(map, &centre)) return;
    Vector3 d = Vector3Subtract(target, centre);
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    for (int b = 0; b < brushes; b++) {
        if (gVtxSel[b] == 0) continue;
        Brush *brush = &map->brushes[b];
        int verts = ClampCount(brush->vertCount, kMaxBrushVerts);
        for (int i = 0; i < verts; i++) {
            if (!VtxIsSel(b, i)) continue;
            BrushSetVertWorld(brush, i, Vector3Add(BrushVertWorld(brush, i), d));   // world offset, also when rotated
        }
    }
}
