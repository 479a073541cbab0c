// startup.cpp: start-up, the state's start values, the default map and shutdown.
#include "editor/startup.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "raylib.h"
#include "raymath.h"
#include "document/primitives.h"
#include "document/settings.h"
#include "document/undo.h"
#include "editor/console.h"
#include "editor/gui.h"
#include "editor/input.h"
#include "editor/layout.h"
#include "platform/platform.h"
#include "project/asset_browser.h"
#include "project/assets.h"
#include "project/model_load.h"
#include "project/projects.h"
#include "project/rescue.h"
#include "project/splash.h"
#include "render/renderer.h"
#include "script/mods.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
MapDoc activeMap;

static constexpr int kStartWidth = 1440;
static constexpr int kStartHeight = 900;
static constexpr int kFontPixels = 29;
static constexpr int kTextSize = 24;
static constexpr int kTextSpacing = 2;
static constexpr int kViewTargetW = 400, kViewTargetH = 300;
static constexpr int kRenderTargetW = 800, kRenderTargetH = 600;
static constexpr int kRendererStartW = 720, kRendererStartH = 450;

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static void LoadInterfaceFont(UiState &ui);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int AppStartUp(UiState &ui)
{
    memset(&ui, 0, sizeof(ui));
    // Always run: raylib's own wait while minimized has no time limit, so a close signal would
    // wait for the next window event; the frame's rest (FrameRest) waits in short slices instead.
    SetConfigFlags(FLAG_WINDOW_RESIZABLE | FLAG_WINDOW_ALWAYS_RUN);
    SetTraceLogCallback(KirtoTraceLog);             // before the window, so no log line is missed
    InitWindow(kStartWidth, kStartHeight, "kirto");
    PlatformCatchSessionEnd(GetWindowHandle());    // a logoff or a shutdown on Windows: a close request
    RouteRaylibFileLoads();                         // UTF-8 names for the files raylib opens on Windows
    if (!IsWindowReady()) return 0;                 // no display: nothing more can start
    SetExitKey(KEY_NULL);                           // only the window's close request ends the run
    InitAudioDevice();                              // a machine without sound runs on silently
    ShowSplashScreen();
    ScanProjects();
    if (gProjects.count == 0) CreateProject("Untitled");   // which rescans the projects
    gProjects.managerOpen = true;                   // every run begins in the project manager
    ScanMods();
    InitProjectDirectories();
    RescanAssets();
    InitAssetBrowser();
    InitRenderer(kRendererStartW, kRendererStartH);   // false (no shaders) leaves the Render view on the CPU

    LoadInterfaceFont(ui);
    for (int v = 0; v < kViewCount; v++) ui.renderTargets[v] = LoadRenderTexture(kViewTargetW, kViewTargetH);
    ui.renderTargets[kRenderOutputTarget] = LoadLitTarget(kRenderTargetW, kRenderTargetH);
    CamerasStartValues(ui);
    SetTargetFPS(gSettings.targetFps);

    memset(&activeMap, 0, sizeof(activeMap));
    int modelCount = gAssets.modelCount, textureCount = gAssets.textureCount;
    UiStateStartValues(ui, modelCount, textureCount);
    EditorContextFill(&gEd, ui);
    DefaultMap(&activeMap, ui);
    PushUndoState(&activeMap);                      // the first snapshot is the default map
    ClearMapDirty();                                // no work yet: an untouched map is never written
    RescueNoteHeld(&activeMap, nullptr);
    StatusSet(ui, "Loaded %d model(s), %d texture(s). Press Ctrl+Z to Undo, Shift+S to Subdivide.", modelCount, textureCount);
    return 1;
}

void AppShutDown(UiState &ui)
{
    for (int v = 0; v < kViewCount; v++) UnloadRenderTexture(ui.renderTargets[v]);
    UnloadRenderTexture(ui.renderTargets[kRenderOutputTarget]);
    FreeRenderer();
    FreeAssetBrowser();
    UnloadAllAssets();
    CloseAudioDevice();
    FreeUndoHistory();
    CloseWindow();
}

void CamerasStartValues(UiState &ui)
{
    ui.cam3D.position = Vector3{ 12.0f, 10.0f, 12.0f };
    ui.cam3D.target = Vector3{ 0.0f, 0.0f, 0.0f };
    ui.cam3D.up = Vector3{ 0.0f, 1.0f, 0.0f };
    ui.cam3D.fovy = gSettings.fovy;
    ui.cam3D.projection = CAMERA_PERSPECTIVE;

    FlyHeadingFromCamera(ui.cam3D, &ui.flyYaw, &ui.flyPitch);

    ui.leftPanelScroll = PanelScroll{ 0.0f, 0.0f };
    ui.sidePanelScroll = PanelScroll{ 0.0f, 0.0f };
    ui.sideTabMeasured = -1;
    for (float &height : ui.sideTabHeight) height = 0.0f;
    ui.topBarScroll = 0.0f;
    ui.topBarWidth = 2542.5f;
    ui.orthoZoom = 16.0f;
    for (int i = 0; i < 3; i++) {
        Camera3D &cam = ui.cam2D[i];
        cam.position = Vector3{ 0.0f, 0.0f, 0.0f };   // set every frame from cam3D.target
        cam.target = Vector3{ 0.0f, 0.0f, 0.0f };
        cam.up = (i == 0) ? Vector3{ 0.0f, 0.0f, -1.0f } : Vector3{ 0.0f, 1.0f, 0.0f };
        cam.fovy = ui.orthoZoom;
        cam.projection = CAMERA_ORTHOGRAPHIC;
    }
}

void UiStateStartValues(UiState &ui, int modelCount, int textureCount)
{
    // Resources and cameras were set up before; everything else starts from zero.
    RenderTexture2D targets[kRenderTargetCount];
    memcpy(targets, ui.renderTargets, sizeof(targets));
    Font font = ui.uiFont;
    Camera3D cam3D = ui.cam3D, cam2D[3] = { ui.cam2D[0], ui.cam2D[1], ui.cam2D[2] };
    float yaw = ui.flyYaw, pitch = ui.flyPitch, zoom = ui.orthoZoom, barWidth = ui.topBarWidth;
    memset(&ui, 0, sizeof(ui));
    memcpy(ui.renderTargets, targets, sizeof(targets));
    ui.uiFont = font;
    ui.cam3D = cam3D;
    for (int i = 0; i < 3; i++) ui.cam2D[i] = cam2D[i];
    ui.flyYaw = yaw;
    ui.flyPitch = pitch;
    ui.orthoZoom = zoom;
    ui.topBarWidth = barWidth;

    LayoutSetBars(ui);

    ui.selBrush = -1;
    ui.selEntity = -1;
    ui.activeTool = TOOL_SELECT;
    ui.curTexture = textureCount > 0 ? 0 : -1;
    ui.curModel = modelCount > 0 ? 0 : -1;

    snprintf(ui.mapFileName, sizeof(ui.mapFileName), "%s", kUntitledMapName);
    for (int i = 0; i < 3; i++) snprintf(ui.vtxCentreText[i], kCentreTextLen, "%s", "0.00");

    ui.xform.xformOrigScale = 1.0f;
    ui.xform.xformBrush = -1;
    ui.xform.xformEntity = -1;
    ui.block.blockView = VIEW_TOP;
    ui.clip.clipSegments = 6;
    ui.clip.clipView = VIEW_TOP;
    ui.vertex.hoverBrush = -1;
    ui.vertex.hoverVert = -1;
    ui.vertex.activeFace = -1;
    ui.vertex.pickedEdgeA = -1;
    ui.vertex.pickedEdgeB = -1;
    ui.vertex.lastStackKey = -1;
    ui.vertex.marqueeView = VIEW_TOP;
}

void EditorContextFill(EditorContext *ctx, UiState &ui)
{
    ctx->cam3D = &ui.cam3D;
    ctx->cam2DTop = &ui.cam2D[0];
    ctx->cam2DFront = &ui.cam2D[1];
    ctx->cam2DSide = &ui.cam2D[2];
    ctx->flyYaw = &ui.flyYaw;
    ctx->flyPitch = &ui.flyPitch;
    ctx->orthoZoom = &ui.orthoZoom;
    ctx->selBrush = &ui.selBrush;
    ctx->selEntity = &ui.selEntity;
    ctx->activeTool = &ui.activeTool;
    ctx->curTexture = &ui.curTexture;
    ctx->curModel = &ui.curModel;
    ctx->viewRect = ui.viewRect;
    ctx->valid = 1;
    gScriptGlobals.textureCount = &gAssets.textureCount;
    gScriptGlobals.modelCount = &gAssets.modelCount;
    gScriptGlobals.iconCount = &gAssets.iconCount;
}

void DefaultMap(MapDoc *map, UiState &ui)
{
    Brush *ground = &map->brushes[0];
    BrushInit(ground, SHAPE_CUBE, Vector3{ 0.0f, -0.5f, 0.0f }, Vector3{ 10.0f, 1.0f, 10.0f }, ui.curTexture);
    snprintf(ground->name, sizeof(ground->name), "%s", "Ground_Brush");
    ground->colour = Color{ 130, 130, 130, 255 };
    map->brushCount = 1;
    ui.selBrush = 0;

    Entity *sun = &map->entities[0];
    EntityInitLight(sun, ENTITY_LIGHT_ENVIRONMENT, Vector3{ 6.0f, 10.0f, 6.0f }, Color{ 255, 244, 214, 255 }, 0.9f,
                    100.0f, 25.0f, 45.0f);
    sun->rotation = Vector3{ 50.0f, 215.0f, 0.0f };
    snprintf(sun->name, sizeof(sun->name), "%s", "Sun");
    map->entityCount = 1;
}

void RescanAssets(void)
{
    // The renderer's shared material may keep the library texture it drew with last. It gives
    // it back here, right before the library unloads its textures, rather than after every draw:
    // one call per scan instead of one per draw, and since this is the editor's one way to scan,
    // no new caller can forget the order.
    ReleaseBorrowedMaterialTexture();
    AutoScanAssets();
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
static void LoadInterfaceFont(UiState &ui)
{
    const char *path = PlatformFontPath();
    if (!PlatformIsRegularFile(path)) {
        TraceLog(LOG_WARNING, "FONT: %s not found, raylib's own font instead", path);
        ui.uiFont = GetFontDefault();
        GuiSetStyle(DEFAULT, TEXT_SIZE, kTextSize);
        GuiSetStyle(DEFAULT, TEXT_SPACING, kTextSpacing);
        return;
    }
    ui.uiFont = LoadFontEx(path, kFontPixels, nullptr, 0);
    if (ui.uiFont.texture.id != 0) {
        SetTextureFilter(ui.uiFont.texture, TEXTURE_FILTER_BILINEAR);
        GuiSetFont(ui.uiFont);
    }
    // Without the font the GUI keeps its default one, at the same size and spacing.
    GuiSetStyle(DEFAULT, TEXT_SIZE, kTextSize);
    GuiSetStyle(DEFAULT, TEXT_SPACING, kTextSpacing);
}
