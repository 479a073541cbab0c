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
#include "document/primitives.h"
#include "editor/app.h"
#include "editor/render_view.h"
#include "render/lights.h"
#include "render/mesh_cache.h"
#include "render/renderer.h"
#include "render/settings.h"

static constexpr int kWarmFrames = 10;
static constexpr int kFrames = 60;
static constexpr int kSyncRounds = 200;

// 256 brushes of every shape on a 16 x 16 grid, some turned, some with Fit faces, and 256
// entities of every kind above them: lights of all three kinds among them.
static void FullMap(MapDoc *map)
{
    memset(map, 0, sizeof(*map));
    for (int b = 0; b < kMaxBrushes; b++) {
        Brush *brush = &map->brushes[b];
        Vector3 at = { (float)(b % 16) * 2.5f - 20.0f, (float)(b % 3) * 0.5f, (float)(b / 16) * 2.5f - 20.0f };
        BrushInit(brush, b % kBrushShapeCount, at, Vector3{ 1.5f, 1.0f + (float)(b % 4), 1.5f }, 0);
        brush->colour = Color{ (unsigned char)(120 + b % 100), 160, (unsigned char)(200 - b % 80), 255 };
        if (b % 4 == 1) brush->rotation = Vector3{ 0, 30.0f, 0 };
        if (b % 5 == 2) brush->faces[0].projection = PROJ_FIT;
    }
    map->brushCount = kMaxBrushes;
    for (int i = 0; i < kMaxEntities; i++) {
        Entity *e = &map->entities[i];
        Vector3 at = { (float)(i % 16) * 2.5f - 20.0f, 6.0f, (float)(i / 16) * 2.5f - 20.0f };
        EntityInitLight(e, i % kEntityKindCount, at, Color{ 255, 230, 200, 255 }, 1.0f, 12.0f, 20.0f, 40.0f);
        e->rotation = Vector3{ 60.0f, (float)(i * 7), 0 };
    }
    map->entityCount = kMaxEntities;
}

static void MeasureRenderView(UiState &ui, const char *label)
{
    std::vector<double> frames;
    for (int i = 0; i < kWarmFrames + kFrames; i++) {
        double t0 = NowMs();
        RenderPreviewPass(ui, &activeMap);
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
    FullMap(&activeMap);
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

    for (int q = 0; q < kQualityCount; q++) {
        gLighting.quality = (RenderQuality)q;
        ApplyRenderQuality();
        char label[64];
        snprintf(label, sizeof(label), "GPU, quality %d %s", q, kQualityName[q]);
        MeasureRenderView(ui, label);
    }
    FreeRenderer();                  // what a missing shader leaves: the CPU fallback
    MeasureRenderView(ui, "CPU shading (fallback)");
    AppShutDown(ui);
    return 0;
}
