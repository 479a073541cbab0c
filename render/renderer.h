// renderer.h: the GPU renderer of the Render view, as far as the rest of the editor sees it.
//
// The renderer is optional: while it is not ready, the Render view draws on CPU shading. This
// build has no GPU path yet, so InitRenderer always reports not ready and every GPU entry point
// refuses at once.
#pragma once

#include <cstdint>
#include "raylib.h"
#include "document/map_records.h"

constexpr int kRendererStatusLen = 160;

struct Renderer {
    uint8_t ready;                       // the lighting program is usable
    char status[kRendererStatusLen];     // one line for the Settings tab
};

extern Renderer gRenderer;

// Sets up the GPU renderer for a width x height view; false means CPU shading only.
bool InitRenderer(int width, int height);
// Releases whatever InitRenderer made; the renderer is not ready afterwards.
void FreeRenderer(void);
// Gives back any library texture the renderer borrowed, before the library unloads textures.
void ReleaseBorrowedMaterialTexture(void);
// Draws the map lit into target; false (nothing drawn) when the GPU path cannot run.
bool RenderScene3D_GPU(const MapDoc *map, Camera3D camera, RenderTexture2D target, Color clear, int sky);
// Scale, then pitch, yaw and roll, then the entity's position.
Matrix EntityModelTransform(const Entity *entity);
// Draws the entity's model (if usable) with its transform, texture override and tint; lit uses
// the lighting program when the renderer is ready.
void DrawEntityModelShaded(const Entity *entity, bool lit);
