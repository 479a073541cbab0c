// face.cpp: the face placement section that ends the brush panel of the Object Properties
// tab: scale, rotation, offset, projection, flips and tint of the selected brush's faces, with
// the buttons that rotate, copy, paste, fit, align and reset a placement.
//
// The widgets show the reference face; a change goes to every target face. Faces selected only on
// another brush leave this brush without targets: nothing changes, and the buttons say so. The
// changes stay within the selected brush, so the tab's undo step covers them (properties.cpp);
// only the texture button, which reaches every brush, takes its own.
#include "editor/panels/right_panel.h"

#include <cmath>
#include <cstring>

#include "document/brush_geometry.h"
#include "document/selection.h"
#include "document/undo.h"
#include "editor/input.h"
#include "editor/gui.h"
#include "editor/widgets.h"
#include "render/texture_mapping.h"

//----------------------------------------------------------------------------------
// Types and globals
//----------------------------------------------------------------------------------
// Which placement fields a group write carries.
enum FacePart : unsigned {
    FACE_SCALE_ROT = 1u, FACE_OFFSET = 2u, FACE_PROJECTION = 4u, FACE_FLIP_U = 8u, FACE_FLIP_V = 16u, FACE_TINT = 32u,
    FACE_PLACEMENT = 63u,
};

static constexpr float kFaceEditEps = 0.0001f;
static constexpr float kResetUvScale = 2.0f;
static constexpr float kFitStart = 1e30f;

static const char *const kProjTooltip[kProjectionCount] = {
    "World: texture pinned to the world grid, neighbours line up",
    "Local: texture locked to the brush and moves with it",
    "Fit: one tile covers the face exactly, whatever its shape",
};

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static int FacesTake(Brush *brush, const bool *targets, const BrushFace *from, unsigned parts);
static int FaceOpApply(const Brush *brush, BrushFace *face, int op);
static float FaceFieldRows(UiState &ui, Brush *b, const bool *targets, int ref, float L, float P, float y);
static float FaceButtonRows(MapDoc *map, UiState &ui, Brush *b, const bool *targets, int ref, float L, float P, float y);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
float FaceTexturePanel(MapDoc *map, UiState &ui, float L, float P, float y)
{
    float h = ui.rowH;
    int selected = FaceSelCount(map);
    GuiLabel(Rectangle{ L + 33.75f, y, 450.0f, h },
             selected > 0 ? TextFormat("Scale (%d selected face(s))", selected) : "Scale (all faces)");
    y += h;
    int ref;
    bool targets[kMaxBrushFaces];
    FaceTargetsFind(map, ui.selBrush, &ref, targets);
    if (ref >= 0) {
        y = FaceFieldRows(ui, ui.selBrushPtr, targets, ref, L, P, y);
        y = FaceButtonRows(map, ui, ui.selBrushPtr, targets, ref, L, P, y);
    }
    if (selected > 0) {
        if (GuiButton(Rectangle{ L + 33.75f, y, P - 67.5f, h + 4.5f }, "Apply Texture To Selected Faces")) {
            FacePanelApplyTexture(map, ui);
        }
        y += h + 9.0f;
    }
    return y;
}

int FaceTargetsFind(const MapDoc *map, int brush, int *reference, bool *targets)
{
    memset(targets, 0, sizeof(bool) * kMaxBrushFaces);
    *reference = -1;
    if (!MapBrushValid(map, brush)) return 0;
    int faces = ClampCount(map->brushes[brush].faceCount, kMaxBrushFaces);
    if (faces == 0) return 0;
    *reference = 0;
    bool anySelected = FaceSelCount(map) > 0;
    int n = 0;
    for (int f = 0; f < faces; f++) {
        targets[f] = !anySelected || FaceIsSel(brush, f);
        if (!targets[f]) continue;
        if (anySelected && n == 0) *reference = f;
        n++;
    }
    return n;
}

int FacePanelApply(MapDoc *map, UiState &ui, int op)
{
    int ref;
    bool targets[kMaxBrushFaces];
    int changed = 0;
    if (FaceTargetsFind(map, ui.selBrush, &ref, targets) > 0 && (op != FACE_OP_PASTE || ui.facePlacementValid)) {
        Brush *b = &map->brushes[ui.selBrush];
        if (op == FACE_OP_PASTE) changed = FacesTake(b, targets, &ui.facePlacementClipboard, FACE_PLACEMENT);
        for (int f = 0; f < kMaxBrushFaces && op != FACE_OP_PASTE; f++) {
            if (targets[f] && FaceOpApply(b, &b->faces[f], op)) changed++;
        }
    }
    if (changed == 0) {
        StatusSet(ui, "No face of Brush #%d changed: select faces of this brush.", ui.selBrush);
        return 0;
    }
    switch (op) {
    case FACE_OP_PASTE: StatusSet(ui, "Pasted placement onto %d face(s).", changed); break;
    case FACE_OP_FIT: StatusSet(ui, "%s", "Fitted texture to face bounds."); break;
    case FACE_OP_WORLD: StatusSet(ui, "%s", "Aligned to world axes."); break;
    case FACE_OP_RESET: StatusSet(ui, "%s", "Reset texture placement."); break;
    default: break;   // R90 turns the faces without a message
    }
    return changed;
}

int FaceFitPlacement(const Brush *brush, BrushFace *face)
{
    int n = FaceCornerCount(face);
    if (n < 3) return 0;
    Vector3 axisU, axisV;
    FaceTextureAxes(FaceNormalLocal(brush, face), &axisU, &axisV);
    float lo[2] = { kFitStart, kFitStart }, hi[2] = { -kFitStart, -kFitStart };
    for (int i = 0; i < n; i++) {
        Vector3 p = BrushVertWorld(brush, face->indices[i]);
        float uv[2] = { Vector3DotProduct(p, axisU), Vector3DotProduct(p, axisV) };
        for (int k = 0; k < 2; k++) {
            lo[k] = fminf(lo[k], uv[k]);
            hi[k] = fmaxf(hi[k], uv[k]);
        }
    }
    face->uvRotation = 0.0f;
    for (int k = 0; k < 2; k++) {
        float extent = hi[k] - lo[k];
        if (extent < kMinFitRange) extent = 1.0f;
        face->uvScale[k] = extent;
        face->uvOffset[k] = -lo[k] / extent;
    }
    return 1;
}

int FacePanelCopy(const MapDoc *map, UiState &ui)
{
    int ref;
    bool targets[kMaxBrushFaces];
    FaceTargetsFind(map, ui.selBrush, &ref, targets);
    if (ref < 0) return 0;
    ui.facePlacementClipboard = map->brushes[ui.selBrush].faces[ref];
    ui.facePlacementValid = true;
    StatusSet(ui, "%s", "Copied face texture placement.");
    return 1;
}

int FacePanelApplyTexture(MapDoc *map, UiState &ui)
{
    int selected = FaceSelCount(map);
    if (selected == 0) return 0;
    PushUndoState(map);
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    for (int b = 0; b < brushes; b++) {
        Brush *brush = &map->brushes[b];
        for (int f = 0; f < ClampCount(brush->faceCount, kMaxBrushFaces); f++) {
            if (FaceIsSel(b, f)) brush->faces[f].texture = ui.curTexture;
        }
    }
    StatusSet(ui, "Applied texture to %d face(s).", selected);
    return selected;
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// Writes the chosen placement fields of from into every target face; returns how many.
static int FacesTake(Brush *brush, const bool *targets, const BrushFace *from, unsigned parts)
{
    int n = 0;
    for (int f = 0; f < ClampCount(brush->faceCount, kMaxBrushFaces); f++) {
        if (!targets[f]) continue;
        BrushFace *face = &brush->faces[f];
        if (parts & FACE_SCALE_ROT) {
            face->uvScale[0] = from->uvScale[0];
            face->uvScale[1] = from->uvScale[1];
            face->uvRotation = from->uvRotation;
        }
        if (parts & FACE_OFFSET) {
            face->uvOffset[0] = from->uvOffset[0];
            face->uvOffset[1] = from->uvOffset[1];
        }
        if (parts & FACE_PROJECTION) face->projection = from->projection;
        if (parts & FACE_FLIP_U) face->flipU = from->flipU;
        if (parts & FACE_FLIP_V) face->flipV = from->flipV;
        if (parts & FACE_TINT) face->tint = from->tint;
        n++;
    }
    return n;
}

// One face placement button on one face; 1 when the face changed.
static int FaceOpApply(const Brush *brush, BrushFace *face, int op)
{
    switch (op) {
    case FACE_OP_R90: face->uvRotation = fmodf(face->uvRotation + 90.0f, 360.0f); return 1;
    case FACE_OP_FIT: return FaceFitPlacement(brush, face);
    case FACE_OP_WORLD:
        face->uvOffset[0] = face->uvOffset[1] = 0.0f;
        face->uvRotation = 0.0f;
        return 1;
    case FACE_OP_RESET:
        face->uvScale[0] = face->uvScale[1] = kResetUvScale;
        face->uvOffset[0] = face->uvOffset[1] = 0.0f;
        face->uvRotation = 0.0f;
        return 1;
    default: return 0;
    }
}

// Scale, rotation and offset fields and the projection toggles: the reference face's values on
// a working copy, which goes to the targets when the user changed it.
static float FaceFieldRows(UiState &ui, Brush *b, const bool *targets, int ref, float L, float P, float y)
{
    float h = ui.rowH;
    BrushFace work = b->faces[ref];
    const BrushFace &r = b->faces[ref];
    Rectangle field = { L + 27.0f, y, P - 54.0f, h };
    GuiNumField(NF_FACE_SCALE_U, field, "Scale U:", &work.uvScale[0], 0.05f, 64.0f, "%.3f");
    field.y += h;
    GuiNumField(NF_FACE_SCALE_V, field, "Scale V:", &work.uvScale[1], 0.05f, 64.0f, "%.3f");
    field.y += h;
    GuiNumField(NF_FACE_ROTATION, field, "Rot:", &work.uvRotation, 0.0f, 359.0f, "%.1f");
    field.y += h;
    if (fabsf(work.uvScale[0] - r.uvScale[0]) > kFaceEditEps || fabsf(work.uvScale[1] - r.uvScale[1]) > kFaceEditEps ||
        fabsf(work.uvRotation - r.uvRotation) > kFaceEditEps) {
        FacesTake(b, targets, &work, FACE_SCALE_ROT);
    }
    GuiNumField(NF_FACE_OFFSET_U, field, "Off U:", &work.uvOffset[0], -64.0f, 64.0f, "%.3f");
    field.y += h;
    GuiNumField(NF_FACE_OFFSET_V, field, "Off V:", &work.uvOffset[1], -64.0f, 64.0f, "%.3f");
    field.y += h;
    if (fabsf(work.uvOffset[0] - r.uvOffset[0]) > kFaceEditEps || fabsf(work.uvOffset[1] - r.uvOffset[1]) > kFaceEditEps) {
        FacesTake(b, targets, &work, FACE_OFFSET);
    }
    y = field.y;
    float w = (P - 72.0f) / 3.0f;
    Vector2 pointer = GetMousePosition();   // held to the panel's region: clipped toggles show no help
    for (int p = 0; p < kProjectionCount; p++) {
        Rectangle toggle = { L + 27.0f + (float)p * (w + 4.5f), y, w, h };
        if (CheckCollisionPointRec(pointer, toggle)) ui.tooltipText = kProjTooltip[p];
        bool on = r.projection == p;
        if (GuiToggle(toggle, kProjName[p], on) && !on) {
            work.projection = (uint8_t)p;
            FacesTake(b, targets, &work, FACE_PROJECTION);
        }
    }
    return y + h + 9.0f;
}

// Flips, R90, Copy, Paste, the tint fields and the Fit, World and Reset buttons.
static float FaceButtonRows(MapDoc *map, UiState &ui, Brush *b, const bool *targets, int ref, float L, float P, float y)
{
    float h = ui.rowH;
    BrushFace work = b->faces[ref];
    bool flipU = work.flipU != 0, flipV = work.flipV != 0;
    if (GuiToggle(Rectangle{ L + 27.0f, y, 130.5f, h }, "Flip U", flipU) != flipU) {
        work.flipU = flipU ? 0 : 1;
        FacesTake(b, targets, &work, FACE_FLIP_U);
    }
    if (GuiToggle(Rectangle{ L + 166.5f, y, 130.5f, h }, "Flip V", flipV) != flipV) {
        work.flipV = flipV ? 0 : 1;
        FacesTake(b, targets, &work, FACE_FLIP_V);
    }
    if (GuiButton(Rectangle{ L + 306.0f, y, 90.0f, h }, "R90")) FacePanelApply(map, ui, FACE_OP_R90);
    if (GuiButton(Rectangle{ L + 405.0f, y, 108.0f, h }, "Copy")) FacePanelCopy(map, ui);
    y += h + 9.0f;
    if (ui.facePlacementValid) {
        if (GuiButton(Rectangle{ L + 27.0f, y, P - 54.0f, h }, "Paste Placement")) FacePanelApply(map, ui, FACE_OP_PASTE);
        y += h + 9.0f;
    }
    work = b->faces[ref];
    Rectangle field = { L + 27.0f, y, P - 54.0f, h };
    bool tinted = GuiNumFieldByte(NF_FACE_TINT_R, field, "Face R:", &work.tint.r);
    field.y += h;
    tinted = GuiNumFieldByte(NF_FACE_TINT_G, field, "Face G:", &work.tint.g) || tinted;
    field.y += h;
    tinted = GuiNumFieldByte(NF_FACE_TINT_B, field, "Face B:", &work.tint.b) || tinted;
    if (tinted) {
        work.tint.a = 255;
        FacesTake(b, targets, &work, FACE_TINT);
    }
    y = field.y + h + 9.0f;
    float w = (P - 72.0f) / 3.0f;
    static const char *const kOpLabel[3] = { "Fit", "World", "Reset" };
    static const int kOps[3] = { FACE_OP_FIT, FACE_OP_WORLD, FACE_OP_RESET };
    for (int k = 0; k < 3; k++) {
        if (GuiButton(Rectangle{ L + 27.0f + (float)k * (w + 4.5f), y, w, h + 4.5f }, kOpLabel[k])) {
            FacePanelApply(map, ui, kOps[k]);
        }
    }
    return y + h + 13.5f;
}
