// texture_tool.cpp: the Texture tool: painting and sampling faces in the 3D view, and texturing
// a whole brush or an entity's model.
#include "editor/tools/texture_tool.h"

#include <cstdio>

#include "document/selection.h"
#include "document/topology.h"
#include "document/undo.h"
#include "document/view_mapping.h"
#include "editor/input.h"
#include "editor/layout.h"
#include "project/assets.h"

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static bool PressIn3DView(const UiState &ui);
static void FacePlacementFrom(BrushFace *face, const BrushFace *from);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void TexturePaintPhase(MapDoc *map, UiState &ui)
{
    if (!InputGateOpen(ui) || ui.activeTool != TOOL_TEXTURE || ui.xform.transformMode != XFORM_NONE) return;
    if (!PressIn3DView(ui)) return;
    int brush = -1, face = -1;
    if (!PickFace3D(map, PickRay3D(ui), &brush, &face)) return;
    if (IsKeyDown(KEY_LEFT_ALT) || IsKeyDown(KEY_RIGHT_ALT)) {
        TextureSampleFace(map, ui, brush, face);
    } else {
        TexturePaintFace(map, ui, brush, face, ui.shiftHeld, ui.ctrlHeld);
    }
    ui.textureClickConsumed = true;
}

void TextureApplyPhase(MapDoc *map, UiState &ui)
{
    if (ui.uiBlocksInput || ui.showRenderOutput || ui.activeTool != TOOL_TEXTURE) return;
    if (ui.textureClickConsumed || ui.transformInputUsed || !PressIn3DView(ui)) return;
    Ray ray = PickRay3D(ui);
    // The first in index order, not the nearest; hidden brushes too.
    for (int i = 0; i < ClampCount(map->brushCount, kMaxBrushes); i++) {
        if (!GetRayCollisionBox(ray, GetBrushBoundingBox(&map->brushes[i])).hit) continue;
        PushUndoState(map);
        map->brushes[i].texture = ui.curTexture;
        ui.selBrush = i;
        ui.selEntity = -1;
        StatusSet(ui, "Applied texture to Brush #%d", i);
        return;
    }
    for (int i = 0; i < ClampCount(map->entityCount, kMaxEntities); i++) {
        Entity *e = &map->entities[i];
        Vector3 p = e->position;
        BoundingBox box = { Vector3{ p.x - kEntityApplyHalf, p.y, p.z - kEntityApplyHalf },
                            Vector3{ p.x + kEntityApplyHalf, p.y + kEntityApplyUp, p.z + kEntityApplyHalf } };
        if (!GetRayCollisionBox(ray, box).hit) continue;
        PushUndoState(map);
        e->texture = ui.curTexture;
        ui.selEntity = i;
        ui.selBrush = -1;
        StatusSet(ui, "Applied texture model-wise to Entity #%d (%s)", i, e->className);
        return;
    }
}

int TexturePaintFace(MapDoc *map, UiState &ui, int brush, int face, bool allFaces, bool withPlacement)
{
    if (!MapBrushValid(map, brush)) return 0;
    Brush *b = &map->brushes[brush];
    int faces = ClampCount(b->faceCount, kMaxBrushFaces);
    if (face < 0 || face >= faces) return 0;
    bool placement = withPlacement && ui.facePlacementValid;
    PushUndoState(map);
    for (int f = allFaces ? 0 : face; f < (allFaces ? faces : face + 1); f++) {
        b->faces[f].texture = ui.curTexture;
        if (placement) FacePlacementFrom(&b->faces[f], &ui.facePlacementClipboard);
    }
    if (allFaces) {
        StatusSet(ui, "Painted all %d faces of Brush #%d.", faces, brush);
    } else {
        StatusSet(ui, "Painted face %d of Brush #%d.", face, brush);
    }
    VtxClearSelection();
    FaceSet(brush, face, 1);
    ui.selBrush = brush;
    ui.selEntity = -1;
    return 1;
}

int TextureSampleFace(const MapDoc *map, UiState &ui, int brush, int face)
{
    if (!MapBrushValid(map, brush)) return 0;
    const Brush *b = &map->brushes[brush];
    if (face < 0 || face >= ClampCount(b->faceCount, kMaxBrushFaces)) return 0;
    const BrushFace *f = &b->faces[face];
    int t = f->texture >= 0 ? f->texture : b->texture;
    // A number outside the loaded textures leaves the current one; the placement is taken all the same.
    if (t >= 0 && t < gAssets.textureCount) ui.curTexture = t;
    ui.facePlacementClipboard = *f;
    ui.facePlacementValid = true;
    StatusSet(ui, "Sampled texture %d and its alignment.", t);
    return 1;
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// A left press in the 3D view for a tool: not over an open window, not on the orientation widget.
static bool PressIn3DView(const UiState &ui)
{
    const Rectangle &r = ui.viewRect[VIEW_3D];
    return ToolLeftPress(ui) && CheckCollisionPointRec(ui.mouse, r) && !IsMouseOverCameraGizmo(ui.mouse, r);
}

// The placement fields only: the corners and the texture stay the face's own.
static void FacePlacementFrom(BrushFace *face, const BrushFace *from)
{
    face->uvScale[0] = from->uvScale[0];
    face->uvScale[1] = from->uvScale[1];
    face->uvOffset[0] = from->uvOffset[0];
    face->uvOffset[1] = from->uvOffset[1];
    face->uvRotation = from->uvRotation;
    face->projection = from->projection;
    face->flipU = from->flipU;
    face->flipV = from->flipV;
    face->tint = from->tint;
}
