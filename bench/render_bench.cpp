// The Render view with a full map: milliseconds per frame at each render quality on the GPU path,
// beside the CPU fallback, and what the mesh cache costs at the end of a frame.
//
// Each frame draws the Render view into its 800 x 600 target and shows it in the window, so the
// GPU's work is finished by the buffer swap that ends the frame. Runs the real start-up from the
// source folder (for resources/shaders). Needs a display: run it under Xvfb.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "bench/bench_clock.h"
#include "bench/bench_map.h"
#include "editor/app.h"
#include "editor/windows/render_view.h"
#include "render/lights.h"
#include "render/mesh_cache.h"
#include "render/renderer.h"
#include "render/settings.h"

static constexpr int kWarmFrames = 10;
static constexpr int kFrames = 60;
static constexpr int kSyncRounds = 200;

// Median milliseconds per frame with the Render view drawn anew in every frame.
static double MeasureRenderView(UiState &ui, const char *label)
{
    std::vector<double> frames;
    for (int i = 0; i < kWarmFrames + kFrames; i++) {
        double t0 = NowMs();
        RenderViewDraw(ui, &activeMap);   // the pass would keep the image of a still scene
        GatherLights(&activeMap);
        if (gRenderer.ready) SyncBrushMeshes(&activeMap);
        BeginDrawing();
        ClearBackground(BLACK);
        const Texture2D &image = ui.renderTargets[kRenderOutputTarget].texture;
        DrawTextureRec(image, Rectangle{ 0, 0, (float)image.width, -(float)image.height }, Vector2{ 0, 0 }, WHITE);
        EndDrawing();
        if (i >= kWarmFrames) frames.push_back(NowMs() - t0);
    }
    std::sort(frames.begin(), frames.end());
    printf("%-28s median %7.2f ms/frame  (p10 %.2f, p90 %.2f; %d frames)\n", label, frames[kFrames / 2],
           frames[kFrames / 10], frames[kFrames * 9 / 10], kFrames);
    return frames[kFrames / 2];
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

    double gpu[kQualityCount];
    for (int q = 0; q < kQualityCount; q++) {
        gLighting.quality = (RenderQuality)q;
        ApplyRenderQuality();
        char label[64];
        snprintf(label, sizeof(label), "GPU, quality %d %s", q, kQualityName[q]);
        gpu[q] = MeasureRenderView(ui, label);
    }
    FreeRenderer();                  // what a missing shader leaves: the CPU fallback
    double cpu = MeasureRenderView(ui, "CPU shading (fallback)");
    static constexpr double kTarget[kQualityCount] = { 1.2, 0, 2.0, 3.0 };   // 0: none set
    for (int q = 0; q < kQualityCount; q++) {
        printf("GPU quality %d / CPU fallback     %5.2f x", q, gpu[q] / cpu);
        if (kTarget[q] > 0) printf("  (target at most %.1f x)", kTarget[q]);
        printf("\n");
    }
    AppShutDown(ui);
    return 0;
}
