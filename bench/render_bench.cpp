// The Render view with a full map: milliseconds per frame at each render quality on the GPU path,
// beside the CPU fallback, and what the mesh cache costs at the end of a frame.
//
// Each frame draws the Render view into its 800 x 600 target and shows it in the window, so the
// GPU's work is finished by the buffer swap that ends the frame. Every set-up is measured twice:
// with a still camera (the Render view drawn again as when a light or a shading setting changes,
// which keeps what depends only on the camera and the brushes) and with the camera turning about
// its target (the occlusion drawn anew every frame). The set-ups take turns over several rounds,
// so a machine that slows down part way through slows all of them alike. Runs the real start-up
// from the source folder (for resources/shaders). Needs a display: run it under Xvfb.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "bench/bench_clock.h"
#include "bench/bench_map.h"
#include "document/settings.h"
#include "editor/startup.h"
#include "editor/windows/render_view.h"
#include "render/lights.h"
#include "render/mesh_cache.h"
#include "render/renderer.h"
#include "raymath.h"

static constexpr int kRounds = 6;
static constexpr int kWarmFrames = 3;          // per round: programs built, targets sized, maps kept
static constexpr int kFrames = 12;             // measured per round
static constexpr int kSyncRounds = 200;
static constexpr int kFallback = kQualityCount;   // the set-up after the qualities
static constexpr float kTurnDegrees = 0.5f;       // per frame, about the camera's target

// One frame: the Render view drawn anew, the frame's lights and meshes, the image in the window.
static void DrawFrame(UiState &ui)
{
    RenderViewDraw(ui, &activeMap);   // the editor would keep the image of a still scene
    GatherLights(&activeMap);
    if (gRenderer.ready) SyncBrushMeshes(&activeMap);
    BeginDrawing();
    ClearBackground(BLACK);
    const Texture2D &image = ui.renderTargets[kRenderOutputTarget].texture;
    DrawTextureRec(image, Rectangle{ 0, 0, (float)image.width, -(float)image.height }, Vector2{ 0, 0 }, WHITE);
    EndDrawing();
}

// The camera turned by degrees about its target, around the world's up.
static void TurnCamera(Camera3D *camera, float degrees)
{
    Vector3 offset = Vector3Subtract(camera->position, camera->target);
    offset = Vector3RotateByAxisAngle(offset, Vector3{ 0.0f, 1.0f, 0.0f }, degrees * DEG2RAD);
    camera->position = Vector3Add(camera->target, offset);
}

// Set-up `setup` (a quality, or kFallback for the renderer left unloaded as a missing shader leaves
// it) for the frames that follow.
static bool UseSetup(const UiState &ui, int setup)
{
    if (setup == kFallback) {
        FreeRenderer();
        return true;
    }
    const Texture2D &view = ui.renderTargets[kRenderOutputTarget].texture;
    if (!gRenderer.ready && !InitRenderer(view.width, view.height)) return false;
    SettingsSetQuality(setup);
    ApplyRenderQuality();
    return true;
}

static void PrintFrames(const char *label, std::vector<double> &v)
{
    double median = Median(v);
    printf("%-36s median %7.2f ms/frame  (p10 %.2f, p90 %.2f; %d frames)\n", label, median, v[v.size() / 10],
           v[v.size() * 9 / 10], (int)v.size());
}

int main(void)
{
    static UiState ui;
    if (!ChangeDirectory(KIRTO_SOURCE_DIR) || !AppStartUp(ui)) {
        fprintf(stderr, "render_bench: no display (run under Xvfb) or no source folder\n");
        return 1;
    }
    SetTraceLogLevel(LOG_WARNING);
    SetTargetFPS(0);
    RenderBenchMap(&activeMap);
    if (!gRenderer.ready) {
        fprintf(stderr, "render_bench: %s\n", gRenderer.status);
        AppShutDown(ui);
        return 1;
    }
    printf("full map: %d brushes, %d entities (%d lights gathered, 8 uploaded); Render view %dx%d\n",
           activeMap.brushCount, activeMap.entityCount, (GatherLights(&activeMap), gLightCount),
           ui.renderTargets[kRenderOutputTarget].texture.width, ui.renderTargets[kRenderOutputTarget].texture.height);

    double t0 = NowMs();
    int baked = SyncBrushMeshes(&activeMap);
    printf("%-28s %7.2f ms  (%d meshes)\n", "mesh cache, first bake", NowMs() - t0, baked);
    t0 = NowMs();
    for (int i = 0; i < kSyncRounds; i++) baked += SyncBrushMeshes(&activeMap);
    printf("%-28s %7.3f ms  (%d re-baked)\n", "mesh cache, unchanged sync", (NowMs() - t0) / kSyncRounds, baked - 256);

    // frames[setup][turning]
    std::vector<double> frames[kQualityCount + 1][2];
    Camera3D home = ui.cam3D;
    for (int round = 0; round < kRounds; round++) {
        for (int setup = 0; setup <= kFallback; setup++) {
            for (int turning = 0; turning < 2; turning++) {
                if (!UseSetup(ui, setup)) {
                    fprintf(stderr, "render_bench: %s\n", gRenderer.status);
                    AppShutDown(ui);
                    return 1;
                }
                ui.cam3D = home;
                for (int i = 0; i < kWarmFrames + kFrames; i++) {
                    if (turning) TurnCamera(&ui.cam3D, kTurnDegrees);
                    double start = NowMs();
                    DrawFrame(ui);
                    if (i >= kWarmFrames) frames[setup][turning].push_back(NowMs() - start);
                }
            }
        }
    }
    static const char *const kCamera[2] = { "still", "turning" };
    double median[kQualityCount + 1][2];
    for (int setup = 0; setup <= kFallback; setup++) {
        for (int turning = 0; turning < 2; turning++) {
            char label[64];
            if (setup == kFallback) snprintf(label, sizeof(label), "CPU shading (fallback), %s", kCamera[turning]);
            else snprintf(label, sizeof(label), "GPU, quality %d %s, %s", setup, kQualityName[setup], kCamera[turning]);
            PrintFrames(label, frames[setup][turning]);
            median[setup][turning] = Median(frames[setup][turning]);
        }
    }
    static constexpr double kTarget[kQualityCount] = { 1.2, 0, 2.0, 3.0 };   // 0: none set
    for (int q = 0; q < kQualityCount; q++) {
        printf("GPU quality %d / CPU fallback      still %5.2f x, turning %5.2f x", q,
               median[q][0] / median[kFallback][0], median[q][1] / median[kFallback][1]);
        if (kTarget[q] > 0) printf("  (target at most %.1f x)", kTarget[q]);
        printf("\n");
    }
    AppShutDown(ui);
    return 0;
}
