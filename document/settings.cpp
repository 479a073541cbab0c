// settings.cpp: the settings record's start values and its change functions.
#include "document/settings.h"

#include <cmath>

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
const char *const kQualityName[kQualityCount] = { "Off (CPU)", "Low", "Medium", "High" };

// The one writable copy: everything else sees it through the const views below.
static SettingsRecord sRecord = {
    {
        0.5f,                     // gridStep
        0.2f,                     // flySpeed
        0.25f,                    // vertexSize
        60,                       // targetFps
        Color{ 40, 40, 40, 255 }, // view3DBackground
        Color{ 0, 0, 0, 255 },    // view2DBackground
        1,                        // show2DGrid
        1,                        // show3DGrid
        75.0f,                    // fovy
        0.35f,                    // ambient
        1,                        // lighting
        1,                        // gizmoIcons
        1.0f,                     // gizmoSize
    },
    { 1, 0, 1, 1, 15.0f, 0.25f },   // snap: move, scale, rotate, vertex, rotStep, scaleStep
    {
        QUALITY_MEDIUM, // quality
        1,              // shadows
        1,              // ssao
        0.0022f,        // shadowBias
        26.0f,          // shadowArea
        0.55f,          // aoRadius
        1.0f,           // aoStrength
        0.12f,          // specular
        2.2f,           // gamma
    },
};

const SettingsRecord &gSettingsRecord = sRecord;
const EditorSettings &gSettings = sRecord.editor;
const SnapSettings &gSnap = sRecord.snap;
const LightingSettings &gLighting = sRecord.lighting;

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static SettingChange SetNumber(float *setting, float value, SettingRange range);
static SettingChange SetSwitch(uint8_t *setting, bool on);
static SettingChange Outcome(bool clamped, bool kept);
static uint8_t *SnapSwitchField(SnapSwitch which);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
SettingChange SettingsSetGridStep(float step)
{
    return SetNumber(&sRecord.editor.gridStep, step, kGridStepRange);
}

SettingChange SettingsSetFlySpeed(float speed)
{
    return SetNumber(&sRecord.editor.flySpeed, speed, kFlySpeedRange);
}

SettingChange SettingsSetVertexSize(float size)
{
    return SetNumber(&sRecord.editor.vertexSize, size, kVertexSizeRange);
}

SettingChange SettingsSetAmbient(float ambient)
{
    return SetNumber(&sRecord.editor.ambient, ambient, kAmbientRange);
}

SettingChange SettingsSetShow2DGrid(bool on)
{
    return SetSwitch(&sRecord.editor.show2DGrid, on);
}

SettingChange SettingsSetShow3DGrid(bool on)
{
    return SetSwitch(&sRecord.editor.show3DGrid, on);
}

SettingChange SettingsSetLighting(bool on)
{
    return SetSwitch(&sRecord.editor.lighting, on);
}

SettingChange SettingsSetGizmoIcons(bool on)
{
    return SetSwitch(&sRecord.editor.gizmoIcons, on);
}

SettingChange SettingsSetSnapSwitch(SnapSwitch which, bool on)
{
    return SetSwitch(SnapSwitchField(which), on);
}

SettingChange SettingsSetRotStep(float degrees)
{
    return SetNumber(&sRecord.snap.rotStep, degrees, kRotStepRange);
}

SettingChange SettingsSetScaleStep(float step)
{
    return SetNumber(&sRecord.snap.scaleStep, step, kScaleStepRange);
}

SettingChange SettingsSetQuality(int quality)
{
    int held = quality < 0 ? 0 : (quality >= kQualityCount ? kQualityCount - 1 : quality);
    SettingChange change = Outcome(held != quality, held == (int)sRecord.lighting.quality);
    sRecord.lighting.quality = (RenderQuality)held;
    return change;
}

SettingChange SettingsSetShadows(bool on)
{
    return SetSwitch(&sRecord.lighting.shadows, on);
}

SettingChange SettingsSetSsao(bool on)
{
    return SetSwitch(&sRecord.lighting.ssao, on);
}

SettingChange SettingsSetShadowBias(float bias)
{
    return SetNumber(&sRecord.lighting.shadowBias, bias, kShadowBiasRange);
}

SettingChange SettingsSetShadowArea(float area)
{
    return SetNumber(&sRecord.lighting.shadowArea, area, kShadowAreaRange);
}

SettingChange SettingsSetAoRadius(float radius)
{
    return SetNumber(&sRecord.lighting.aoRadius, radius, kAoRadiusRange);
}

SettingChange SettingsSetAoStrength(float strength)
{
    return SetNumber(&sRecord.lighting.aoStrength, strength, kAoStrengthRange);
}

SettingChange SettingsSetSpecular(float specular)
{
    return SetNumber(&sRecord.lighting.specular, specular, kSpecularRange);
}

SettingChange SettingsSetGamma(float gamma)
{
    return SetNumber(&sRecord.lighting.gamma, gamma, kGammaRange);
}

bool SnapSwitchOn(SnapSwitch which)
{
    return *SnapSwitchField(which) != 0;
}

SettingsRecord &SettingsForTests(void)
{
    return sRecord;
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
static SettingChange SetNumber(float *setting, float value, SettingRange range)
{
    if (!std::isfinite(value)) return SETTING_REFUSED;
    float held = value < range.min ? range.min : (value > range.max ? range.max : value);
    SettingChange change = Outcome(held != value, held == *setting);
    *setting = held;
    return change;
}

static SettingChange SetSwitch(uint8_t *setting, bool on)
{
    uint8_t value = on ? 1 : 0;
    SettingChange change = Outcome(false, value == *setting);
    *setting = value;
    return change;
}

// A clamp is told even when the setting already stood at that end: the caller asked for more.
static SettingChange Outcome(bool clamped, bool kept)
{
    if (clamped) return SETTING_CLAMPED;
    return kept ? SETTING_KEPT : SETTING_CHANGED;
}

static uint8_t *SnapSwitchField(SnapSwitch which)
{
    switch (which) {
    case SNAP_MOVE: return &sRecord.snap.move;
    case SNAP_ROTATE: return &sRecord.snap.rotate;
    case SNAP_SCALE: return &sRecord.snap.scale;
    default: return &sRecord.snap.vertex;
    }
}
