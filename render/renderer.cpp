// renderer.cpp: the GPU renderer's entry points while no GPU path exists, and model drawing.
#include "render/renderer.h"

#include <cstdio>

#include "raymath.h"
#include "document/brush_geometry.h"
#include "project/assets.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
Renderer gRenderer;

static constexpr int kMaxTintedMaterials = 16;   // materials past this keep their own look

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
bool InitRenderer(int width, int height)
{
    (void)width;
    (void)height;
    gRenderer.ready = 0;
    snprintf(gRenderer.status, sizeof(gRenderer.status), "%s",
             "Shaders missing or failed to compile - using CPU shading. Check resources/shaders/");
    return false;
}

void FreeRenderer(void)
{
    gRenderer.ready = 0;
}

void ReleaseBorrowedMaterialTexture(void)
{
    // Nothing is borrowed while there is no shared lighting material.
}

bool RenderScene3D_GPU(const MapDoc *map, Camera3D camera, RenderTexture2D target, Color clear, int sky)
{
    (void)map;
    (void)camera;
    (void)target;
    (void)clear;
    (void)sky;
    return false;
}

Matrix EntityModelTransform(const Entity *entity)
{
    Vector3 r = Vector3Scale(entity->rotation, kDegToRad);
    return MatrixMultiply(MatrixMultiply(MatrixScale(entity->scale, entity->scale, entity->scale), MatrixRotateXYZ(r)),
                          MatrixTranslate(entity->position.x, entity->position.y, entity->position.z));
}

void DrawEntityModelShaded(const Entity *entity, bool lit)
{
    (void)lit;   // unlit until the GPU path brings the lighting program
    if (!AssetModelUsable(entity->model)) return;
    Model copy = gAssets.models[entity->model].model;   // materials are shared: restored below
    int overrideTex = AssetTextureUsable(entity->texture) ? entity->texture : -1;
    Color tint = (entity->tint.a != 0) ? entity->tint : WHITE;

    int n = copy.materialCount < kMaxTintedMaterials ? copy.materialCount : kMaxTintedMaterials;
    for (int i = 0; i < n; i++) {
        if (copy.materials == nullptr || copy.materials[i].maps == nullptr) n = 0;   // nothing to tint
    }
    Texture2D savedTex[kMaxTintedMaterials];
    Color savedColour[kMaxTintedMaterials];
    for (int i = 0; i < n; i++) {
        MaterialMap *map0 = &copy.materials[i].maps[MATERIAL_MAP_ALBEDO];
        savedTex[i] = map0->texture;
        savedColour[i] = map0->color;
        if (overrideTex >= 0) map0->texture = gAssets.textures[overrideTex].texture;
        map0->color = tint;
    }
    copy.transform = EntityModelTransform(entity);
    DrawModel(copy, Vector3{ 0.0f, 0.0f, 0.0f }, 1.0f, WHITE);
    for (int i = 0; i < n; i++) {
        MaterialMap *map0 = &copy.materials[i].maps[MATERIAL_MAP_ALBEDO];
        map0->texture = savedTex[i];
        map0->color = savedColour[i];
    }
}
