// The Render view with a real OpenGL context: it is drawn again exactly when its picture would
// change, and the brushes drawn in batches give the picture the brushes drawn one by one gave.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "raylib.h"
#include "bench/bench_map.h"
#include "editor/render_view.h"
#include "render/lights.h"
#include "render/mesh_cache.h"
#include "render/renderer.h"
#include "render/settings.h"

namespace {

constexpr int kImageW = 800, kImageH = 600;
constexpr int kSettleFrames = 4;   // a change shows within two frames: the edit, then the frame-end sync

class RenderViewGpu : public ::testing::Test {
protected:
    void SetUp() override
    {
        gLighting = LightingSettings{ QUALITY_MEDIUM, 1, 1, 0.0022f, 26.0f, 0.55f, 1.0f, 0.12f, 2.2f };
        gSettings.lighting = 1;
        gSettings.ambient = 0.35f;
        ASSERT_TRUE(ReloadRenderer(kImageW, kImageH)) << gRenderer.status;
        memset(&ui, 0, sizeof(ui));
        ui.cam3D = Camera3D{ { 12, 10, 12 }, { 0, 0, 0 }, { 0, 1, 0 }, 75, CAMERA_PERSPECTIVE };
        ui.showRenderOutput = 1;
        ui.renderTargets[kRenderOutputTarget] = LoadRenderTexture(kImageW, kImageH);
        RenderBenchMap(&map);
    }
    void TearDown() override
    {
        UnloadRenderTexture(ui.renderTargets[kRenderOutputTarget]);
        FreeRenderer();
    }
    // Frames of the loop's Render view phases until one draws nothing; returns the images drawn.
    int Settle()
    {
        int before = gRenderViewRedraws;
        for (int i = 0; i < kSettleFrames; i++) {
            int frameStart = gRenderViewRedraws;
            RenderPreviewPass(ui, &map);
            GatherLights(&map);
            if (gRenderer.ready) SyncBrushMeshes(&map);
            if (gRenderViewRedraws == frameStart && !RenderViewPending(ui, &map)) break;
        }
        return gRenderViewRedraws - before;
    }
    static UiState ui;
    static MapDoc map;
};
UiState RenderViewGpu::ui;
MapDoc RenderViewGpu::map;

}  // namespace

TEST_F(RenderViewGpu, IsDrawnAgainOnlyWhenItsPictureWouldChange)
{
    EXPECT_GE(Settle(), 1);
    EXPECT_EQ(Settle(), 0);
    EXPECT_FALSE(RenderViewPending(ui, &map));

    const struct { const char *what; bool redraws; std::function<void()> edit; } edits[] = {
        { "a brush moves", true, [] { map.brushes[7].origin.x += 0.5f; } },
        { "a World face moves (re-baked at the frame's end)", true, [] {
              map.brushes[9].faces[0].projection = PROJ_WORLD;
              map.brushes[9].origin.z += 1.0f;
          } },
        { "a brush's colour", true, [] { map.brushes[3].colour.r ^= 0x40; } },
        { "a brush is hidden", true, [] { map.brushes[4].hidden = 1; } },
        { "a light dims", true, [] { map.entities[1].brightness = 0.25f; } },
        { "an entity's tint", true, [] { map.entities[2].tint = RED; } },
        { "the camera", true, [] { ui.cam3D.position.y += 1.0f; } },
        { "the quality", true, [] { gLighting.quality = QUALITY_HIGH; ApplyRenderQuality(); } },
        { "the ambient light", true, [] { gSettings.ambient = 0.5f; } },
        { "the sky", true, [] { ui.skyStyle = SKY_NIGHT; } },
        { "the shaders reloaded", true, [] { ReloadRenderer(kImageW, kImageH); } },
        { "the selection and names", false, [] {
              ui.selBrush = 5;
              ui.selEntity = 3;
              map.brushes[5].name[0] = 'Q';
              map.entities[3].name[0] = 'Q';
          } },
        { "a brush's physics", false, [] { map.brushes[6].physics = 1; map.brushes[6].mass = 9.0f; } },
    };
    for (const auto &e : edits) {
        e.edit();
        int drawn = Settle();
        EXPECT_EQ(drawn >= 1, e.redraws) << e.what << ": " << drawn;
        EXPECT_LE(drawn, 2) << e.what;
        EXPECT_EQ(Settle(), 0) << e.what;
    }
    ui.showRenderOutput = 0;                    // a closed view never asks for a frame
    map.brushes[7].origin.x += 0.5f;
    EXPECT_FALSE(RenderViewPending(ui, &map));
}

namespace {

// Pixels of the two images whose channels differ by more than a rounding, and the largest
// difference of any channel.
struct ImageDiff {
    int pixels, largest;
};

ImageDiff CompareImages(const Image &a, const Image &b)
{
    ImageDiff d = { 0, 0 };
    const unsigned char *p = (const unsigned char *)a.data, *q = (const unsigned char *)b.data;
    for (int i = 0; i < a.width * a.height; i++) {
        int worst = 0;
        for (int c = 0; c < 3; c++) worst = std::max(worst, std::abs((int)p[i * 4 + c] - (int)q[i * 4 + c]));
        if (worst > 2) d.pixels++;
        d.largest = std::max(d.largest, worst);
    }
    return d;
}

}  // namespace

TEST_F(RenderViewGpu, TheBatchedBrushesDrawTheImageTheBrushesDrawnOneByOneDrew)
{
    map.brushes[17].texture = -1;               // two batches in a chunk: the library texture and none
    map.brushes[40].hidden = 1;                 // drawn all the same on the GPU path
    gLighting.aoStrength = 1.5f;
    const Camera3D cameras[2] = { ui.cam3D, { { -14, 6, -18 }, { 2, 0, 0 }, { 0, 1, 0 }, 60, CAMERA_PERSPECTIVE } };
    for (int q = 0; q < kQualityCount; q++) {
        gLighting.quality = (RenderQuality)q;
        ApplyRenderQuality();
        for (const Camera3D &camera : cameras) {
            ui.cam3D = camera;
            Image shot[2];
            for (int perBrush = 0; perBrush < 2; perBrush++) {
                gDrawPerBrush = perBrush;
                GatherLights(&map);
                SyncBrushMeshes(&map);
                RenderViewDraw(ui, &map);
                shot[perBrush] = LoadImageFromTexture(ui.renderTargets[kRenderOutputTarget].texture);
            }
            gDrawPerBrush = 0;
            ImageDiff d = CompareImages(shot[0], shot[1]);
            // Edges may round to the other side where a position is computed in another order.
            EXPECT_LT(d.pixels, kImageW * kImageH / 2000) << "quality " << q << ", largest " << d.largest;
            UnloadImage(shot[0]);
            UnloadImage(shot[1]);
        }
    }
}
