// The Render view with a real OpenGL context: it is drawn again exactly when its picture would
// change, and the brushes drawn in batches give the picture the brushes drawn one by one gave.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "raylib.h"
#include "bench/bench_map.h"
#include "document/settings.h"
#include "editor/windows/render_view.h"
#include "render/draw_cache.h"
#include "render/lights.h"
#include "render/mesh_cache.h"
#include "render/renderer.h"

namespace {

constexpr int kImageW = 800, kImageH = 600;
UiState ui;
MapDoc map;

class RenderViewGpu : public ::testing::Test {
protected:
    void SetUp() override
    {
        SettingsForTests().lighting =
            LightingSettings{ QUALITY_MEDIUM, 1, 1, 0.0022f, 26.0f, 0.55f, 1.5f, 0.12f, 2.2f };
        SettingsForTests().editor.lighting = 1;
        SettingsForTests().editor.ambient = 0.35f;
        ASSERT_TRUE(ReloadRenderer(kImageW, kImageH)) << gRenderer.status;
        memset(&ui, 0, sizeof(ui));
        ui.cam3D = Camera3D{ { 12, 10, 12 }, { 0, 0, 0 }, { 0, 1, 0 }, 75, CAMERA_PERSPECTIVE };
        ui.showRenderOutput = 1;
        ui.renderTargets[kRenderOutputTarget] = LoadLitTarget(kImageW, kImageH);
        RenderBenchMap(&map);
    }
    void TearDown() override
    {
        UnloadRenderTexture(ui.renderTargets[kRenderOutputTarget]);
        FreeRenderer();
    }
};

// The loop's Render view phases, frame after frame until one draws nothing and asks for no more
// (at most four); returns the images drawn.
int Settle()
{
    int before = gRenderViewRedraws;
    for (int frame = 0; frame < 4; frame++) {
        int drawn = gRenderViewRedraws;
        MapDrawCacheUpdate(&map);   // as the views' pass does
        RenderPreviewPass(ui, &map);
        GatherLights(&map);
        SyncBrushMeshes(&map);
        if (gRenderViewRedraws == drawn && !RenderViewPending(ui, &map)) break;
    }
    return gRenderViewRedraws - before;
}

// The Render view's image, with the brushes in batches or (perBrush) one by one.
Image RenderImage(int perBrush)
{
    gDrawPerBrush = perBrush;
    RenderViewDraw(ui, &map);
    gDrawPerBrush = 0;
    return LoadImageFromTexture(ui.renderTargets[kRenderOutputTarget].texture);
}

// Pixels of two images differing by more than rounding; both are unloaded.
int Differing(Image a, Image b)
{
    int differing = 0;
    const unsigned char *p = (const unsigned char *)a.data, *q = (const unsigned char *)b.data;
    for (int i = 0; i < kImageW * kImageH * 4; i += 4) {
        differing += std::max({ abs(p[i] - q[i]), abs(p[i + 1] - q[i + 1]), abs(p[i + 2] - q[i + 2]) }) > 2;
    }
    UnloadImage(a);
    UnloadImage(b);
    return differing;
}

// The batched image, drawn again until it builds no lighting program: then every batch is lit by
// the program built for its lights.
Image RenderSettled(void)
{
    for (int i = 0, built = -1; i < kMaxLitVariants && built != gLitVariantBuilds; i++) {
        built = gLitVariantBuilds;
        UnloadImage(RenderImage(0));
    }
    return RenderImage(0);
}

// Pixels of the batched image differing from the one drawn brush by brush by more than rounding;
// only a pixel on an edge may round to the other side (a position computed in another order).
int DifferingFromOneByOne(void)
{
    Image batched = RenderSettled();
    return Differing(batched, RenderImage(1));
}

}  // namespace

TEST_F(RenderViewGpu, IsDrawnAgainOnlyWhenItsPictureWouldChange)
{
    EXPECT_GE(Settle(), 1);
    EXPECT_EQ(Settle(), 0);
    const struct { const char *what; bool redraws; std::function<void()> edit; } edits[] = {
        { "a brush moves", true, [] { map.brushes[7].origin.x += 0.5f; } },
        { "a World face moves (re-baked at the frame's end)", true, [] {
              map.brushes[9].faces[0].projection = PROJ_WORLD;
              map.brushes[9].origin.z += 1.0f;
          } },
        { "a brush's colour", true, [] { map.brushes[3].colour.r ^= 0x40; } },
        { "a light dims", true, [] { map.entities[1].brightness = 0.25f; } },
        { "the camera", true, [] { ui.cam3D.position.y += 1.0f; } },
        { "the quality", true, [] { SettingsForTests().lighting.quality = QUALITY_HIGH; } },
        { "the sky", true, [] { ui.skyStyle = SKY_NIGHT; } },
        { "the shaders reloaded", true, [] { ReloadRenderer(kImageW, kImageH); } },
        { "the selection, names and physics", false, [] {
              ui.selBrush = 5;
              ui.selEntity = 3;
              map.brushes[5].name[0] = 'Q';
              map.entities[3].name[0] = 'Q';
              map.brushes[6].physics = 1;
          } },
    };
    for (const auto &e : edits) {
        e.edit();
        int drawn = Settle();
        EXPECT_TRUE(e.redraws ? (drawn == 1 || drawn == 2) : drawn == 0) << e.what << ": " << drawn;
        EXPECT_EQ(Settle(), 0) << e.what;
    }
    ui.showRenderOutput = 0;                    // a closed view never asks for a frame
    map.brushes[7].origin.x += 0.5f;
    EXPECT_FALSE(RenderViewPending(ui, &map));
}

TEST_F(RenderViewGpu, TheBatchedBrushesDrawTheImageTheBrushesDrawnOneByOneDrew)
{
    map.brushes[17].texture = -1;               // two batches in a chunk: the library texture and none
    map.brushes[40].hidden = 1;                 // drawn all the same on the GPU path
    for (int i = 0; i < map.entityCount; i++) map.entities[i].brightness = 3.0f;   // far reaches show
    const Camera3D cameras[2] = { ui.cam3D, { { -14, 6, -18 }, { 2, 0, 0 }, { 0, 1, 0 }, 60, CAMERA_PERSPECTIVE } };
    GatherLights(&map);
    SyncBrushMeshes(&map);
    for (int q = 0; q < kQualityCount; q++) {
        SettingsForTests().lighting.quality = (RenderQuality)q;
        ApplyRenderQuality();
        for (const Camera3D &camera : cameras) {
            ui.cam3D = camera;
            EXPECT_LT(DifferingFromOneByOne(), kImageW * kImageH / 4000) << "quality " << q;
        }
    }
}

TEST_F(RenderViewGpu, ManyLightListsKeepTheProgramsBoundedAndThePictureTheSame)
{
    // The lights change kinds in every round, so each image asks for programs for new light lists;
    // an image builds one at most, and past the number kept the least recently used make way.
    const int unlit = RendererLiveResources();
    SyncBrushMeshes(&map);
    for (int round = 0; round < kMaxLitVariants + 4; round++) {
        for (int i = 0; i < map.entityCount; i++) {
            Entity *e = &map.entities[i];
            if (EntityIsLight(e)) e->kind = (EntityKind)(ENTITY_LIGHT + (int)((uint32_t)(i * 40503 + round * 9973) >> 5) % 3);
        }
        GatherLights(&map);
        Image image = RenderImage(0);
        UnloadImage(image);
        EXPECT_LE(RendererLiveResources() - unlit, std::min(round + 1, kMaxLitVariants)) << "round " << round;
    }
    int kept = 0;
    for (const LitProgram &v : gRenderer.variants) kept += v.shader.id != 0;
    EXPECT_EQ(kept, kMaxLitVariants);
    EXPECT_LT(DifferingFromOneByOne(), kImageW * kImageH / 4000);
    FreeRenderer();
    EXPECT_EQ(RendererLiveResources(), 0);
}

TEST_F(RenderViewGpu, TheShadowMapAndTheOcclusionAreDrawnAgainOnlyWhenWhatTheyShowChanges)
{
    const struct { const char *what; int shadowDraws, occlusionDraws; std::function<void()> edit; } edits[] = {
        { "nothing", 0, 0, [] {} },
        { "the shading", 0, 0, [] {
              SettingsRecord &s = SettingsForTests();
              s.lighting.specular = 0.3f;
              s.lighting.gamma = 2.0f;
              s.editor.ambient = 0.5f;
          } },
        { "the occlusion's strength", 0, 1, [] { SettingsForTests().lighting.aoStrength = 0.5f; } },
        { "the occlusion's radius", 0, 1, [] { SettingsForTests().lighting.aoRadius = 1.0f; } },
        { "the camera about the same target", 0, 1, [] { ui.cam3D.position.y += 2.0f; } },
        { "a brush moves", 1, 1, [] { map.brushes[90].origin.y += 1.5f; } },
        { "a brush turns", 1, 1, [] { map.brushes[91].rotation.y += 20.0f; } },
        { "the shadow area", 1, 0, [] { SettingsForTests().lighting.shadowArea = 20.0f; } },
        { "the camera's target", 1, 1, [] { ui.cam3D.target.x += 1.0f; } },
        { "the lights turn", 1, 0, [] { for (int i = 0; i < map.entityCount; i++) map.entities[i].rotation.x -= 10.0f; } },
        { "the quality, with a larger map", 1, 1, [] {
              SettingsForTests().lighting.quality = QUALITY_HIGH;
              ApplyRenderQuality();
          } },
    };
    for (const auto &e : edits) {
        GatherLights(&map);
        SyncBrushMeshes(&map);
        UnloadImage(RenderImage(0));               // the maps of the scene before the edit
        e.edit();
        GatherLights(&map);
        SyncBrushMeshes(&map);
        int shadowsBefore = gShadowMapDraws, occlusionsBefore = gOcclusionDraws;
        Image kept = RenderImage(0);
        EXPECT_EQ(gShadowMapDraws - shadowsBefore, e.shadowDraws) << e.what;
        EXPECT_EQ(gOcclusionDraws - occlusionsBefore, e.occlusionDraws) << e.what;
        // The brushes drawn one by one draw their own maps each time: a map kept when it should not
        // have been shows in the shadows or the shading of the corners.
        EXPECT_LT(Differing(kept, RenderImage(1)), kImageW * kImageH / 4000) << e.what;
    }
}

TEST_F(RenderViewGpu, TheOcclusionOfTheTargetsOwnDepthMatchesADepthPassOfItsOwn)
{
    GatherLights(&map);
    SyncBrushMeshes(&map);
    RenderTexture2D &target = ui.renderTargets[kRenderOutputTarget];
    RenderTexture2D lit = target, plain = LoadRenderTexture(kImageW, kImageH);
    ASSERT_TRUE(DepthIsTexture(lit));
    ASSERT_FALSE(DepthIsTexture(plain));           // a renderbuffer: the occlusion draws its own depth
    for (RenderQuality q : { QUALITY_MEDIUM, QUALITY_HIGH }) {
        SettingsForTests().lighting.quality = q;
        ApplyRenderQuality();
        // The same camera on the same brushes would keep the occlusion: forget it before each.
        target = lit;
        gRenderer.occlusionKey = 0;
        Image fromTarget = RenderSettled();
        target = plain;
        gRenderer.occlusionKey = 0;
        int before = gOcclusionDraws;
        Image ownPass = RenderSettled();
        EXPECT_EQ(gOcclusionDraws - before, 1) << "quality " << q;
        EXPECT_LT(Differing(fromTarget, ownPass), kImageW * kImageH / 4000) << "quality " << q;
    }
    target = lit;
    UnloadRenderTexture(plain);
}
