// settings.h: the settings record (editor, snapping and lighting settings) shared by drawing, tools,
// panels and scripts, and the functions that change it.
//
// The record starts from fixed values every run and is never saved or loaded. Everything reads it
// through the read-only views gSettings, gSnap and gLighting; every change goes through a
// Settings* function below, which holds the value to the setting's range and says what it did.
// A range here is the widest any writer uses; a widget that offers less (a Settings tab slider,
// the wheel's fly speed, the grid keys) keeps its own narrower range.
#pragma once

#include <cstdint>
#include "raylib.h"

//----------------------------------------------------------------------------------
// Records
//----------------------------------------------------------------------------------
enum SkyStyle : int32_t { SKY_DAY = 0, SKY_SUNSET = 1, SKY_NIGHT = 2, SKY_GRID = 3 };

enum RenderQuality : uint32_t {
    QUALITY_OFF = 0,      // CPU shading only
    QUALITY_LOW = 1,
    QUALITY_MEDIUM = 2,
    QUALITY_HIGH = 3,
};
constexpr int kQualityCount = 4;
extern const char *const kQualityName[kQualityCount];

struct EditorSettings {
    float gridStep;
    float flySpeed;
    float vertexSize;            // Vertex tool handle size
    int32_t targetFps;
    Color view3DBackground;
    Color view2DBackground;
    uint8_t show2DGrid;
    uint8_t show3DGrid;
    float fovy;
    float ambient;
    uint8_t lighting;
    uint8_t gizmoIcons;
    float gizmoSize;
};

struct SnapSettings {
    uint8_t move;                        // snap moved objects to the grid
    uint8_t scale;                       // snap scaling to scaleStep
    uint8_t rotate;                      // snap rotation to rotStep
    uint8_t vertex;                      // snap dragged vertices to the grid
    float rotStep;                       // degrees
    float scaleStep;
};

struct LightingSettings {
    RenderQuality quality;
    uint8_t shadows;
    uint8_t ssao;
    float shadowBias;
    float shadowArea;            // shadow camera: view height 2 x area, distance 1.6 x area
    float aoRadius;
    float aoStrength;
    float specular;
    float gamma;
};

// The whole settings record: what scripts are handed and what tests keep and put back.
struct SettingsRecord {
    EditorSettings editor;
    SnapSettings snap;
    LightingSettings lighting;
};

// The snapping switches by number, in the order the top bar and the Settings tab show them.
enum SnapSwitch : int { SNAP_MOVE = 0, SNAP_ROTATE = 1, SNAP_SCALE = 2, SNAP_VERTEX = 3 };
constexpr int kSnapSwitchCount = 4;

// What a change function did with the value it was given.
enum SettingChange : int {
    SETTING_REFUSED = 0,         // not a finite number: the setting keeps its value
    SETTING_KEPT = 1,            // the setting held that value already
    SETTING_CHANGED = 2,         // the setting now holds the value
    SETTING_CLAMPED = 3,         // the value lay outside the range: the setting holds its nearest end
};

// A setting's range, both ends included.
struct SettingRange {
    float min, max;
};

//----------------------------------------------------------------------------------
// The settings that change at run time, each declared once
//----------------------------------------------------------------------------------
// X(Name, field of SettingsRecord, lowest, highest): a number held to its range, both ends
// included; the range is the widest any writer may set. Each row gives k<Name>Range and
// SettingsSet<Name>(float).
#define KIRTO_NUMBER_SETTINGS(X)                                                              \
    X(GridStep, editor.gridStep, 0.0001f, 64.0f) /* a script's step must lie above lowest */ \
    X(FlySpeed, editor.flySpeed, 0.001f, 10.0f)                                               \
    X(VertexSize, editor.vertexSize, 0.05f, 1.0f)                                             \
    X(Ambient, editor.ambient, 0.0f, 2.0f)                                                    \
    X(RotStep, snap.rotStep, 0.1f, 180.0f) /* degrees */                                      \
    X(ScaleStep, snap.scaleStep, 0.01f, 1.0f)                                                 \
    X(ShadowBias, lighting.shadowBias, 0.0002f, 0.02f)                                        \
    X(ShadowArea, lighting.shadowArea, 6.0f, 90.0f)                                           \
    X(AoRadius, lighting.aoRadius, 0.05f, 3.0f)                                               \
    X(AoStrength, lighting.aoStrength, 0.0f, 2.0f)                                            \
    X(Specular, lighting.specular, 0.0f, 1.0f)                                                \
    X(Gamma, lighting.gamma, 0.5f, 4.0f)

// X(Name, field of SettingsRecord): a switch held to 0/1; each row gives SettingsSet<Name>(bool).
#define KIRTO_SWITCH_SETTINGS(X)     \
    X(Show2DGrid, editor.show2DGrid) \
    X(Show3DGrid, editor.show3DGrid) \
    X(Lighting, editor.lighting)     \
    X(GizmoIcons, editor.gizmoIcons) \
    X(Shadows, lighting.shadows)     \
    X(Ssao, lighting.ssao)

#define KIRTO_SETTING_RANGE(name, field, lowest, highest) constexpr SettingRange k##name##Range = { lowest, highest };
KIRTO_NUMBER_SETTINGS(KIRTO_SETTING_RANGE)
#undef KIRTO_SETTING_RANGE

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
extern const SettingsRecord &gSettingsRecord;
extern const EditorSettings &gSettings;      // gSettingsRecord.editor
extern const SnapSettings &gSnap;            // gSettingsRecord.snap
extern const LightingSettings &gLighting;    // gSettingsRecord.lighting

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------
// Each sets one setting, held to its range (a number setting) or to 0/1 (a switch); they return
// what they did. Nothing here redraws or applies anything: the readers see the value next time.
// The fields nothing changes while the program runs (targetFps, the backgrounds, fovy, gizmoSize)
// have none.
#define KIRTO_SETTING_NUMBER_SET(name, ...) SettingChange SettingsSet##name(float value);
KIRTO_NUMBER_SETTINGS(KIRTO_SETTING_NUMBER_SET)
#undef KIRTO_SETTING_NUMBER_SET
#define KIRTO_SETTING_SWITCH_SET(name, field) SettingChange SettingsSet##name(bool on);
KIRTO_SWITCH_SETTINGS(KIRTO_SETTING_SWITCH_SET)
#undef KIRTO_SETTING_SWITCH_SET
SettingChange SettingsSetSnapSwitch(SnapSwitch which, bool on);
// The quality is held to 0 .. kQualityCount - 1; the renderer takes it up in ApplyRenderQuality.
SettingChange SettingsSetQuality(int quality);

// Whether a snapping switch is on.
bool SnapSwitchOn(SnapSwitch which);

// The writable record, for tests that set a state up directly (out of range too) and put it back.
// The program changes settings only through the functions above.
SettingsRecord &SettingsForTests(void);
