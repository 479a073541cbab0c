// texture_tool.h: the Texture tool: painting and sampling faces, and texturing a whole brush or
// an entity's model.
#pragma once

#include "raylib.h"
#include "document/map_records.h"
#include "editor/ui_state.h"

constexpr float kEntityApplyHalf = 0.8f;   // entity box for texturing: 0.8 to each side ...
constexpr float kEntityApplyUp = 1.8f;     // ... and 1.8 up from the position

// Phase 9: a press on a face in the 3D view paints it (Shift: every face of its brush; Ctrl: with
// the sampled placement) or, with Alt, samples its texture and placement. Uses up the press.
void TexturePaintPhase(MapDoc *map, UiState &ui);
// Phase 13: a press in the 3D view that hit no face textures the first brush, else entity, whose
// box the ray crosses.
void TextureApplyPhase(MapDoc *map, UiState &ui);
// Paints face `face` of brush `brush` (all its faces with allFaces) with ui.curTexture, and the
// clipboard's placement with withPlacement; one snapshot; selects the face. 1, or 0 for a bad index.
int TexturePaintFace(MapDoc *map, UiState &ui, int brush, int face, bool allFaces, bool withPlacement);
// Takes the face's texture (the brush's when the face has none) as the current texture when it
// is loaded, and the whole face into the placement clipboard. 1, or 0 for a bad index.
int TextureSampleFace(const MapDoc *map, UiState &ui, int brush, int face);
