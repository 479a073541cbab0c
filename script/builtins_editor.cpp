// builtins_editor.cpp: the builtins that reach beyond the map's objects: the selection and tool
// (sel.), map counts and grid (map.), the cameras (cam.), snapping (snap.), settings (set.), asset
// counts (asset.), time and window (sys.), input (key., mouse.), the running tool (mod.) and the
// plain helpers.
//
// Editor state is reached only through gEd and only while it is valid; the settings and asset
// counts through gScriptGlobals. Without them getters answer 0 (-1 where stated) and setters refuse.
#include <cmath>
#include <cstdio>

#include "raylib.h"
#include "raymath.h"
#include "document/brush_geometry.h"
#include "document/settings.h"
#include "document/view_mapping.h"
#include "script/builtin_families.h"
#include "script/editor_link.h"

//----------------------------------------------------------------------------------
// Limits and constants
//----------------------------------------------------------------------------------
constexpr int kToolCountScript = 6;          // tools 0..5 a script may select; the mod tool (6) it may not
constexpr float kRadToDeg = 57.295776f;
constexpr float kMaxScriptPitch = 1.5533f;   // radians, just short of straight up or down
constexpr float kMinFov = 10.0f, kMaxFov = 150.0f;
constexpr float kMinZoom = 0.1f, kMaxZoom = 5000.0f;   // exclusive: wider than the mouse wheel's range
constexpr float kMinOrbitRadius = 0.01f;     // this radius or less orbits at one unit
constexpr int kMaxKeyCode = 512;             // raylib's key codes are 1..511
constexpr int kKeyLeftShift = 340, kKeyRightShift = 344;
constexpr int kKeyLeftCtrl = 341, kKeyRightCtrl = 345;
constexpr int kKeyLeftAlt = 342, kKeyRightAlt = 346;
constexpr int kMouseButtons = 3;             // left, right, middle
constexpr int kLogValueLen = 64;

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static void CameraAimAt(Vector3 target);
static Vector3 CameraForward(void);
static int ViewUnderMouse(void);
static float GridStep(void);
static float Accepted(SettingChange change) { return change == SETTING_REFUSED ? 0.0f : 1.0f; }
static int AssetCount(const int32_t *count) { return count ? *count : 0; }

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
float CallSelectionBuiltin(VmState *state, int id, const float *args)
{
    MapDoc *map = state->map;
    const int link = EditorLinkReady();
    const int32_t a = ArgIndex(args[0]);
    switch (id) {
    // The run's own copy: a script sees the selection it started with, whatever it sets.
    case BI_SEL_BRUSH: return (float)state->selBrush;
    case BI_SEL_ENTITY: return (float)state->selEntity;
    case BI_SEL_SETBRUSH:
        if (!link || !map || !MapBrushValid(map, a)) return 0.0f;
        *gEd.selBrush = a;
        *gEd.selEntity = -1;
        return 1.0f;
    case BI_SEL_SETENTITY:
        if (!link || !map || !MapEntityValid(map, a)) return 0.0f;
        *gEd.selEntity = a;
        *gEd.selBrush = -1;
        return 1.0f;
    case BI_SEL_CLEAR:
        if (!link) return 0.0f;
        *gEd.selBrush = -1;
        *gEd.selEntity = -1;
        return 1.0f;
    case BI_SEL_TOOL: return link ? (float)*gEd.activeTool : -1.0f;
    case BI_SEL_SETTOOL:
        if (!link || a < 0 || a >= kToolCountScript) return 0.0f;
        *gEd.activeTool = a;
        return 1.0f;
    case BI_SEL_TEXTURE: return link ? (float)*gEd.curTexture : -1.0f;
    case BI_SEL_SETTEXTURE:
        if (!link || a < -1 || a >= AssetCount(gScriptGlobals.textureCount)) return 0.0f;
        *gEd.curTexture = a;
        return 1.0f;
    case BI_SEL_MODEL: return link ? (float)*gEd.curModel : -1.0f;
    case BI_SEL_SETMODEL:
        if (!link || a < -1 || a >= AssetCount(gScriptGlobals.modelCount)) return 0.0f;
        *gEd.curModel = a;
        return 1.0f;

    case BI_MAP_BRUSHCOUNT: return map ? (float)ClampCount(map->brushCount, kMaxBrushes) : 0.0f;
    case BI_MAP_ENTCOUNT: return map ? (float)ClampCount(map->entityCount, kMaxEntities) : 0.0f;
    case BI_MAP_GRID: return GridStep();
    case BI_MAP_SETGRID:
        if (!gScriptGlobals.settings || !(args[0] > kGridStepRange.min && args[0] <= kGridStepRange.max)) return 0.0f;
        return Accepted(SettingsSetGridStep(args[0]));
    case BI_MAP_CLEARBRUSHES: {
        if (!map) return 0.0f;
        int count = ClampCount(map->brushCount, kMaxBrushes);
        map->brushCount = 0;
        return (float)count;
    }
    case BI_MAP_CLEARENTS: {
        if (!map) return 0.0f;
        int count = ClampCount(map->entityCount, kMaxEntities);
        map->entityCount = 0;
        return (float)count;
    }
    default: return 0.0f;
    }
}

float CallCameraBuiltin(int id, const float *args)
{
    if (!EditorLinkReady()) return 0.0f;
    Camera3D &cam = *gEd.cam3D;
    switch (id) {
    case BI_CAM_POSX: return cam.position.x;
    case BI_CAM_POSY: return cam.position.y;
    case BI_CAM_POSZ: return cam.position.z;
    case BI_CAM_SETPOS: {
        if (!ArgsFinite(args, 0, 3)) return 0.0f;
        Vector3 offset = Vector3Subtract(cam.target, cam.position);
        cam.position = Vector3{ args[0], args[1], args[2] };
        cam.target = Vector3Add(cam.position, offset);
        return 1.0f;
    }
    case BI_CAM_TARGETX: return cam.target.x;
    case BI_CAM_TARGETY: return cam.target.y;
    case BI_CAM_TARGETZ: return cam.target.z;
    case BI_CAM_SETTARGET:
    case BI_CAM_LOOKAT:
        if (!ArgsFinite(args, 0, 3)) return 0.0f;
        CameraAimAt(Vector3{ args[0], args[1], args[2] });
        return 1.0f;
    case BI_CAM_FWDX: return Vector3Normalize(Vector3Subtract(cam.target, cam.position)).x;
    case BI_CAM_FWDY: return Vector3Normalize(Vector3Subtract(cam.target, cam.position)).y;
    case BI_CAM_FWDZ: return Vector3Normalize(Vector3Subtract(cam.target, cam.position)).z;
    case BI_CAM_YAW: return *gEd.flyYaw * kRadToDeg;
    case BI_CAM_PITCH: return *gEd.flyPitch * kRadToDeg;
    case BI_CAM_SETANGLES:
        if (!ArgsFinite(args, 0, 2)) return 0.0f;
        *gEd.flyYaw = args[0] * kDegToRad;
        *gEd.flyPitch = Clamp(args[1] * kDegToRad, -kMaxScriptPitch, kMaxScriptPitch);
        cam.target = Vector3Add(cam.position, CameraForward());
        cam.up = Vector3{ 0.0f, 1.0f, 0.0f };
        return 1.0f;
    case BI_CAM_FOV: return cam.fovy;
    case BI_CAM_SETFOV:
        if (!(args[0] >= kMinFov && args[0] <= kMaxFov)) return 0.0f;
        cam.fovy = args[0];
        return 1.0f;
    case BI_CAM_ZOOM: return *gEd.orthoZoom;
    case BI_CAM_SETZOOM:
        if (!(args[0] > kMinZoom && args[0] < kMaxZoom)) return 0.0f;
        // The 2D cameras draw with their own field of view: set it too, so the views show at once
        // what clicks and mouse.world* map with.
        *gEd.orthoZoom = args[0];
        gEd.cam2DTop->fovy = args[0];
        gEd.cam2DFront->fovy = args[0];
        gEd.cam2DSide->fovy = args[0];
        return 1.0f;
    case BI_CAM_ORBIT: {
        if (!ArgsFinite(args, 0, 4)) return 0.0f;
        float radius = args[3] <= kMinOrbitRadius ? 1.0f : args[3];
        Vector3 centre = { args[0], args[1], args[2] };
        cam.position = Vector3Subtract(centre, Vector3Scale(CameraForward(), radius));
        cam.target = centre;
        return 1.0f;
    }
    case BI_CAM_DOLLY: {
        if (!ArgsFinite(args, 0, 1)) return 0.0f;
        Vector3 step = Vector3Scale(Vector3Normalize(Vector3Subtract(cam.target, cam.position)), args[0]);
        cam.position = Vector3Add(cam.position, step);
        cam.target = Vector3Add(cam.target, step);
        return 1.0f;
    }
    default: return 0.0f;
    }
}

float CallSettingsBuiltin(int id, const float *args)
{
    const SettingsRecord *settings = gScriptGlobals.settings;
    if (!settings) return 0.0f;
    const SnapSettings &snap = settings->snap;
    const EditorSettings &editor = settings->editor;
    const LightingSettings &lighting = settings->lighting;
    const float value = args[0];
    switch (id) {
    case BI_SNAP_MOVE: return FromBool(snap.move);
    case BI_SNAP_ROT: return FromBool(snap.rotate);
    case BI_SNAP_SCALE: return FromBool(snap.scale);
    case BI_SNAP_VERTEX: return FromBool(snap.vertex);
    case BI_SNAP_SETMOVE: return Accepted(SettingsSetSnapSwitch(SNAP_MOVE, ArgFlag(value)));
    case BI_SNAP_SETROT: return Accepted(SettingsSetSnapSwitch(SNAP_ROTATE, ArgFlag(value)));
    case BI_SNAP_SETSCALE: return Accepted(SettingsSetSnapSwitch(SNAP_SCALE, ArgFlag(value)));
    case BI_SNAP_SETVERTEX: return Accepted(SettingsSetSnapSwitch(SNAP_VERTEX, ArgFlag(value)));
    case BI_SNAP_ROTSTEP: return snap.rotStep;
    case BI_SNAP_SETROTSTEP:
        if (!(value >= kRotStepRange.min && value <= kRotStepRange.max)) return 0.0f;
        return Accepted(SettingsSetRotStep(value));

    // Numbers outside their range are held to it; only what is not a number is refused.
    case BI_SET_AMBIENT: return editor.ambient;
    case BI_SET_SETAMBIENT: return Accepted(SettingsSetAmbient(value));
    case BI_SET_FLYSPEED: return editor.flySpeed;
    case BI_SET_SETFLYSPEED: return Accepted(SettingsSetFlySpeed(value));
    case BI_SET_GAMMA: return lighting.gamma;
    case BI_SET_SETGAMMA: return Accepted(SettingsSetGamma(value));
    case BI_SET_SPECULAR: return lighting.specular;
    case BI_SET_SETSPECULAR: return Accepted(SettingsSetSpecular(value));
    case BI_SET_LIGHTING: return FromBool(editor.lighting);
    case BI_SET_SETLIGHTING: return Accepted(SettingsSetLighting(ArgFlag(value)));
    case BI_SET_GIZMOS: return FromBool(editor.gizmoIcons);
    case BI_SET_SETGIZMOS: return Accepted(SettingsSetGizmoIcons(ArgFlag(value)));
    case BI_SET_QUALITY: return (float)lighting.quality;
    case BI_SET_SETQUALITY: {
        int32_t quality = ArgIndex(value);
        if (quality < 0 || quality >= kQualityCount) return 0.0f;
        return Accepted(SettingsSetQuality(quality));   // only the value: the renderer applies it when it draws
    }
    default: return 0.0f;
    }
}

float CallInputBuiltin(int id, const float *args)
{
    const int32_t a = ArgIndex(args[0]);
    const bool key = a > 0 && a < kMaxKeyCode;
    const bool button = a >= 0 && a < kMouseButtons;
    switch (id) {
    case BI_ASSET_TEXCOUNT: return (float)AssetCount(gScriptGlobals.textureCount);
    case BI_ASSET_MODELCOUNT: return (float)AssetCount(gScriptGlobals.modelCount);
    case BI_ASSET_ICONCOUNT: return (float)AssetCount(gScriptGlobals.iconCount);

    // The clock belongs to the window: without one there is no time to tell.
    case BI_SYS_TIME: return IsWindowReady() ? (float)GetTime() : 0.0f;
    case BI_SYS_FPS: return IsWindowReady() ? (float)GetFPS() : 0.0f;
    case BI_SYS_FRAMETIME: return IsWindowReady() ? GetFrameTime() : 0.0f;
    case BI_SYS_SCREENW: return (float)GetScreenWidth();
    case BI_SYS_SCREENH: return (float)GetScreenHeight();
    case BI_SYS_MOUSEX: return GetMousePosition().x;
    case BI_SYS_MOUSEY: return GetMousePosition().y;

    case BI_KEY_DOWN: return key ? FromBool(IsKeyDown(a)) : 0.0f;
    case BI_KEY_UP: return key ? FromBool(IsKeyUp(a)) : 0.0f;
    case BI_KEY_PRESSED: return key ? FromBool(IsKeyPressed(a)) : 0.0f;
    case BI_KEY_RELEASED: return key ? FromBool(IsKeyReleased(a)) : 0.0f;
    case BI_KEY_SHIFT: return FromBool(IsKeyDown(kKeyLeftShift) || IsKeyDown(kKeyRightShift));
    case BI_KEY_CTRL: return FromBool(IsKeyDown(kKeyLeftCtrl) || IsKeyDown(kKeyRightCtrl));
    case BI_KEY_ALT: return FromBool(IsKeyDown(kKeyLeftAlt) || IsKeyDown(kKeyRightAlt));
    case BI_KEY_ANY: return (float)GetKeyPressed();

    case BI_MOUSE_DOWN: return button ? FromBool(IsMouseButtonDown(a)) : 0.0f;
    case BI_MOUSE_PRESSED: return button ? FromBool(IsMouseButtonPressed(a)) : 0.0f;
    case BI_MOUSE_RELEASED: return button ? FromBool(IsMouseButtonReleased(a)) : 0.0f;
    case BI_MOUSE_WHEEL: return GetMouseWheelMove();
    case BI_MOUSE_DX: return GetMouseDelta().x;
    case BI_MOUSE_DY: return GetMouseDelta().y;
    case BI_MOUSE_VP: return (float)ViewUnderMouse();
    case BI_MOUSE_WORLDX:
    case BI_MOUSE_WORLDY:
    case BI_MOUSE_WORLDZ: {
        int view = ViewUnderMouse();
        if (view < VIEW_TOP) return 0.0f;   // none, or the 3D view
        Camera3D *cams[3] = { gEd.cam2DTop, gEd.cam2DFront, gEd.cam2DSide };
        Vector3 p = ScreenToOrthoWorld(GetMousePosition(), gEd.viewRect[view], *cams[view - VIEW_TOP],
                                       *gEd.orthoZoom, view);
        return id == BI_MOUSE_WORLDX ? p.x : (id == BI_MOUSE_WORLDY ? p.y : p.z);
    }
    default: return 0.0f;
    }
}

// The run's mod tool as the registry described it in the link; its requests go back the same way.
float CallModBuiltin(VmState *state, int id, const float *args)
{
    ModRunLink &link = state->modLink;
    const int32_t slot = ArgIndex(args[0]);
    const bool slotOk = link.hasTool && slot >= 0 && slot < kModRunSlots;
    switch (id) {
    case BI_MOD_ISMODE: return FromBool(link.isMode);
    case BI_MOD_ACTIVE: return FromBool(link.active);
    case BI_MOD_FRAME: return link.isMode ? (float)link.frame : 0.0f;   // one-shot runs count no frames
    case BI_MOD_EXIT: link.exitRequested = true; return 1.0f;
    case BI_MOD_GET: return slotOk ? link.slots[slot] : 0.0f;
    case BI_MOD_SET:
        if (!slotOk) return 0.0f;
        link.slots[slot] = args[1];
        return 1.0f;
    case BI_MOD_PUSHUNDO: link.undoRequested = true; return 1.0f;
    default: return 0.0f;
    }
}

float CallPlainBuiltin(VmState *state, int id, const float *args)
{
    switch (id) {
    case BI_SNAP: return SnapToGrid(args[0], GridStep());
    case BI_LOG: {
        char text[kLogValueLen];
        snprintf(text, sizeof(text), "%.4g", (double)args[0]);   // as PRINT writes it
        VmLog(state, text);
        return args[0];
    }
    case BI_DIST3:
        return Vector3Distance(Vector3{ args[0], args[1], args[2] }, Vector3{ args[3], args[4], args[5] });
    case BI_DOT3: return args[0] * args[3] + args[1] * args[4] + args[2] * args[5];
    case BI_LEN3: return sqrtf(args[0] * args[0] + args[1] * args[1] + args[2] * args[2]);
    default: return 0.0f;
    }
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// Aims the 3D camera at target from where it stands and turns the fly heading to match.
static void CameraAimAt(Vector3 target)
{
    Camera3D &cam = *gEd.cam3D;
    cam.target = target;
    Vector3 d = Vector3Normalize(Vector3Subtract(cam.target, cam.position));   // zero when on the spot
    *gEd.flyYaw = atan2f(d.x, d.z);
    *gEd.flyPitch = asinf(Clamp(d.y, -1.0f, 1.0f));
}

// Unit direction of the fly heading.
static Vector3 CameraForward(void)
{
    float yaw = *gEd.flyYaw, pitch = *gEd.flyPitch;
    return Vector3{ sinf(yaw) * cosf(pitch), sinf(pitch), cosf(yaw) * cosf(pitch) };
}

// The first view (ViewKind order) whose rectangle holds the mouse; -1 for none or without the link.
static int ViewUnderMouse(void)
{
    if (!EditorLinkReady() || !gEd.viewRect) return -1;
    Vector2 mouse = GetMousePosition();
    for (int v = 0; v < kViewCount; v++)
        if (CheckCollisionPointRec(mouse, gEd.viewRect[v])) return v;
    return -1;
}

// The grid step; 0 (no snapping) while the editor has not shared its settings.
static float GridStep(void)
{
    return gScriptGlobals.settings ? gScriptGlobals.settings->editor.gridStep : 0.0f;
}
