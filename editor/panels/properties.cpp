// properties.cpp: the Object Properties tab: the vertex selection's centre and the selected
// brush's fields and buttons; the face placement section is face.cpp, the entity panel
// entity.cpp.
//
// The tab is immediate-mode: each frame it reads the records afresh and its fields write into
// them in place. A field shows a value outside its range without changing it; only what the user
// moves or types is written.
//
// Undo: rather than every widget taking its own snapshot, the tab keeps a copy of the shown record
// (the selected brush, else the selected entity) before its widgets run and compares after them.
// A change that no button of the tab took a snapshot for becomes one step, taken with the copy
// put back, so the snapshot is the map from before the change. A typed value changes the record
// only in the frame it is committed; a held press (a slider dragged) is one step for all its
// frames.
#include "editor/panels/right_panel.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "document/brush_geometry.h"
#include "document/primitives.h"
#include "document/selection.h"
#include "document/topology.h"
#include "document/undo.h"
#include "editor/input.h"
#include "editor/gui.h"
#include "editor/tools/vertex.h"
#include "editor/widgets.h"
#include "project/assets.h"

//----------------------------------------------------------------------------------
// Types and globals
//----------------------------------------------------------------------------------
static constexpr float kSizeChangeEps = 0.0001f;
static constexpr float kWeldGridShare = 0.25f;

// A record the tab can show, by value.
union ShownRecord {
    Brush brush;
    Entity entity;
};

// The record the tab shows (the selected brush, else the selected entity) as it was before this
// frame's widgets ran, and the held press whose changes already have their undo step.
struct PropertiesEdit {
    void *record;               // the shown record in the map; null when none is shown
    size_t size;
    ShownRecord before;
    uint32_t history;           // gUndo.serial before the widgets ran
    const void *pressRecord;    // the record the held press changed; null without one
    uint32_t pressHistory;      // gUndo.serial right after the press's step
};

static bool centreBoxesDrawn;
static PropertiesEdit propEdit;

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static float VertexSelectionPanel(MapDoc *map, UiState &ui, float L, float y);
static float BrushPropertiesPanel(MapDoc *map, UiState &ui, float L, float P, float y);
static float BrushPanelButtons(MapDoc *map, UiState &ui, float L, float P, float y);
static int BrushPanelCommit(MapDoc *map, UiState &ui, const Brush *work);
static float PropertiesTabBody(MapDoc *map, UiState &ui, const PanelPlace &place);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
float DrawPropertiesTab(MapDoc *map, UiState &ui, const PanelPlace &place)
{
    ui.rowH = kPropRowH;
    ui.selBrushPtr = MapBrushValid(map, ui.selBrush) ? &map->brushes[ui.selBrush] : nullptr;
    ui.selEntityPtr = MapEntityValid(map, ui.selEntity) ? &map->entities[ui.selEntity] : nullptr;
    // Showing an entity puts its colours in force; that is no edit, so it comes before the copy.
    if (ui.selBrushPtr == nullptr && ui.selEntityPtr != nullptr) EntityColoursHold(ui.selEntityPtr);
    PropertiesEditBegin(map, ui);
    float y = PropertiesTabBody(map, ui, place);
    PropertiesEditEnd(map, IsMouseButtonDown(MOUSE_BUTTON_LEFT));
    return y;
}

void PropertiesEditBegin(MapDoc *map, const UiState &ui)
{
    PropertiesEdit &e = propEdit;
    e.history = gUndo.serial;
    e.record = nullptr;
    if (MapBrushValid(map, ui.selBrush)) {
        e.record = &map->brushes[ui.selBrush];
        e.size = sizeof(Brush);
    } else if (MapEntityValid(map, ui.selEntity)) {
        e.record = &map->entities[ui.selEntity];
        e.size = sizeof(Entity);
    }
    if (e.record != nullptr) memcpy(&e.before, e.record, e.size);
}

int PropertiesEditEnd(MapDoc *map, bool pressHeld)
{
    static ShownRecord now;
    PropertiesEdit &e = propEdit;
    int stepped = 0;
    // A button that took its own snapshot (Flip, Weld, the vertex buttons...) has its step already.
    if (e.record != nullptr && memcmp(e.record, &e.before, e.size) != 0 && gUndo.serial == e.history) {
        if (e.pressRecord != e.record || e.pressHistory != gUndo.serial) {
            // The snapshot holds the map from before the change: the copy goes back in for it.
            memcpy(&now, e.record, e.size);
            memcpy(e.record, &e.before, e.size);
            PushUndoState(map);
            memcpy(e.record, &now, e.size);
            stepped = 1;
        }
        MarkMapDirty();   // again on every frame of a drag: an autosave in between has cleared it
        if (pressHeld) {
            e.pressRecord = e.record;
            e.pressHistory = gUndo.serial;
        }
    }
    if (!pressHeld) e.pressRecord = nullptr;
    return stepped;
}

void PropertiesTabEndFrame(UiState &ui)
{
    PropertyTextBoxesEndFrame(ui);
    if (!centreBoxesDrawn) ui.vtxCentreEdit[0] = ui.vtxCentreEdit[1] = ui.vtxCentreEdit[2] = false;
    centreBoxesDrawn = false;
}

int BrushSizeRescale(Brush *brush, Vector3 before)
{
    float *size = &brush->size.x;
    const float *old = &before.x;
    float factor[3];
    bool changed = false;
    for (int k = 0; k < 3; k++) {
        if (fabsf(size[k] - old[k]) <= kSizeChangeEps) {
            factor[k] = 1.0f;
            continue;
        }
        if (size[k] < kMinBrushFieldSize) size[k] = kMinBrushFieldSize;
        changed = true;
        // Magnitudes: a negative stored size must not mirror the brush and turn its faces inside out.
        factor[k] = fabsf(old[k]) > kSizeChangeEps ? fabsf(size[k] / old[k]) : 1.0f;
    }
    if (!changed) return 0;
    int n = ClampCount(brush->vertCount, kMaxBrushVerts);
    Vector3 scaled[kMaxBrushVerts];
    Vector3 c = BrushCentroidLocal(brush);
    for (int i = 0; i < n; i++) {
        Vector3 v = brush->verts[i];
        scaled[i] = Vector3{ c.x + (v.x - c.x) * factor[0], c.y + (v.y - c.y) * factor[1], c.z + (v.z - c.z) * factor[2] };
    }
    if (!VertsAreFinite(scaled, n)) {
        brush->size = before;
        return 0;
    }
    memcpy(brush->verts, scaled, sizeof(Vector3) * (size_t)n);
    return 1;
}

int VertexPanelSnap(MapDoc *map, UiState &ui)
{
    if (VertexSnapSelected(map, ui) == 0) return 0;
    StatusSet(ui, "%s", "Snapped selection to grid.");
    return 1;
}

int VertexPanelCollapse(MapDoc *map, UiState &ui)
{
    Vector3 centre;
    if (!GetVertexSelectionCenter(map, &centre)) return 0;
    PushUndoState(map);
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    for (int b = 0; b < brushes; b++) {
        Brush *brush = &map->brushes[b];
        for (int i = 0; i < ClampCount(brush->vertCount, kMaxBrushVerts); i++) {
            if (VtxIsSel(b, i)) BrushSetVertWorld(brush, i, centre);
        }
    }
    StatusSet(ui, "%s", "Collapsed selection to a single point.");
    return 1;
}

int BrushPanelFlip(MapDoc *map, UiState &ui, int axis)
{
    static Brush work;
    if (!MapBrushValid(map, ui.selBrush)) return 0;
    work = map->brushes[ui.selBrush];
    if (!BrushFlip(&work, axis)) {
        StatusSet(ui, "%s", "Flip refused: the brush is damaged.");
        return 0;
    }
    BrushPanelCommit(map, ui, &work);
    StatusSet(ui, "Flipped brush on %c.", "XYZ"[axis < 0 || axis > 2 ? 2 : axis]);
    return 1;
}

int BrushPanelWeld(MapDoc *map, UiState &ui)
{
    static Brush work;
    if (!MapBrushValid(map, ui.selBrush)) return 0;
    work = map->brushes[ui.selBrush];
    bool closed = BrushIsClosed(&work) != 0;
    int merged = BrushWeldVerts(&work, gSettings.gridStep * kWeldGridShare);
    // A weld that would open a closed brush, or leave too few faces to enclose anything, is refused.
    if (merged > 0 && closed && (!BrushIsClosed(&work) || work.faceCount < kMinSolidFaces)) {
        StatusSet(ui, "%s", "Weld refused: it would break the brush's closed shape.");
        return 0;
    }
    // Nothing merged changes nothing: no snapshot for it.
    if (merged > 0) BrushPanelCommit(map, ui, &work);
    VtxClearSelection();
    StatusSet(ui, "Welded %d vertex/vertices.", merged);
    return merged > 0 ? 1 : 0;
}

int BrushPanelFixWinding(MapDoc *map, UiState &ui)
{
    if (!MapBrushValid(map, ui.selBrush)) return 0;
    PushUndoState(map);
    BrushFixWinding(&map->brushes[ui.selBrush]);
    StatusSet(ui, "%s", "Recomputed face winding.");
    return 1;
}

int BrushPanelRebuild(MapDoc *map, UiState &ui)
{
    static Brush work;
    if (!MapBrushValid(map, ui.selBrush)) return 0;
    const Brush &b = map->brushes[ui.selBrush];
    BrushInit(&work, b.shape, b.origin, b.size, b.texture);
    work.rotation = b.rotation;
    work.physics = b.physics;
    memcpy(work.name, b.name, sizeof(work.name));
    work.name[kNameLen - 1] = '\0';
    BrushPanelCommit(map, ui, &work);
    VtxClearSelection();
    StatusSet(ui, "%s", "Rebuilt brush from its primitive shape.");
    return 1;
}

int BrushPanelApplyTexture(MapDoc *map, UiState &ui)
{
    if (!MapBrushValid(map, ui.selBrush)) return 0;
    PushUndoState(map);
    Brush *b = &map->brushes[ui.selBrush];
    b->texture = ui.curTexture;
    for (int f = 0; f < ClampCount(b->faceCount, kMaxBrushFaces); f++) b->faces[f].texture = -1;
    StatusSet(ui, "Applied texture %d to every face", ui.curTexture);
    return 1;
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
static float PropertiesTabBody(MapDoc *map, UiState &ui, const PanelPlace &place)
{
    float y = place.y;
    if (ui.activeTool == TOOL_VERTEX && VtxSelCount(map) > 0) y = VertexSelectionPanel(map, ui, place.x, y);
    if (ui.selBrushPtr != nullptr) return BrushPropertiesPanel(map, ui, place.x, place.w, y);
    if (ui.selEntityPtr != nullptr) return EntityPropertiesPanel(map, ui, place.x, place.w, y);
    GuiLabel(Rectangle{ place.x + 33.75f, y, 450.0f, ui.rowH }, "No object selected.");
    return y + ui.rowH;
}

static float VertexSelectionPanel(MapDoc *map, UiState &ui, float L, float y)
{
    static const char *const kAxisLabel[3] = { "X:", "Y:", "Z:" };
    float h = ui.rowH;
    centreBoxesDrawn = true;
    GuiLabel(Rectangle{ L + 33.75f, y, 450.0f, h }, TextFormat("%d Vertex/Vertices Selected", VtxSelCount(map)));
    y += h + 4.5f;
    Vector3 c = { 0.0f, 0.0f, 0.0f };
    GetVertexSelectionCenter(map, &c);
    // While one box is typed into, none is refreshed: the others keep what they showed.
    if (!ui.vtxCentreEdit[0] && !ui.vtxCentreEdit[1] && !ui.vtxCentreEdit[2]) {
        for (int i = 0; i < 3; i++) snprintf(ui.vtxCentreText[i], kCentreTextLen, "%.3f", (&c.x)[i]);
    }
    for (int i = 0; i < 3; i++) {
        GuiLabel(Rectangle{ L + 33.75f, y, 45.0f, h }, kAxisLabel[i]);
        // Escape drops the typed text; the box shows the centre again from the next frame.
        if (ui.vtxCentreEdit[i] && IsKeyPressed(KEY_ESCAPE)) ui.vtxCentreEdit[i] = false;
        if (GuiTextBox(Rectangle{ L + 85.5f, y, 157.5f, h }, ui.vtxCentreText[i], kCentreTextLen, ui.vtxCentreEdit[i])) {
            ui.vtxCentreEdit[i] = !ui.vtxCentreEdit[i];
            if (!ui.vtxCentreEdit[i]) VertexCentreCommit(map, ui, i, ui.vtxCentreText[i]);
        }
        if (i == 0 && GuiButton(Rectangle{ L + 258.75f, y, 112.5f, h }, "Snap")) VertexPanelSnap(map, ui);
        if (i == 1 && GuiButton(Rectangle{ L + 258.75f, y, 112.5f, h }, "Collapse")) VertexPanelCollapse(map, ui);
        if (i < 2) y += h + 4.5f;
    }
    return y + h + 18.0f;
}

static float BrushPropertiesPanel(MapDoc *map, UiState &ui, float L, float P, float y)
{
    static const char *const kAxisLabel[3] = { "X:", "Y:", "Z:" };
    static const char *const kRotLabel[3] = { "Pitch:", "Yaw:", "Roll:" };
    Brush *b = ui.selBrushPtr;
    float h = ui.rowH;
    Vector3 before = b->size;
    GuiLabel(Rectangle{ L + 33.75f, y, 450.0f, h }, TextFormat("Brush #%d Properties", ui.selBrush));
    y += h + 4.5f;
    GuiLabel(Rectangle{ L + 33.75f, y, 108.0f, h }, "Name:");
    PropertyTextBox(Rectangle{ L + 141.75f, y, 303.75f, h }, b->name, kNameLen, &ui.nameBoxEdit, 0);
    y += h + 9.0f;
    const char *shape = (b->shape >= 0 && b->shape < kBrushShapeCount) ? kShapeName[b->shape] : kShapeName[SHAPE_CUBE];
    GuiLabel(Rectangle{ L + 33.75f, y, P - 67.5f, h }, TextFormat("Built from: %s", shape));
    y += h + 9.0f;

    GuiLabel(Rectangle{ L + 27.0f, y, P - 54.0f, h }, "--- Position ---");
    y += h;
    for (int k = 0; k < 3; k++) {
        GuiNumField(NF_BRUSH_POS_X + k, Rectangle{ L + 27.0f, y, P - 54.0f, h }, kAxisLabel[k], &b->origin.x + k,
                    -kMapPositionLimit, kMapPositionLimit, "%.3f");
        y += k < 2 ? h : h + 6.75f;
    }
    GuiLabel(Rectangle{ L + 27.0f, y, P - 54.0f, h }, "--- Rotation (deg) ---");
    y += h;
    for (int k = 0; k < 3; k++) {
        GuiNumField(NF_BRUSH_ROT_X + k, Rectangle{ L + 27.0f, y, P - 54.0f, h }, kRotLabel[k], &b->rotation.x + k,
                    -180.0f, 180.0f, "%.1f");
        y += h;
    }
    if (GuiButton(Rectangle{ L + 27.0f, y, P - 54.0f, h }, "Reset Rotation")) b->rotation = Vector3{ 0.0f, 0.0f, 0.0f };
    y += h + 6.75f;
    GuiLabel(Rectangle{ L + 27.0f, y, P - 54.0f, h }, "--- Size ---");
    y += h;
    for (int k = 0; k < 3; k++) {
        GuiNumField(NF_BRUSH_SIZE_X + k, Rectangle{ L + 27.0f, y, P - 54.0f, h }, kAxisLabel[k], &b->size.x + k,
                    kMinBrushFieldSize, 100.0f, "%.3f");
        y += k < 2 ? h : h + 6.75f;
    }
    BrushSizeRescale(b, before);
    y = BrushPanelButtons(map, ui, L, P, y);

    GuiLabel(Rectangle{ L + 33.75f, y, 405.0f, h }, "--- Physics ---");
    y += h;
    PropertyCheckBox(Rectangle{ L + 33.75f, y, h - 9.0f, h - 9.0f }, "Physics Object", &b->physics);
    y += h + 4.5f;
    if (b->physics) {
        GuiNumField(NF_BRUSH_MASS, Rectangle{ L + 27.0f, y, P - 54.0f, h }, "Mass:", &b->mass, 0.1f, 500.0f, "%.2f");
        y += h;
        GuiNumField(NF_BRUSH_FRICTION, Rectangle{ L + 27.0f, y, P - 54.0f, h }, "Friction:", &b->friction, 0.0f, 2.0f,
                    "%.2f");
        y += h;
        GuiNumField(NF_BRUSH_BOUNCE, Rectangle{ L + 27.0f, y, P - 54.0f, h }, "Bounce:", &b->bounce, 0.0f, 1.0f,
                    "%.2f");
        y += h;
    }
    y += 9.0f;
    GuiLabel(Rectangle{ L + 33.75f, y, 405.0f, h }, "--- Texture ---");
    y += h;
    bool named = b->texture >= 0 && b->texture < gAssets.textureCount;
    GuiLabel(Rectangle{ L + 33.75f, y, 405.0f, h },
             TextFormat("Tex: %.63s", named ? gAssets.textures[b->texture].name : "None"));
    y += h;
    if (GuiButton(Rectangle{ L + 33.75f, y, P - 67.5f, h + 4.5f }, "Apply Current Texture")) {
        BrushPanelApplyTexture(map, ui);
    }
    y += h + 13.5f;
    return FaceTexturePanel(map, ui, L, P, y);
}

// The mesh line and the rows of buttons that rework the brush's vertices and faces.
static float BrushPanelButtons(MapDoc *map, UiState &ui, float L, float P, float y)
{
    static const char *const kFlipLabel[3] = { "Flip X", "Flip Y", "Flip Z" };
    const Brush *b = ui.selBrushPtr;
    float h = ui.rowH;
    GuiLabel(Rectangle{ L + 33.75f, y, 405.0f, h }, TextFormat("Mesh: %d verts, %d faces", b->vertCount, b->faceCount));
    y += h;
    float w3 = (P - 81.0f) / 3.0f;
    for (int k = 0; k < 3; k++) {
        if (GuiButton(Rectangle{ L + 33.75f + (float)k * (6.75f + w3), y, w3, h + 4.5f }, kFlipLabel[k])) {
            BrushPanelFlip(map, ui, k);
        }
    }
    y += h + 9.0f;
    float w2 = (P - 74.25f) / 2.0f;
    if (GuiButton(Rectangle{ L + 33.75f, y, w2, h + 4.5f }, "Weld Verts")) BrushPanelWeld(map, ui);
    if (GuiButton(Rectangle{ L + 40.5f + w2, y, w2, h + 4.5f }, "Fix Winding")) BrushPanelFixWinding(map, ui);
    y += h + 9.0f;
    if (GuiButton(Rectangle{ L + 33.75f, y, P - 67.5f, h + 4.5f }, "Rebuild As Primitive")) BrushPanelRebuild(map, ui);
    return y + h + 13.5f;
}

// Stores a checked copy of the selected brush with one snapshot before. No transform runs here:
// the press on the panel has already applied it.
static int BrushPanelCommit(MapDoc *map, UiState &ui, const Brush *work)
{
    PushUndoState(map);
    map->brushes[ui.selBrush] = *work;
    return 1;
}
