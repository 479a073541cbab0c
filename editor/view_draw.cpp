// view_draw.cpp: drawing the 3D and 2D views into their targets and onto the screen.
#include "editor/view_draw.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "raymath.h"
#include "rlgl.h"
#include "document/brush_geometry.h"
#include "document/draw_colours.h"
#include "document/selection.h"
#include "document/settings.h"
#include "document/topology.h"
#include "document/view_mapping.h"
#include "editor/gui.h"
#include "editor/layout.h"
#include "project/assets.h"
#include "render/brush_draw.h"
#include "render/draw_cache.h"
#include "render/gizmos.h"
#include "render/renderer.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static const char *const kViewTitle[kViewCount] = { "3D Perspective", "2D Top (X/Z)", "2D Front (X/Y)", "2D Side (Y/Z)" };

static constexpr Color kRed = { 230, 41, 55, 255 };
static constexpr Color kYellow = { 253, 249, 0, 255 };
static constexpr Color kGrey = { 130, 130, 130, 255 };
static constexpr Color kMaroon = { 190, 33, 55, 255 };
static constexpr Color kGreen = { 0, 228, 48, 255 };
static constexpr Color kDarkGreen = { 0, 158, 47, 255 };
static constexpr Color kReadoutFill = { 20, 21, 26, 210 };
static constexpr Color kLightBlue = { 102, 191, 255, 255 };
static constexpr Color kFaceOverlay = { 255, 160, 40, 110 };
static constexpr Color kMarqueeFill = { 255, 200, 60, 40 };
static constexpr float kMarqueeLine = 2.25f;
// Handle sizes as multiples of the vertex handle size: 3D view ...
static constexpr float kEdge3DSelected = 1.1f, kEdge3D = 0.8f, kVert3DSelected = 1.3f;
// ... and 2D views.
static constexpr float kFace2DSelected = 1.9f, kFace2D = 1.2f, kEdge2DSelected = 1.6f, kEdge2D = 1.0f;
static constexpr float kVert2DSelected = 1.9f, kVert2D = 1.4f;
static constexpr int kMaxHandleEdges = 128;
static constexpr int kWideGridLines = 60;      // the 3D view's unit grid
static constexpr int kFineGridLines = 20;      // the grid at twice the grid step
static constexpr float kEntityCubeReach = 1.2f;  // an entity's own box reaches no farther from it
static constexpr const char *kUncachedEnv = "KIRTO_UNCACHED_VIEWS";   // reference drawing for tests

int gViewRedraws[kViewCount];
static uint64_t viewKey[kViewCount];
static bool viewKeyValid[kViewCount];

// What an entity drawing pass puts out: the solids, the textured icons, then the lines.
enum EntityPass { PASS_SOLID = 0, PASS_ICONS = 1, PASS_LINES = 2, PASS_COUNT = 3 };

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static void Draw3DView(UiState &ui, const MapDoc *map);
static void Draw2DView(UiState &ui, const MapDoc *map, int view);
static void DrawEntity3D(const UiState &ui, const Entity *e, int index, int pass);
static void DrawEntity2D(const UiState &ui, const Entity *e, int index);
static int EntityInView(const ViewVolume *volume, const Entity *e, float reach);
static uint64_t ViewSceneKey(const UiState &ui, const MapDoc *map);
static uint64_t ViewKey(uint64_t scene, const UiState &ui, int view);
static void PushEntityFrame(const Entity *e);
static int ViewBrushSelected(const UiState &ui, int i);
static void Draw2DGrid(int view);
static void DrawBlockPreview(const UiState &ui);
static void DrawHandles3D(const UiState &ui, const Brush *b, int index);
static void DrawHandles2D(const UiState &ui, const Brush *b, int index);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void ViewportRenderPass(UiState &ui, const MapDoc *map)
{
    static const bool uncached = getenv(kUncachedEnv) != nullptr;
    gDrawUncached = uncached ? 1 : 0;
    MapDrawCacheUpdate(map);
    uint64_t scene = ViewSceneKey(ui, map);
    for (int v = 0; v < kViewCount; v++) {
        // A view whose inputs are all as they were keeps the image it already has.
        uint64_t key = ViewKey(scene, ui, v);
        if (!gDrawUncached && viewKeyValid[v] && viewKey[v] == key) continue;
        if (v == VIEW_3D) Draw3DView(ui, map);
        else Draw2DView(ui, map, v);
        viewKey[v] = key;
        viewKeyValid[v] = true;
        gViewRedraws[v]++;
    }
}

uint64_t ViewDrawKey(const UiState &ui, const MapDoc *map, int view)
{
    return ViewKey(ViewSceneKey(ui, map), ui, view);
}

void ViewportFrames(UiState &ui)
{
    const Texture2D &size = ui.renderTargets[VIEW_3D].texture;   // the four targets share one size
    Rectangle source = { 0.0f, 0.0f, (float)size.width, -(float)size.height };   // upright image
    Rectangle cover = RenderWindowRect(ui.screenW, ui.screenH);
    for (int v = 0; v < kViewCount; v++) {
        const Rectangle &r = ui.viewRect[v];
        // A view wholly under the open Render window would only be painted over.
        bool hidden = ui.showRenderOutput && r.x >= cover.x && r.y >= cover.y &&
                      r.x + r.width <= cover.x + cover.width && r.y + r.height <= cover.y + cover.height;
        if (!hidden) {
            DrawTexturePro(ui.renderTargets[v].texture, source, r, Vector2{ 0.0f, 0.0f }, 0.0f, WHITE);
            GuiStatusBar(Rectangle{ r.x, r.y, kViewTitleW, kViewTitleH }, kViewTitle[v]);
        }
        if (v == VIEW_3D && DrawCameraGizmo(r, &ui.cam3D, ui.mouse)) {
            // The fly camera goes on from the view the widget chose, not from its old heading.
            FlyHeadingFromCamera(ui.cam3D, &ui.flyYaw, &ui.flyPitch);
        }
    }
}

void CursorReadoutText(char *out, int outSize, int view, Vector3 p)
{
    switch (view) {
    case VIEW_TOP: snprintf(out, (size_t)outSize, "x %.2f   z %.2f", p.x, p.z); break;
    case VIEW_FRONT: snprintf(out, (size_t)outSize, "x %.2f   y %.2f", p.x, p.y); break;
    case VIEW_SIDE: snprintf(out, (size_t)outSize, "z %.2f   y %.2f", p.z, p.y); break;
    default: if (outSize > 0) out[0] = '\0'; break;
    }
}

void DrawCursorReadout(const UiState &ui)
{
    for (int v = VIEW_TOP; v <= VIEW_SIDE; v++) {
        const Rectangle &r = ui.viewRect[v];
        if (!CheckCollisionPointRec(ui.mouse, r)) continue;
        Vector3 p = ScreenToOrthoWorld(ui.mouse, r, ui.cam2D[v - 1], ui.orthoZoom, v);
        char text[64];
        CursorReadoutText(text, sizeof(text), v, p);
        Rectangle box = { r.x + 9.0f, r.y + r.height - 45.0f, 337.5f, 36.0f };
        DrawRectangleRec(box, kReadoutFill);
        GuiLabel(Rectangle{ box.x + 9.0f, box.y, 319.5f, 36.0f }, text);
        return;
    }
}

void DrawVertexMarquee(const UiState &ui)
{
    if (!ui.vertex.marqueeActive) return;
    Vector2 a = ui.vertex.marqueeStart, e = ui.vertex.marqueeEnd;
    Rectangle box = { fminf(a.x, e.x), fminf(a.y, e.y), fabsf(e.x - a.x), fabsf(e.y - a.y) };
    DrawRectangleRec(box, kMarqueeFill);
    DrawRectangleLinesEx(box, kMarqueeLine, kSelectionColour);
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// The handles of one active solid in the 3D view: the face overlay in face mode, edge midpoints
// in edge mode, and the vertices in vertex and edge modes.
static void DrawHandles3D(const UiState &ui, const Brush *b, int index)
{
    float size = gSettings.vertexSize;
    if (ui.morphMode == MORPH_FACE) {
        DrawBrushFaceHighlight(b, index, kFaceOverlay);
        return;
    }
    if (ui.morphMode == MORPH_EDGE) {
        static int pairs[kMaxHandleEdges][2];
        int edges = BrushBuildEdges(b, pairs, kMaxHandleEdges);
        for (int e = 0; e < edges; e++) {
            Vector3 p = BrushVertWorld(b, pairs[e][0]), q = BrushVertWorld(b, pairs[e][1]);
            bool selected = VtxIsSel(index, pairs[e][0]) && VtxIsSel(index, pairs[e][1]);
            float s = size * (selected ? kEdge3DSelected : kEdge3D);
            DrawCube(Vector3Scale(Vector3Add(p, q), 0.5f), s, s, s, selected ? kSelectionColour : kLightBlue);
            if (selected) DrawLine3D(p, q, kSelectionColour);
        }
    }
    for (int i = 0; i < ClampCount(b->vertCount, kMaxBrushVerts); i++) {
        bool selected = VtxIsSel(index, i);
        float s = selected ? size * kVert3DSelected : size;
        Vector3 p = BrushVertWorld(b, i);
        DrawCube(p, s, s, s, selected ? kSelectionColour : kYellow);
        bool hovered = index == ui.vertex.hoverBrush && i == ui.vertex.hoverVert;
        DrawCubeWires(p, s, s, s, hovered ? kRed : BLACK);
    }
}

// The handles of one active solid in a 2D view, as wire cubes.
static void DrawHandles2D(const UiState &ui, const Brush *b, int index)
{
    float size = gSettings.vertexSize;
    if (ui.morphMode == MORPH_FACE) {
        for (int f = 0; f < ClampCount(b->faceCount, kMaxBrushFaces); f++) {
            Vector3 c = BrushPointWorld(b, FaceCenterLocal(b, &b->faces[f]));
            bool selected = FaceIsSel(index, f);
            float s = size * (selected ? kFace2DSelected : kFace2D);
            DrawCubeWires(c, s, s, s, selected ? kSelectionColour : kLightBlue);
        }
    } else if (ui.morphMode == MORPH_EDGE) {
        static int pairs[kMaxHandleEdges][2];
        int edges = BrushBuildEdges(b, pairs, kMaxHandleEdges);
        for (int e = 0; e < edges; e++) {
            Vector3 mid = Vector3Scale(Vector3Add(BrushVertWorld(b, pairs[e][0]), BrushVertWorld(b, pairs[e][1])), 0.5f);
            bool selected = VtxIsSel(index, pairs[e][0]) && VtxIsSel(index, pairs[e][1]);
            float s = size * (selected ? kEdge2DSelected : kEdge2D);
            DrawCubeWires(mid, s, s, s, selected ? kSelectionColour : kLightBlue);
        }
    } else {
        for (int i = 0; i < ClampCount(b->vertCount, kMaxBrushVerts); i++) {
            bool selected = VtxIsSel(index, i);
            float s = size * (selected ? kVert2DSelected : kVert2D);
            DrawCubeWires(BrushVertWorld(b, i), s, s, s, selected ? kSelectionColour : kYellow);
        }
    }
}

// 1 when brush i counts as selected for drawing: its vertex-editing flag with the Vertex tool,
// otherwise being selBrush.
static int ViewBrushSelected(const UiState &ui, int i)
{
    if (ui.activeTool == TOOL_VERTEX) return (i >= 0 && i < kMaxBrushes && gVtxActive[i]) ? 1 : 0;
    return (i == ui.selBrush) ? 1 : 0;
}

static void Draw3DView(UiState &ui, const MapDoc *map)
{
    BeginTextureMode(ui.renderTargets[VIEW_3D]);
    ClearBackground(gSettings.view3DBackground);
    BeginMode3D(ui.cam3D);
    if (gSettings.show3DGrid) DrawGrid(kWideGridLines, 1.0f);

    ViewVolume volume = ViewVolumeCurrent();
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    for (int i = 0; i < brushes; i++) {
        const Brush *b = &map->brushes[i];
        if (b->hidden) continue;
        bool selected = ViewBrushSelected(ui, i);
        if (gDrawUncached) {
            DrawBrushGeometry(b, selected ? kRed : WHITE, selected, false);
            continue;
        }
        const BrushDrawCache *cache = &gBrushDrawCache[i];
        if (!ViewVolumeHasBox(&volume, cache->bounds)) continue;
        DrawCachedSolid(cache, selected ? kRed : WHITE);
        if (!selected) continue;
        rlBegin(RL_LINES);
        EmitCachedEdges(cache, BLACK);
        rlEnd();
    }
    if (ui.activeTool == TOOL_VERTEX) {
        for (int i = 0; i < brushes; i++) {
            if (gVtxActive[i] && !map->brushes[i].hidden) DrawHandles3D(ui, &map->brushes[i], i);
        }
    }
    if (gSettings.gizmoIcons) {
        for (int i = 0; i < brushes; i++) {
            if (map->brushes[i].physics) DrawPhysicsMarker(ui.cam3D, &map->brushes[i], gSettings.gizmoSize);
        }
    }
    // Solids, icons and lines each in one run, so the batch is not broken once per entity.
    int entities = ClampCount(map->entityCount, kMaxEntities);
    float reach = EntityGizmoReach(gSettings.gizmoSize);
    for (int pass = 0; pass < PASS_COUNT; pass++) {
        for (int i = 0; i < entities; i++) {
            const Entity *e = &map->entities[i];
            float r = fmaxf(reach + EntityDirectionReach(e, gSettings.gizmoSize), kEntityCubeReach);
            if (EntityInView(&volume, e, r)) DrawEntity3D(ui, e, i, pass);
        }
    }

    if (gSettings.show3DGrid) DrawGrid(kFineGridLines, 2.0f * gSettings.gridStep);
    EndMode3D();
    EndTextureMode();
}

static void Draw2DView(UiState &ui, const MapDoc *map, int view)
{
    BeginTextureMode(ui.renderTargets[view]);
    ClearBackground(gSettings.view2DBackground);
    BeginMode3D(ui.cam2D[view - 1]);
    if (gSettings.show2DGrid) Draw2DGrid(view);

    ViewVolume volume = ViewVolumeCurrent();
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    if (gDrawUncached) {
        for (int i = 0; i < brushes; i++) {
            DrawBrushWireframe(&map->brushes[i], ViewBrushSelected(ui, i) ? kYellow : kGrey);
        }
    } else {
        rlBegin(RL_LINES);
        for (int i = 0; i < brushes; i++) {
            const BrushDrawCache *cache = &gBrushDrawCache[i];
            if (ViewVolumeHasBox(&volume, cache->bounds)) EmitCachedEdges(cache, ViewBrushSelected(ui, i) ? kYellow : kGrey);
        }
        rlEnd();
    }
    if (ui.activeTool == TOOL_VERTEX) {
        for (int i = 0; i < brushes; i++) {
            if (gVtxActive[i]) DrawHandles2D(ui, &map->brushes[i], i);
        }
    }
    int entities = ClampCount(map->entityCount, kMaxEntities);
    for (int i = 0; i < entities; i++) {
        if (EntityInView(&volume, &map->entities[i], kEntityCubeReach)) DrawEntity2D(ui, &map->entities[i], i);
    }
    if (ui.activeTool == TOOL_BLOCK && ui.block.blockBoxShown && ui.block.blockView == view) DrawBlockPreview(ui);
    EndMode3D();
    EndTextureMode();
}

// The grid of a 2D view, in the view's own plane through the world origin (DrawGrid lies in X/Z,
// which the Front and Side views would see edge-on). It is the view's background: it writes no
// depth, so a wireframe behind its plane still shows where it runs along a grid line. Depth
// writing is applied when the batch is drawn, hence the batch is drawn on both sides of it.
static void Draw2DGrid(int view)
{
    rlDrawRenderBatchActive();
    rlDisableDepthMask();
    rlPushMatrix();
    if (view == VIEW_FRONT) rlRotatef(90.0f, 1.0f, 0.0f, 0.0f);   // X/Z turned into X/Y
    if (view == VIEW_SIDE) rlRotatef(90.0f, 0.0f, 0.0f, 1.0f);    // X/Z turned into Y/Z
    DrawGrid(kFineGridLines, 2.0f * gSettings.gridStep);
    rlPopMatrix();
    rlDrawRenderBatchActive();
    rlEnableDepthMask();
}

// The Block tool's box as a red wire box, one unit deep along the view's depth axis.
static void DrawBlockPreview(const UiState &ui)
{
    const BlockToolState &block = ui.block;
    Vector3 centre = Vector3Scale(Vector3Add(block.blockStart, block.blockEnd), 0.5f);
    Vector3 size = { fabsf(block.blockStart.x - block.blockEnd.x), fabsf(block.blockStart.y - block.blockEnd.y),
                     fabsf(block.blockStart.z - block.blockEnd.z) };
    if (block.blockView == VIEW_TOP) size.y = 1.0f;
    else if (block.blockView == VIEW_FRONT) size.z = 1.0f;
    else size.x = 1.0f;
    DrawCubeWiresV(centre, size, kRed);
}

// One pass of an entity: its model or box in PASS_SOLID, its icon in PASS_ICONS, gizmo and box
// lines in PASS_LINES.
static void DrawEntity3D(const UiState &ui, const Entity *e, int index, int pass)
{
    if (gSettings.gizmoIcons && e->kind != ENTITY_GENERIC) {
        int icon = EntityGizmoIcon(e);
        bool selected = index == ui.selEntity;
        if (pass == PASS_ICONS && icon >= 0) DrawEntityGizmoIcon(ui.cam3D, e, icon, gSettings.gizmoSize, selected);
        if (pass == PASS_LINES) DrawEntityGizmoLines(e, icon, gSettings.gizmoSize, selected);
        if (e->kind != ENTITY_PROP_PHYSICS) return;   // lights and the player start are their gizmo
    }
    if (e->hidden || pass == PASS_ICONS) return;
    if (AssetModelUsable(e->model)) {
        if (pass == PASS_SOLID) DrawEntityModelShaded(e, false);
        return;
    }
    PushEntityFrame(e);
    if (pass == PASS_SOLID) DrawCube(Vector3{ 0.0f, 0.0f, 0.0f }, 0.6f, 1.8f, 0.6f, kMaroon);
    else DrawCubeWires(Vector3{ 0.0f, 0.0f, 0.0f }, 0.6f, 1.8f, 0.6f, index == ui.selEntity ? kYellow : kGreen);
    rlPopMatrix();
}

// 1 when the entity (its own box or gizmo, reach around its position) may show in the view; an
// entity drawn as a model is always sent, its extent is the model's.
static int EntityInView(const ViewVolume *volume, const Entity *e, float reach)
{
    if (gDrawUncached || AssetModelUsable(e->model)) return 1;
    Vector3 r = { reach, reach, reach };
    return ViewVolumeHasBox(volume, BoundingBox{ Vector3Subtract(e->position, r), Vector3Add(e->position, r) });
}

// Everything the four views read that is the same for all of them: the map as drawn, the
// selection and tool state drawn into the views, the settings they read and the loaded assets.
static uint64_t ViewSceneKey(const UiState &ui, const MapDoc *map)
{
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    uint64_t h = HashBytes(0, &brushes, (int)sizeof(brushes));
    for (int i = 0; i < brushes; i++) {
        const Brush *b = &map->brushes[i];
        const uint8_t flags[2] = { b->hidden, b->physics };
        h = HashBytes(h, &gBrushDrawCache[i].hash, (int)sizeof(uint64_t));
        h = HashBytes(h, flags, (int)sizeof(flags));
    }
    int entities = ClampCount(map->entityCount, kMaxEntities);
    h = HashBytes(h, &entities, (int)sizeof(entities));
    for (int i = 0; i < entities; i++) {
        const Entity *e = &map->entities[i];
        const float values[13] = { e->position.x, e->position.y, e->position.z, e->rotation.x, e->rotation.y,
                                   e->rotation.z, e->scale, e->range, e->outerCone, (float)e->hidden,
                                   e->brightness, e->innerCone, (float)e->castsLight };
        const int32_t ids[4] = { e->model, e->texture, e->kind, (int32_t)e->physics };
        const Color colours[2] = { e->lightColour, e->tint };
        h = HashBytes(h, values, (int)sizeof(values));
        h = HashBytes(h, ids, (int)sizeof(ids));
        h = HashBytes(h, colours, (int)sizeof(colours));
    }
    const int32_t state[8] = { ui.selBrush, ui.selEntity, ui.activeTool, ui.morphMode,
                               ui.vertex.hoverBrush, ui.vertex.hoverVert,
                               ui.block.blockView, (int32_t)ui.block.blockBoxShown };
    const Vector3 block[2] = { ui.block.blockStart, ui.block.blockEnd };
    h = HashBytes(h, state, (int)sizeof(state));
    h = HashBytes(h, block, (int)sizeof(block));
    h = HashBytes(h, gVtxActive, (int)sizeof(gVtxActive));
    h = HashBytes(h, gVtxSel, (int)sizeof(gVtxSel));
    h = HashBytes(h, gFaceSel, (int)sizeof(gFaceSel));
    const float settings[4] = { gSettings.gridStep, gSettings.vertexSize, gSettings.gizmoSize, 0.0f };
    const Color backgrounds[2] = { gSettings.view3DBackground, gSettings.view2DBackground };
    const uint8_t switches[4] = { gSettings.show2DGrid, gSettings.show3DGrid, gSettings.gizmoIcons, 0 };
    h = HashBytes(h, settings, (int)sizeof(settings));
    h = HashBytes(h, backgrounds, (int)sizeof(backgrounds));
    h = HashBytes(h, switches, (int)sizeof(switches));
    return HashAssetTables(h);
}

// The scene key with what belongs to one view: its camera and its render target.
static uint64_t ViewKey(uint64_t scene, const UiState &ui, int view)
{
    const Texture2D &t = ui.renderTargets[view].texture;
    const int32_t target[4] = { view, (int32_t)t.id, t.width, t.height };
    uint64_t h = HashCamera(scene, (view == VIEW_3D) ? ui.cam3D : ui.cam2D[view - 1]);
    return HashBytes(h, target, (int)sizeof(target));
}

static void DrawEntity2D(const UiState &ui, const Entity *e, int index)
{
    if (EntityIsLight(e)) return;
    bool selected = (index == ui.selEntity);
    if (AssetModelUsable(e->model)) {
        Model model = gAssets.models[e->model].model;   // a copy: only its transform changes
        model.transform = EntityModelTransform(e);
        DrawModelWires(model, Vector3{ 0.0f, 0.0f, 0.0f }, 1.0f, selected ? kYellow : kDarkGreen);
        return;
    }
    PushEntityFrame(e);
    DrawCubeWires(Vector3{ 0.0f, 0.0f, 0.0f }, 0.8f, 1.8f, 0.8f, selected ? kYellow : kRed);
    rlPopMatrix();
}

// Pushes the entity's frame: translate, then roll about Z, yaw about Y, pitch about X.
static void PushEntityFrame(const Entity *e)
{
    rlPushMatrix();
    rlTranslatef(e->position.x, e->position.y, e->position.z);
    rlRotatef(e->rotation.z, 0.0f, 0.0f, 1.0f);
    rlRotatef(e->rotation.y, 0.0f, 1.0f, 0.0f);
    rlRotatef(e->rotation.x, 1.0f, 0.0f, 0.0f);
}
