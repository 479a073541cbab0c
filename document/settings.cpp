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
#define KIRTO_SETTING_NUMBER_SET(name, field, lowest, highest) \
    SettingChange SettingsSet##name(float value) { return SetNumber(&sRecord.field, value, k##name##Range); }
KIRTO_NUMBER_SETTINGS(KIRTO_SETTING_NUMBER_SET)
#undef KIRTO_SETTING_NUMBER_SET

#define KIRTO_SETTING_SWITCH_SET(name, field) \
    SettingChange SettingsSet##name(bool on) { return SetSwitch(&sRecord.field, on); }
KIRTO_SWITCH_SETTINGS(KIRTO_SETTING_SWITCH_SET)
#undef KIRTO_SETTING_SWITCH_SET

SettingChange SettingsSetSnapSwitch(SnapSwitch which, bool on)
{
    return SetSwitch(SnapSwitchField(which), on);
}

SettingChange SettingsSetQuality(int quality)
{
    int held = quality < 0 ? 0 : (quality >= kQualityCount ? kQualityCount - 1 : quality);
    SettingChange change = Outcome(held != quality, held == (int)sRecord.lighting.quality);
    sRecord.lighting.quality = (RenderQuality)held;
    return change;
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
