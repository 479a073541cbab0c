// The GPU renderer and the mesh cache with a real OpenGL context: resources and their release,
// quality, the CPU fallback when the lighting shader is missing or broken, re-baking, and a
// shadow that only the GPU path draws.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "raylib.h"
#include "document/primitives.h"
#include "project/assets.h"
#include "editor/render_view.h"
#include "render/lights.h"
#include "render/mesh_cache.h"
#include "render/renderer.h"
#include "render/settings.h"

namespace {

constexpr int kImageW = 800, kImageH = 600;
const char *const kShaderFiles[] = { "lighting.vs", "lighting.fs", "depth.vs", "depth.fs", "fullscreen.vs", "ssao.fs",
                                     "blur.fs" };

// Ground, a box floating above its middle and a sun straight above: the box's shadow falls on the
// ground at the origin, which the camera sees past the box's side.
void ShadowScene(MapDoc *map)
{
    memset(map, 0, sizeof(*map));
    BrushInit(&map->brushes[0], SHAPE_CUBE, Vector3{ 0, -0.5f, 0 }, Vector3{ 20, 1, 20 }, -1);
    map->brushes[0].colour = Color{ 200, 200, 200, 255 };
    BrushInit(&map->brushes[1], SHAPE_CUBE, Vector3{ 0, 3, 0 }, Vector3{ 3, 2, 3 }, -1);
    map->brushes[1].colour = WHITE;
    map->brushCount = 2;
    EntityInitLight(&map->entities[0], ENTITY_LIGHT_ENVIRONMENT, Vector3{ 0, 10, 0 }, WHITE, 1.0f, 100, 25, 45);
    map->entities[0].rotation = Vector3{ 90, 0, 0 };   // straight down
    map->entityCount = 1;
}

Camera3D ViewCamera(void)
{
    Camera3D cam = {};
    cam.position = Vector3{ 12, 10, 12 };
    cam.target = Vector3{ 0, 0, 0 };
    cam.up = Vector3{ 0, 1, 0 };
    cam.fovy = 75;
    cam.projection = CAMERA_PERSPECTIVE;
    return cam;
}

struct Shot {
    Color shadow, lit;   // the ground at shadowAt (the origin, under the box) and at (-5, 0, 5)
    Color modelSide;     // the +Z side of the model entity at (-5, 0.5, 5), if the map has it
    bool gpu;
};

// The Render view's own pass (GPU when the renderer is ready, else the CPU fallback) read back.
Shot RenderShot(const MapDoc *map, Vector3 shadowAt = Vector3{ 0, 0, 0 })
{
    static UiState ui;
    memset(&ui, 0, sizeof(ui));
    ui.cam3D = ViewCamera();
    ui.renderTargets[kRenderOutputTarget] = LoadRenderTexture(kImageW, kImageH);
    GatherLights(map);
    if (gRenderer.ready) SyncBrushMeshes(map);
    RenderPreviewPass(ui, map);
    Image img = LoadImageFromTexture(ui.renderTargets[kRenderOutputTarget].texture);
    ImageFlipVertical(&img);
    Vector2 under = GetWorldToScreenEx(shadowAt, ui.cam3D, kImageW, kImageH);
    Vector2 open = GetWorldToScreenEx(Vector3{ -5, 0, 5 }, ui.cam3D, kImageW, kImageH);
    Vector2 side = GetWorldToScreenEx(Vector3{ -5, 0.5f, 5.5f }, ui.cam3D, kImageW, kImageH);
    Shot s = { GetImageColor(img, (int)under.x, (int)under.y), GetImageColor(img, (int)open.x, (int)open.y),
               GetImageColor(img, (int)side.x, (int)side.y), gRenderer.ready != 0 };
    UnloadImage(img);
    UnloadRenderTexture(ui.renderTargets[kRenderOutputTarget]);
    return s;
}

std::string ShotText(const Shot &s)
{
    char text[96];
    snprintf(text, sizeof(text), "shadow (%d,%d,%d) lit (%d,%d,%d)", s.shadow.r, s.shadow.g, s.shadow.b, s.lit.r,
             s.lit.g, s.lit.b);
    return text;
}

// A working folder with the shader files, some of them changed; the tests run in it until restored.
struct ShaderFolder {
    char dir[64];
    explicit ShaderFolder(const char *missing, const char *broken)
    {
        snprintf(dir, sizeof(dir), "%s", "/tmp/kirto-gpu-XXXXXX");
        EXPECT_NE(mkdtemp(dir), nullptr);
        std::string shaders = std::string(dir) + "/resources/shaders/";
        EXPECT_EQ(system(("mkdir -p " + shaders).c_str()), 0);
        for (const char *name : kShaderFiles) {
            if (missing != nullptr && strcmp(name, missing) == 0) continue;
            std::string text = LoadFileText((std::string("resources/shaders/") + name).c_str());
            if (broken != nullptr && strcmp(name, broken) == 0) text += "\nthis line is not GLSL\n";
            SaveFileText((shaders + name).c_str(), text.c_str());
        }
        ChangeDirectory(dir);
    }
    ~ShaderFolder()
    {
        ChangeDirectory(KIRTO_SOURCE_DIR);
        EXPECT_EQ(system((std::string("rm -rf ") + dir).c_str()), 0);
    }
};

class Gpu : public ::testing::Test {
protected:
    void SetUp() override
    {
        gLighting = LightingSettings{ QUALITY_MEDIUM, 1, 1, 0.0022f, 26.0f, 0.55f, 1.0f, 0.12f, 2.2f };
        gSettings.lighting = 1;
        gSettings.ambient = 0.35f;
        ASSERT_TRUE(ReloadRenderer(720, 450)) << gRenderer.status;
    }
    void TearDown() override { FreeRenderer(); }
};

}  // namespace

TEST_F(Gpu, StartsReadyReloadsWithoutLeakingAndReleasesEverythingOnce)
{
    EXPECT_STREQ(gRenderer.status, "Renderer: GPU  shadows=yes  ssao=yes  shadowmap=1536px");
    EXPECT_TRUE(gRenderer.targetsOk);
    EXPECT_EQ(gRenderer.ssaoWidth, 360);
    EXPECT_EQ(gRenderer.ssaoHeight, 225);
    // Four programs, the material, the shadow map and three sized targets.
    EXPECT_EQ(RendererLiveResources(), 9);
    MapDoc map;
    ShadowScene(&map);
    EXPECT_EQ(SyncBrushMeshes(&map), 2);
    for (int i = 0; i < 3; i++) {
        ASSERT_TRUE(ReloadRenderer(640 + i, 400));
        EXPECT_EQ(RendererLiveResources(), 9) << "reload " << i;
        EXPECT_FALSE(gMeshCache[0].valid);     // the cache fills again at the next sync
    }
    InitRenderer(720, 450);                    // a second start without a release strands nothing
    EXPECT_EQ(RendererLiveResources(), 9);
    FreeRenderer();
    EXPECT_EQ(RendererLiveResources(), 0);
    EXPECT_FALSE(gRenderer.ready);
    FreeRenderer();                            // shutdown after a release: nothing twice
    EXPECT_EQ(RendererLiveResources(), 0);
    EXPECT_FALSE(RenderScene3D_GPU(&map, ViewCamera(), RenderTexture2D{}, BLACK, SKY_DAY));
}

TEST_F(Gpu, QualityPicksTheShadowMapAndTinySizesKeepTheTargets)
{
    unsigned int before = gRenderer.shadowMap.id;
    gLighting.quality = QUALITY_LOW;
    ApplyRenderQuality();
    EXPECT_EQ(gRenderer.shadowMapSize, 1024);
    EXPECT_EQ(gRenderer.shadowMap.depth.width, 1024);
    EXPECT_NE(gRenderer.shadowMap.id, 0u);
    before = gRenderer.shadowMap.id;
    gLighting.quality = QUALITY_OFF;           // also 1024: the map stays
    ApplyRenderQuality();
    EXPECT_EQ(gRenderer.shadowMap.id, before);
    gLighting.quality = QUALITY_HIGH;
    ApplyRenderQuality();
    EXPECT_EQ(gRenderer.shadowMapSize, 2048);
    EXPECT_EQ(RendererLiveResources(), 9);
    EXPECT_TRUE(gRenderer.targetsOk);

    ResizeRendererTargets(1, 600);             // ignored
    EXPECT_EQ(gRenderer.depthTarget.texture.width, 720);
    ResizeRendererTargets(800, 600);
    EXPECT_EQ(gRenderer.depthTarget.texture.width, 800);
    EXPECT_EQ(gRenderer.ssaoHeight, 300);
    // "Reload Shaders" from a window too small for a view keeps the last size.
    ASSERT_TRUE(ReloadRenderer(0, 1));
    EXPECT_EQ(gRenderer.depthTarget.texture.width, 800);
    EXPECT_EQ(gRenderer.depthTarget.texture.height, 600);
    ASSERT_TRUE(ReloadRenderer(2, 2));
    EXPECT_EQ(gRenderer.ssaoWidth, 1);
    EXPECT_EQ(gRenderer.ssaoHeight, 1);
    EXPECT_EQ(RendererLiveResources(), 9);
}

TEST_F(Gpu, FallsBackToCpuShadingWhenTheLightingShaderIsMissingOrBroken)
{
    const char *const kFail = "Shaders missing or failed to compile - using CPU shading. Check resources/shaders/";
    MapDoc map;
    ShadowScene(&map);
    const struct { const char *missing, *broken; bool ready; } cases[] = {
        { "lighting.fs", nullptr, false }, { "lighting.vs", nullptr, false }, { nullptr, "lighting.fs", false },
        { nullptr, "lighting.vs", false }, { "ssao.fs", nullptr, true }, { nullptr, "blur.fs", true },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.missing ? "missing " : "broken ") + (c.missing ? c.missing : c.broken));
        FreeRenderer();
        ShaderFolder folder(c.missing, c.broken);
        EXPECT_EQ(ReloadRenderer(720, 450), c.ready);
        EXPECT_EQ(gRenderer.ready != 0, c.ready);
        if (!c.ready) {
            EXPECT_STREQ(gRenderer.status, kFail);
            EXPECT_EQ(SyncBrushMeshes(&map), 2);   // harmless, though the frame loop skips it
            FreeMeshCache();
        }
        Shot s = RenderShot(&map);             // either path draws the scene
        EXPECT_EQ(s.gpu, c.ready);
        EXPECT_GT(s.lit.r, 60) << ShotText(s);
        FreeRenderer();
        EXPECT_EQ(RendererLiveResources(), 0);
    }
}

TEST_F(Gpu, TheCacheRebakesOnlyTheBrushesThatChanged)
{
    MapDoc map;
    memset(&map, 0, sizeof(map));
    for (int i = 0; i < 10; i++) {
        BrushInit(&map.brushes[i], i % kBrushShapeCount, Vector3{ (float)i * 3, 0, 0 }, Vector3{ 2, 2, 2 }, -1);
    }
    map.brushCount = 10;
    EXPECT_EQ(SyncBrushMeshes(&map), 10);
    EXPECT_EQ(SyncBrushMeshes(&map), 0);
    EXPECT_EQ(gMeshCache[0].triangleCount, 12);
    EXPECT_EQ(gMeshCache[0].mesh.vertexCount, 36);

    for (int f = 0; f < map.brushes[2].faceCount; f++) map.brushes[2].faces[f].projection = PROJ_LOCAL;
    EXPECT_EQ(SyncBrushMeshes(&map), 1);       // the projection itself changed the hash
    map.brushes[2].origin.y += 5;              // Local faces: a move is not a re-bake
    map.brushes[2].colour = RED;
    map.brushes[2].texture = 4;
    EXPECT_EQ(SyncBrushMeshes(&map), 0);
    map.brushes[2].faces[1].tint.b = 10;
    map.brushes[5].origin.x += 1;              // World faces: the move re-bakes
    EXPECT_EQ(SyncBrushMeshes(&map), 2);

    // Deleting brush 3 moves 4..9 down a slot: each of slots 3..8 re-bakes, slot 9 is unloaded.
    MapRemoveBrush(&map, 3);
    EXPECT_EQ(SyncBrushMeshes(&map), 6);
    EXPECT_FALSE(gMeshCache[9].valid);
    EXPECT_EQ(gMeshCache[9].hash, 0u);

    // A brush without a face of three corners stays without a mesh and is tried every frame.
    map.brushes[0].faceCount = 0;
    EXPECT_EQ(SyncBrushMeshes(&map), 1);
    EXPECT_EQ(SyncBrushMeshes(&map), 1);
    EXPECT_FALSE(gMeshCache[0].valid);
    map.brushCount = 0;
    EXPECT_EQ(SyncBrushMeshes(&map), 0);
    for (const MeshCacheEntry &e : gMeshCache) EXPECT_FALSE(e.valid);
}

TEST_F(Gpu, ABlockedSunShadowsTheGroundOnlyOnTheGpuAndOnlyWithShadows)
{
    MapDoc map;
    ShadowScene(&map);
    Shot gpu = RenderShot(&map);
    ASSERT_TRUE(gpu.gpu);
    EXPECT_LT(gpu.shadow.r * 4, gpu.lit.r * 3) << ShotText(gpu);
    gLighting.quality = QUALITY_LOW;           // hard shadows, no occlusion
    Shot low = RenderShot(&map);
    EXPECT_LT(low.shadow.r * 4, low.lit.r * 3) << ShotText(low);
    gLighting.quality = QUALITY_HIGH;
    Shot high = RenderShot(&map);
    EXPECT_LT(high.shadow.r * 4, high.lit.r * 3) << ShotText(high);
    gLighting.quality = QUALITY_OFF;           // still the GPU path, without a shadow pass
    Shot off = RenderShot(&map);
    EXPECT_TRUE(off.gpu);
    EXPECT_NEAR(off.shadow.r, off.lit.r, 3) << ShotText(off);
    gLighting.quality = QUALITY_MEDIUM;
    gLighting.shadows = 0;
    Shot noShadows = RenderShot(&map);
    EXPECT_GT(noShadows.shadow.r * 4, noShadows.lit.r * 3) << ShotText(noShadows);

    FreeRenderer();                            // the CPU fallback: one flat colour per face
    Shot cpu = RenderShot(&map);
    EXPECT_FALSE(cpu.gpu);
    EXPECT_EQ(cpu.shadow.r, cpu.lit.r) << ShotText(cpu);
    EXPECT_NE(cpu.lit.r, gpu.lit.r) << ShotText(cpu) << " / " << ShotText(gpu);
}

TEST_F(Gpu, EntityModelsAreLitOnTheGpuPathAndTheirMaterialsComeBackUnchanged)
{
    MapDoc map;
    ShadowScene(&map);
    gAssets.models[0].model = LoadModelFromMesh(GenMeshCube(1, 1, 1));
    gAssets.models[0].loaded = true;
    gAssets.modelCount = 1;
    Entity *prop = &map.entities[map.entityCount++];
    memset(prop, 0, sizeof(*prop));
    prop->position = Vector3{ -5, 0.5f, 5 };
    prop->scale = 1;
    prop->model = 0;
    prop->texture = -1;
    prop->tint = Color{ 255, 0, 0, 255 };
    const Material &mat = gAssets.models[0].model.materials[0];
    unsigned int shader = mat.shader.id, texture = mat.maps[MATERIAL_MAP_ALBEDO].texture.id;

    // The sun is straight above: a side gets ambient only on the GPU, the full tint unlit.
    Shot gpu = RenderShot(&map);
    EXPECT_GT(gpu.modelSide.r, 80);
    EXPECT_LT(gpu.modelSide.r, 200);
    EXPECT_EQ(gpu.modelSide.g, 0);
    FreeRenderer();
    Shot cpu = RenderShot(&map);
    EXPECT_EQ(cpu.modelSide.r, 255);
    EXPECT_EQ(mat.shader.id, shader);
    EXPECT_EQ(mat.maps[MATERIAL_MAP_ALBEDO].texture.id, texture);
    EXPECT_EQ(mat.maps[MATERIAL_MAP_METALNESS].texture.id, 0u);
    EXPECT_EQ(mat.maps[MATERIAL_MAP_OCCLUSION].texture.id, 0u);
    EXPECT_EQ(mat.maps[MATERIAL_MAP_ALBEDO].color.g, 255);   // the tint was the entity's, for its draw only

    UnloadModel(gAssets.models[0].model);
    memset(&gAssets.models[0], 0, sizeof(gAssets.models[0]));
    gAssets.modelCount = 0;
}

TEST_F(Gpu, OcclusionDarkensTheFootOfAWallWhereTheLitPassDrawsIt)
{
    // No light, so the ambient term (which the occlusion scales) is all there is.
    MapDoc map;
    ShadowScene(&map);
    map.entityCount = 0;
    BrushInit(&map.brushes[1], SHAPE_CUBE, Vector3{ 0, 1, 0 }, Vector3{ 6, 2, 0.5f }, -1);
    map.brushes[1].colour = WHITE;
    gLighting.shadows = 0;
    gLighting.quality = QUALITY_HIGH;
    gLighting.aoRadius = 1.0f;
    gLighting.aoStrength = 2.0f;
    Shot withAo = RenderShot(&map, Vector3{ 0, 0, 0.4f });
    gLighting.ssao = 0;
    Shot without = RenderShot(&map, Vector3{ 0, 0, 0.4f });
    // A depth prepass drawn with another shape than the lit pass puts the dark band elsewhere.
    EXPECT_LT(withAo.shadow.r * 5, without.shadow.r * 4) << ShotText(withAo) << " / " << ShotText(without);
    EXPECT_NEAR(withAo.lit.r, without.lit.r, 6) << ShotText(withAo) << " / " << ShotText(without);
}
