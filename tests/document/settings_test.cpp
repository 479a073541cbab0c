// The settings record: the snapping start values and the change functions' ranges and reports.
#include <gtest/gtest.h>

#include <cmath>

#include "document/settings.h"

TEST(Settings, SnapSettingsStartValues)
{
    EXPECT_EQ(gSnap.move, 1);
    EXPECT_EQ(gSnap.scale, 0);
    EXPECT_EQ(gSnap.rotate, 1);
    EXPECT_EQ(gSnap.vertex, 1);
    EXPECT_FLOAT_EQ(gSnap.rotStep, 15.0f);
    EXPECT_FLOAT_EQ(gSnap.scaleStep, 0.25f);
}

// Every number setting is held to its range, keeps its value for what is not a number, and says
// which of the four things happened; every switch takes 0 or 1 and says whether it moved.
TEST(Settings, ChangeFunctionsHoldTheirRangesAndSaySo)
{
    const SettingsRecord saved = gSettingsRecord;
    struct NumberCase {
        const char *what;
        SettingChange (*set)(float);
        const float *field;
        float min, max;
    };
    const NumberCase numbers[] = {
        { "grid step", SettingsSetGridStep, &gSettings.gridStep, 0.0001f, 64.0f },
        { "fly speed", SettingsSetFlySpeed, &gSettings.flySpeed, 0.001f, 10.0f },
        { "vertex size", SettingsSetVertexSize, &gSettings.vertexSize, 0.05f, 1.0f },
        { "ambient", SettingsSetAmbient, &gSettings.ambient, 0.0f, 2.0f },
        { "rotation step", SettingsSetRotStep, &gSnap.rotStep, 0.1f, 180.0f },
        { "scale step", SettingsSetScaleStep, &gSnap.scaleStep, 0.01f, 1.0f },
        { "shadow bias", SettingsSetShadowBias, &gLighting.shadowBias, 0.0002f, 0.02f },
        { "shadow area", SettingsSetShadowArea, &gLighting.shadowArea, 6.0f, 90.0f },
        { "occlusion radius", SettingsSetAoRadius, &gLighting.aoRadius, 0.05f, 3.0f },
        { "occlusion strength", SettingsSetAoStrength, &gLighting.aoStrength, 0.0f, 2.0f },
        { "specular", SettingsSetSpecular, &gLighting.specular, 0.0f, 1.0f },
        { "gamma", SettingsSetGamma, &gLighting.gamma, 0.5f, 4.0f },
    };
    for (const NumberCase &c : numbers) {
        SCOPED_TRACE(c.what);
        float inside = c.min + 0.25f * (c.max - c.min);   // no start value lies there
        EXPECT_EQ(c.set(inside), SETTING_CHANGED);
        EXPECT_EQ(c.set(inside), SETTING_KEPT);
        EXPECT_EQ(c.set(NAN), SETTING_REFUSED);
        EXPECT_EQ(c.set(-INFINITY), SETTING_REFUSED);
        EXPECT_EQ(*c.field, inside);
        EXPECT_EQ(c.set(c.max * 2.0f + 1.0f), SETTING_CLAMPED);
        EXPECT_EQ(*c.field, c.max);
        EXPECT_EQ(c.set(c.min - 1.0f), SETTING_CLAMPED);
        EXPECT_EQ(*c.field, c.min);
        EXPECT_EQ(c.set(c.min), SETTING_KEPT);   // both ends lie in the range
    }

    struct SwitchCase {
        const char *what;
        SettingChange (*set)(bool);
        const uint8_t *field;
    };
    const SwitchCase switches[] = {
        { "2D grid", SettingsSetShow2DGrid, &gSettings.show2DGrid },
        { "3D grid", SettingsSetShow3DGrid, &gSettings.show3DGrid },
        { "lighting", SettingsSetLighting, &gSettings.lighting },
        { "gizmo icons", SettingsSetGizmoIcons, &gSettings.gizmoIcons },
        { "shadows", SettingsSetShadows, &gLighting.shadows },
        { "occlusion", SettingsSetSsao, &gLighting.ssao },
        { "snap move", [](bool on) { return SettingsSetSnapSwitch(SNAP_MOVE, on); }, &gSnap.move },
        { "snap rotate", [](bool on) { return SettingsSetSnapSwitch(SNAP_ROTATE, on); }, &gSnap.rotate },
        { "snap scale", [](bool on) { return SettingsSetSnapSwitch(SNAP_SCALE, on); }, &gSnap.scale },
        { "snap vertex", [](bool on) { return SettingsSetSnapSwitch(SNAP_VERTEX, on); }, &gSnap.vertex },
    };
    for (const SwitchCase &c : switches) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.set(*c.field == 0), SETTING_CHANGED);
        EXPECT_EQ(c.set(*c.field != 0), SETTING_KEPT);
        SettingChange expected = *c.field == 1 ? SETTING_KEPT : SETTING_CHANGED;   // read before the set
        EXPECT_EQ(c.set(true), expected);
        EXPECT_EQ(*c.field, 1);
    }
    EXPECT_TRUE(SnapSwitchOn(SNAP_SCALE));

    EXPECT_EQ(SettingsSetQuality(QUALITY_LOW), SETTING_CHANGED);
    EXPECT_EQ(SettingsSetQuality(QUALITY_LOW), SETTING_KEPT);
    EXPECT_EQ(SettingsSetQuality(kQualityCount), SETTING_CLAMPED);
    EXPECT_EQ(gLighting.quality, QUALITY_HIGH);
    EXPECT_EQ(SettingsSetQuality(-1), SETTING_CLAMPED);
    EXPECT_EQ(gLighting.quality, QUALITY_OFF);
    SettingsForTests() = saved;
}
