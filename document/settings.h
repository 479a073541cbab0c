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
// Limits
//----------------------------------------------------------------------------------
constexpr SettingRange kGridStepRange = { 0.0001f, 64.0f };   // a script's step must lie above min
constexpr SettingRange kFlySpeedRange = { 0.001f, 10.0f };
constexpr SettingRange kVertexSizeRange = { 0.05f, 1.0f };
constexpr SettingRange kAmbientRange = { 0.0f, 2.0f };
constexpr SettingRange kRotStepRange = { 0.1f, 180.0f };       // degrees
constexpr SettingRange kScaleStepRange = { 0.01f, 1.0f };
constexpr SettingRange kShadowBiasRange = { 0.0002f, 0.02f };
constexpr SettingRange kShadowAreaRange = { 6.0f, 90.0f };
constexpr SettingRange kAoRadiusRange = { 0.05f, 3.0f };
constexpr SettingRange kAoStrengthRange = { 0.0f, 2.0f };
constexpr SettingRange kSpecularRange = { 0.0f, 1.0f };
constexpr SettingRange kGammaRange = { 0.5f, 4.0f };

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
SettingChange SettingsSetGridStep(float step);
SettingChange SettingsSetFlySpeed(float speed);
SettingChange SettingsSetVertexSize(float size);
SettingChange SettingsSetAmbient(float ambient);
SettingChange SettingsSetShow2DGrid(bool on);
SettingChange SettingsSetShow3DGrid(bool on);
SettingChange SettingsSetLighting(bool on);
SettingChange SettingsSetGizmoIcons(bool on);

SettingChange SettingsSetSnapSwitch(SnapSwitch which, bool on);
SettingChange SettingsSetRotStep(float degrees);
SettingChange SettingsSetScaleStep(float step);

// The quality is held to 0 .. kQualityCount - 1; the renderer takes it up in ApplyRenderQuality.
SettingChange SettingsSetQuality(int quality);
SettingChange SettingsSetShadows(bool on);
SettingChange SettingsSetSsao(bool on);
SettingChange SettingsSetShadowBias(float bias);
SettingChange SettingsSetShadowArea(float area);
SettingChange SettingsSetAoRadius(float radius);
SettingChange SettingsSetAoStrength(float strength);
SettingChange SettingsSetSpecular(float specular);
SettingChange SettingsSetGamma(float gamma);

// Whether a snapping switch is on.
bool SnapSwitchOn(SnapSwitch which);

// The writable record, for tests that set a state up directly (out of range too) and put it back.
// The program changes settings only through the functions above.
SettingsRecord &SettingsForTests(void);
