// The editor's frame loop with a full map: milliseconds per frame and the share of each phase.
//
// Runs the real start-up and the same phase functions as main, unthrottled, at 1440 x 900 with
// four views. A full map (256 brushes of every shape, 256 entities with lights) is measured with
// the Render view closed and open, beside the empty map, which shows what the GL itself costs.
// Needs a display: run it under Xvfb.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "bench/bench_clock.h"
#include "document/primitives.h"
#include "editor/app.h"
#include "editor/chrome.h"
#include "editor/console.h"
#include "editor/layout.h"
#include "editor/render_view.h"
#include "editor/view_draw.h"
#include "editor/widgets.h"
#include "render/lights.h"

static constexpr int kWarmFrames = 30;
static constexpr int kFrames = 300;

enum Phase { PH_UPDATE, PH_VIEWS, PH_RENDER, PH_LIGHTS, PH_SCREEN, PH_PRESENT, PH_COUNT };
static const char *const kPhaseName[PH_COUNT] = {
    "1-17 input, layout, cameras", "18 four views", "19 Render view", "21 light gathering",
    "24-37 window pass", "38 EndDrawing (swap)",
};

static void FullMap(MapDoc *map)
{
    memset(map, 0, sizeof(*map));
    for (int b = 0; b < kMaxBrushes; b++) {
        Brush *brush = &map->brushes[b];
        Vector3 at = { (float)(b % 16) * 3.0f - 24.0f, (float)(b / 64), (float)((b / 16) % 4) * 3.0f - 6.0f };
        BrushInit(brush, b % kBrushShapeCount, at, Vector3{ 2, 1 + (float)(b % 3), 2 }, 0);
        if (b % 4 == 1) brush->rotation = Vector3{ 0, 30.0f, 0 };
        brush->physics = (b % 8 == 0);
        if (b % 5 == 2) brush->faces[0].projection = PROJ_FIT;
    }
    map->brushCount = kMaxBrushes;
    for (int i = 0; i < kMaxEntities; i++) {
        Entity *e = &map->entities[i];
        Vector3 at = { (float)(i % 16) * 3.0f - 24.0f, 5.0f, (float)(i / 16) - 8.0f };
        EntityInitLight(e, i % kEntityKindCount, at, Color{ 255, 230, 200, 255 }, 1.0f, 12.0f, 20.0f, 40.0f);
        e->rotation = Vector3{ 60.0f, (float)(i * 7), 0 };
    }
    map->entityCount = kMaxEntities;
}

// One frame in the order of main's loop, with the time of each group of phases added to sums.
static double RunFrame(UiState &ui, char *lastStatus, double *sums)
{
    double t0 = NowMs();
    FrameReadWindow(ui);
    FrameReadModifiers(ui);
    LayoutPhase(ui);
    FlyCameraPhase(ui);
    Follow2DCameras(ui);
    double t1 = NowMs();
    ViewportRenderPass(ui, &activeMap);
    double t2 = NowMs();
    if (ui.showRenderOutput) RenderPreviewPass(ui, &activeMap);
    double t3 = NowMs();
    GatherLights(&activeMap);
    ui.tooltipText = nullptr;
    StatusToConsole(ui.statusText, lastStatus, kStatusLen);
    double t4 = NowMs();
    BeginDrawing();
    NumFieldsBeginFrame();
    float leftPanelBottom = DrawChromeTop(ui);
    EndLeftPanel(ui, leftPanelBottom);
    ViewportFrames(ui);
    DrawCursorReadout(ui);
    DrawChromeBottom(ui);
    if (gConsole.open) DrawConsoleWindow(ui);
    if (ui.showRenderOutput) RenderOutputWindow(ui);
    NumFieldsEndFrame();
    double t5 = NowMs();
    EndDrawing();
    double t6 = NowMs();
    const double parts[PH_COUNT] = { t1 - t0, t2 - t1, t3 - t2, t4 - t3, t5 - t4, t6 - t5 };
    for (int p = 0; p < PH_COUNT; p++) sums[p] += parts[p];
    return t6 - t0;
}

static void Measure(UiState &ui, const char *label, bool full, bool renderView)
{
    if (full) FullMap(&activeMap);
    else memset(&activeMap, 0, sizeof(activeMap));
    ui.selBrush = full ? 0 : -1;
    ui.showRenderOutput = renderView;
    char lastStatus[kStatusLen] = "";
    double sums[PH_COUNT] = {};
    for (int i = 0; i < kWarmFrames; i++) RunFrame(ui, lastStatus, sums);
    memset(sums, 0, sizeof(sums));
    std::vector<double> frames;
    for (int i = 0; i < kFrames; i++) frames.push_back(RunFrame(ui, lastStatus, sums));
    std::sort(frames.begin(), frames.end());
    double total = 0;
    for (double s : sums) total += s;
    printf("%-34s median %7.2f ms/frame  (p10 %.2f, p90 %.2f; %d frames at %dx%d)\n", label, frames[kFrames / 2],
           frames[kFrames / 10], frames[kFrames * 9 / 10], kFrames, GetScreenWidth(), GetScreenHeight());
    for (int p = 0; p < PH_COUNT; p++) {
        printf("    %-28s %5.1f %%  %7.3f ms\n", kPhaseName[p], 100.0 * sums[p] / total, sums[p] / kFrames);
    }
}

int main(void)
{
    static UiState ui;
    if (!AppStartUp(ui)) {
        fprintf(stderr, "frame_bench: no display (run under Xvfb)\n");
        return 1;
    }
    SetTraceLogLevel(LOG_WARNING);   // the re-created targets would otherwise log every resize
    SetTargetFPS(0);                 // unthrottled: the frame's own cost
    Measure(ui, "empty map, four views", false, false);
    Measure(ui, "full map, four views", true, false);
    Measure(ui, "full map, four views + Render view", true, true);
    AppShutDown(ui);
    return 0;
}
