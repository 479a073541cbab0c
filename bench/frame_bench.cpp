// The editor's frame loop with a full map: milliseconds per frame and the share of each phase.
//
// Runs the real start-up and main's own frame (FrameRun), unthrottled, at 1440 x 900 with
// four views. A full map (256 brushes of every shape, 256 entities with lights) is measured with
// a moving camera (every view changes every frame), a still camera, and the Render view open,
// beside the empty map, which shows what the GL itself costs. The vertices the GL was handed per
// frame come from its own pipeline statistics where it offers them.
// Needs a display: run it under Xvfb.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "document/primitives.h"
#include "editor/frame.h"
#include "editor/startup.h"
#include "editor/view_draw.h"
#include "editor/windows/render_view.h"
#include "render/renderer.h"

static constexpr int kWarmFrames = 30;
static constexpr int kFrames = 300;
static constexpr float kOrbitStep = 0.01f;     // radians the moving camera turns per frame
static constexpr float kOrbitRadius = 30.0f;
static constexpr float kPanAmplitude = 6.0f;   // the target (and the 2D views) swing this far

// GL_ARB_pipeline_statistics_query, reached through the loader raylib already has.
static constexpr unsigned kGlVerticesSubmitted = 0x82EE;
static constexpr unsigned kGlQueryResult = 0x8866;
typedef void (*GenQueriesFn)(int, unsigned *);
typedef void (*QueryFn)(unsigned, unsigned);
typedef void (*EndQueryFn)(unsigned);
typedef void (*GetQueryU64Fn)(unsigned, unsigned, unsigned long long *);
typedef unsigned (*GetErrorFn)(void);
extern "C" void *glfwGetProcAddress(const char *name);
static GenQueriesFn glGenQueriesP;
static QueryFn glBeginQueryP;
static EndQueryFn glEndQueryP;
static GetQueryU64Fn glGetQueryObjectui64vP;
static unsigned vertexQuery;

// The groups of phases between FrameRun's marks.
constexpr int PH_COUNT = kFrameMarkCount - 1;
static const char *const kPhaseName[PH_COUNT] = {
    "1-17 input, tools, cameras", "18 four views", "19 Render view", "20-23 autosave, lights",
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

// 1 when the GL can count the vertices it is handed.
static int VertexQueryInit(void)
{
    glGenQueriesP = (GenQueriesFn)glfwGetProcAddress("glGenQueries");
    glBeginQueryP = (QueryFn)glfwGetProcAddress("glBeginQuery");
    glEndQueryP = (EndQueryFn)glfwGetProcAddress("glEndQuery");
    glGetQueryObjectui64vP = (GetQueryU64Fn)glfwGetProcAddress("glGetQueryObjectui64v");
    GetErrorFn getError = (GetErrorFn)glfwGetProcAddress("glGetError");
    if (!glGenQueriesP || !glBeginQueryP || !glEndQueryP || !glGetQueryObjectui64vP || !getError) return 0;
    while (getError() != 0) {}
    glGenQueriesP(1, &vertexQuery);
    glBeginQueryP(kGlVerticesSubmitted, vertexQuery);
    glEndQueryP(kGlVerticesSubmitted);
    if (getError() != 0) vertexQuery = 0;
    return vertexQuery != 0;
}

// The moving camera: an orbit whose target swings, so the 3D view and all three 2D views change.
static void MoveCamera(UiState &ui, int frame)
{
    float a = kOrbitStep * (float)frame;
    ui.cam3D.target = Vector3{ kPanAmplitude * sinf(3.0f * a), 0.0f, kPanAmplitude * cosf(2.0f * a) };
    ui.cam3D.position = Vector3{ ui.cam3D.target.x + kOrbitRadius * sinf(a), 12.0f,
                                 ui.cam3D.target.z + kOrbitRadius * cosf(a) };
}

// One frame of main's loop, with the time of each group of phases added to sums.
static double RunFrame(UiState &ui, char *lastStatus, double *sums)
{
    if (vertexQuery) glBeginQueryP(kGlVerticesSubmitted, vertexQuery);
    FrameMarks marks = {};
    FrameRun(&activeMap, ui, lastStatus, &marks);
    if (vertexQuery) glEndQueryP(kGlVerticesSubmitted);
    for (int p = 0; p < PH_COUNT; p++) sums[p] += 1000.0 * (marks.at[p + 1] - marks.at[p]);
    return 1000.0 * (marks.at[FRAME_MARK_END] - marks.at[FRAME_MARK_START]);
}

static unsigned long long FrameVertices(void)
{
    unsigned long long n = 0;
    if (vertexQuery) glGetQueryObjectui64vP(vertexQuery, kGlQueryResult, &n);
    return n;
}

// Returns the median milliseconds per frame.
static double Measure(UiState &ui, const char *label, bool full, bool renderView, bool moving)
{
    if (full) FullMap(&activeMap);
    else memset(&activeMap, 0, sizeof(activeMap));
    ui.selBrush = full ? 0 : -1;
    ui.showRenderOutput = renderView;
    char lastStatus[kStatusLen] = "";
    double sums[PH_COUNT] = {};
    Camera3D still = ui.cam3D;
    for (int i = 0; i < kWarmFrames; i++) {
        if (moving) MoveCamera(ui, i);
        RunFrame(ui, lastStatus, sums);
    }
    memset(sums, 0, sizeof(sums));
    std::vector<double> frames;
    unsigned long long vertices = 0;
    int redrawsBefore = 0, redrawsAfter = 0, renderBefore = gRenderViewRedraws;
    for (int v = 0; v < kViewCount; v++) redrawsBefore += gViewRedraws[v];
    for (int i = 0; i < kFrames; i++) {
        if (moving) MoveCamera(ui, kWarmFrames + i);
        frames.push_back(RunFrame(ui, lastStatus, sums));
        vertices += FrameVertices();
    }
    ui.cam3D = still;
    for (int v = 0; v < kViewCount; v++) redrawsAfter += gViewRedraws[v];
    std::sort(frames.begin(), frames.end());
    double total = 0;
    for (double s : sums) total += s;
    printf("%-40s median %7.2f ms/frame  p90 %7.2f  (p10 %.2f; %d frames at %dx%d)\n", label, frames[kFrames / 2],
           frames[kFrames * 9 / 10], frames[kFrames / 10], kFrames, GetScreenWidth(), GetScreenHeight());
    printf("    views redrawn per frame: %.2f", (double)(redrawsAfter - redrawsBefore) / kFrames);
    if (renderView) printf(", Render view %.2f", (double)(gRenderViewRedraws - renderBefore) / kFrames);
    printf("\n");
    if (vertexQuery) printf("    vertices handed to the GL per frame: %llu\n", vertices / kFrames);
    for (int p = 0; p < PH_COUNT; p++) {
        printf("    %-28s %5.1f %%  %7.3f ms\n", kPhaseName[p], 100.0 * sums[p] / total, sums[p] / kFrames);
    }
    return frames[kFrames / 2];
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
    if (!VertexQueryInit()) printf("(this GL cannot count vertices)\n");
    Measure(ui, "empty map, four views, still", false, false, false);
    Measure(ui, "full map, four views, moving camera", true, false, true);
    double still = Measure(ui, "full map, four views, still camera", true, false, false);
    double withRender = Measure(ui, "full map, four views + Render view", true, true, false);
    printf("still camera, Render view open / closed: %.2f x  (target at most 1.2 x; renderer %s)\n",
           withRender / still, gRenderer.ready ? "GPU" : "CPU fallback");
    AppShutDown(ui);
    return 0;
}
