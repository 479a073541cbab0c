// primitives.cpp: the five primitive generators behind BrushInit.
//
// Each generator appends vertices and faces in a fixed order with every face wound toward the
// inside; BrushInit's winding fix then turns them outward (all but the plane, which is two-sided).
#include "document/primitives.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

#include "document/brush_geometry.h"

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static void GenBox(Brush *brush, Vector3 size);
static void GenWedge(Brush *brush, Vector3 size);
static void GenCylinder(Brush *brush, Vector3 size, int sides);
static void GenSphere(Brush *brush, Vector3 size, int segments, int rings);
static void GenPlane(Brush *brush, Vector3 size);
static void AddFace(Brush *brush, std::initializer_list<int> corners);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void BrushInit(Brush *brush, int shape, Vector3 origin, Vector3 size, int texture)
{
    memset(brush, 0, sizeof(*brush));
    brush->origin = origin;
    brush->size = size;
    brush->shape = shape;
    brush->colour = Color{ 255, 255, 255, 255 };
    brush->texture = texture;
    brush->mass = 10.0f;
    brush->friction = 0.5f;
    brush->bounce = 0.2f;

    switch (shape) {
    case SHAPE_CYLINDER: GenCylinder(brush, size, kCylinderSides); break;
    case SHAPE_SPHERE: GenSphere(brush, size, kSphereSegments, kSphereRings); break;
    case SHAPE_WEDGE: GenWedge(brush, size); break;
    case SHAPE_PLANE: GenPlane(brush, size); break;
    default: GenBox(brush, size); break;
    }
    // The plane is seen from both sides, so its two faces keep their opposite orders.
    if (shape != SHAPE_PLANE) BrushFixWinding(brush);
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
static void AddFace(Brush *brush, std::initializer_list<int> corners)
{
    int idx[kMaxFaceCorners];
    int n = 0;
    for (int c : corners) if (n < kMaxFaceCorners) idx[n++] = c;
    BrushAddFace(brush, idx, n, -1);
}

static void GenBox(Brush *brush, Vector3 size)
{
    float hx = 0.5f * size.x, hy = 0.5f * size.y, hz = 0.5f * size.z;
    BrushAddVert(brush, Vector3{ -hx, -hy, -hz });
    BrushAddVert(brush, Vector3{ hx, -hy, -hz });
    BrushAddVert(brush, Vector3{ hx, -hy, hz });
    BrushAddVert(brush, Vector3{ -hx, -hy, hz });
    BrushAddVert(brush, Vector3{ -hx, hy, -hz });
    BrushAddVert(brush, Vector3{ hx, hy, -hz });
    BrushAddVert(brush, Vector3{ hx, hy, hz });
    BrushAddVert(brush, Vector3{ -hx, hy, hz });
    AddFace(brush, { 0, 3, 2, 1 });   // bottom
    AddFace(brush, { 4, 5, 6, 7 });   // top
    AddFace(brush, { 0, 1, 5, 4 });   // -Z
    AddFace(brush, { 3, 7, 6, 2 });   // +Z
    AddFace(brush, { 1, 2, 6, 5 });   // +X
    AddFace(brush, { 0, 4, 7, 3 });   // -X
}

static void GenWedge(Brush *brush, Vector3 size)
{
    float hx = 0.5f * size.x, hy = 0.5f * size.y, hz = 0.5f * size.z;
    BrushAddVert(brush, Vector3{ -hx, -hy, -hz });
    BrushAddVert(brush, Vector3{ hx, -hy, -hz });
    BrushAddVert(brush, Vector3{ hx, -hy, hz });
    BrushAddVert(brush, Vector3{ -hx, -hy, hz });
    BrushAddVert(brush, Vector3{ -hx, hy, -hz });
    BrushAddVert(brush, Vector3{ -hx, hy, hz });
    AddFace(brush, { 0, 3, 2, 1 });   // bottom
    AddFace(brush, { 1, 2, 5, 4 });   // slope
    AddFace(brush, { 0, 4, 5, 3 });   // wall at -X
    AddFace(brush, { 0, 1, 4 });      // -Z
    AddFace(brush, { 3, 5, 2 });      // +Z
}

static void GenCylinder(Brush *brush, Vector3 size, int sides)
{
    float hx = 0.5f * size.x, hy = 0.5f * size.y, hz = 0.5f * size.z;
    int n = sides < 3 ? 3 : (sides > kMaxFaceCorners ? kMaxFaceCorners : sides);
    for (int ring = 0; ring < 2; ring++) {
        float y = ring == 0 ? -hy : hy;
        for (int i = 0; i < n; i++) {
            float a = 6.2831855f * (float)i / (float)n;
            BrushAddVert(brush, Vector3{ cosf(a) * hx, y, sinf(a) * hz });
        }
    }
    for (int i = 0; i < n; i++) {
        int j = (i + 1) % n;
        AddFace(brush, { i, j, j + n, i + n });
    }
    int cap[kMaxFaceCorners];
    for (int i = 0; i < n; i++) cap[i] = n + i;
    BrushAddFace(brush, cap, n, -1);                  // top
    for (int i = 0; i < n; i++) cap[i] = n - 1 - i;
    BrushAddFace(brush, cap, n, -1);                  // bottom
}

static void GenSphere(Brush *brush, Vector3 size, int segments, int rings)
{
    float hx = 0.5f * size.x, hy = 0.5f * size.y, hz = 0.5f * size.z;
    int s = segments < 3 ? 3 : segments;
    int r = rings < 2 ? 2 : rings;
    // Shrink until the vertices (two poles plus the rings) and the faces fit one brush.
    while ((r - 1) * s > kMaxBrushVerts - 2 || s * r > kMaxBrushFaces) {
        if (s > 3) s--;
        else if (r > 2) r--;
        else break;
    }

    BrushAddVert(brush, Vector3{ 0.0f, hy, 0.0f });   // top pole
    BrushAddVert(brush, Vector3{ 0.0f, -hy, 0.0f });  // bottom pole
    for (int k = 1; k <= r - 1; k++) {
        float phi = 3.1415927f * (float)k / (float)r;
        for (int j = 0; j < s; j++) {
            float theta = 6.2831855f * (float)j / (float)s;
            BrushAddVert(brush, Vector3{ cosf(theta) * sinf(phi) * hx, cosf(phi) * hy,
                                         sinf(theta) * sinf(phi) * hz });
        }
    }
    auto ringStart = [s](int k) { return 2 + (k - 1) * s; };
    for (int j = 0; j < s; j++) {
        int j1 = (j + 1) % s;
        AddFace(brush, { 0, ringStart(1) + j, ringStart(1) + j1 });
    }
    for (int k = 1; k <= r - 2; k++) {
        for (int j = 0; j < s; j++) {
            int j1 = (j + 1) % s;
            AddFace(brush, { ringStart(k) + j, ringStart(k + 1) + j, ringStart(k + 1) + j1, ringStart(k) + j1 });
        }
    }
    for (int j = 0; j < s; j++) {
        int j1 = (j + 1) % s;
        AddFace(brush, { 1, ringStart(r - 1) + j1, ringStart(r - 1) + j });
    }
}

static void GenPlane(Brush *brush, Vector3 size)
{
    float hx = 0.5f * size.x, hz = 0.5f * size.z;
    BrushAddVert(brush, Vector3{ -hx, 0.0f, -hz });
    BrushAddVert(brush, Vector3{ hx, 0.0f, -hz });
    BrushAddVert(brush, Vector3{ hx, 0.0f, hz });
    BrushAddVert(brush, Vector3{ -hx, 0.0f, hz });
    AddFace(brush, { 0, 3, 2, 1 });   // facing +Y
    AddFace(brush, { 0, 1, 2, 3 });   // facing -Y
}
