// settings_tab.cpp: the Settings tab: grid, lighting and shadows, snapping, editor switches and
// the sky. Each widget shows its setting within the widget's own range and hands what it shows to
// the setting's change function. Nothing here is stored, undone or marks the map dirty.
#include "editor/panels/right_panel.h"

#include <cmath>

#include "document/settings.h"
#include "editor/input.h"
#include "editor/gui.h"
#include "editor/widgets.h"
#include "render/renderer.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static constexpr float kRowH = 45.0f;
static constexpr float kStatusLineStep = 30.0f;   // between the lines of the renderer's status
static constexpr int kStatusLinesKept = 4;         // the longest status: three passes off, named
static constexpr float kLabelX = 33.75f, kLabelW = 180.0f;
static constexpr float kSliderX = 213.75f, kSliderW = 225.0f, kSliderH = 40.5f;
static const char *const kSkyLabels[4] = { "Day", "Sunset", "Night", "Grid" };

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static float SliderRow(const PanelPlace &p, float *y, const char *label, float value, float min, float max,
                       const char *fmt);
static float NumFieldRow(const PanelPlace &p, float *y, int id, const char *label, float value, float min, float max,
                         const char *fmt);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
float DrawSettingsTab(UiState &ui, const PanelPlace &p)
{
    float L = p.x, P = p.w, y = p.y;
    SettingsSetGridStep(SliderRow(p, &y, "Grid Step:", gSettings.gridStep, 0.125f, 4.0f, "%.2f"));
    y += 9.0f;
    GuiLabel(Rectangle{ L + kLabelX, y, 450.0f, kRowH }, "--- Lighting & Shadows ---");
    y += kRowH;
    // The status names every pass that is off and why. It always has the room of the longest
    // one, so that a reload whose status is longer or shorter never moves Reload Shaders away
    // from under the pointer.
    float wrapped = GuiLabelWrapped(Rectangle{ L + kLabelX, y, P - 67.5f, 36.0f }, gRenderer.status, kStatusLineStep);
    y += fmaxf(wrapped, (float)(kStatusLinesKept - 1) * kStatusLineStep) + kRowH;

    float toggleW = (P - 81.0f) / 4.0f;
    for (int i = 0; i < kQualityCount; i++) {
        bool current = (int)gLighting.quality == i;
        bool on = GuiToggle(Rectangle{ L + kLabelX + (float)i * (toggleW + 4.5f), y, toggleW, kRowH }, kQualityName[i],
                            current);
        if (on && !current) {
            SettingsSetQuality(i);
            ApplyRenderQuality();
            SettingsSetLighting(true);
            StatusSet(ui, "Render quality: %s", kQualityName[i]);
        }
    }
    y += 54.0f;
    SettingsSetShadows(GuiCheckBox(Rectangle{ L + kLabelX, y, 31.5f, 31.5f }, "Shadows", gLighting.shadows != 0));
    SettingsSetSsao(GuiCheckBox(Rectangle{ L + 247.5f, y, 31.5f, 31.5f }, "SSAO", gLighting.ssao != 0));
    y += 49.5f;
    SettingsSetAmbient(SliderRow(p, &y, "Ambient:", gSettings.ambient, 0.0f, 1.0f, "%.2f"));
    SettingsSetShadowBias(SliderRow(p, &y, "Shadow Bias:", gLighting.shadowBias, 0.0002f, 0.02f, "%.4f"));
    SettingsSetShadowArea(SliderRow(p, &y, "Shadow Area:", gLighting.shadowArea, 6.0f, 90.0f, "%.0f"));
    SettingsSetAoRadius(SliderRow(p, &y, "AO Radius:", gLighting.aoRadius, 0.05f, 3.0f, "%.2f"));
    SettingsSetAoStrength(SliderRow(p, &y, "AO Strength:", gLighting.aoStrength, 0.0f, 2.0f, "%.2f"));
    SettingsSetSpecular(SliderRow(p, &y, "Specular:", gLighting.specular, 0.0f, 1.0f, "%.2f"));
    SettingsSetGamma(SliderRow(p, &y, "Gamma:", gLighting.gamma, 1.0f, 3.0f, "%.2f"));
    if (GuiButton(Rectangle{ L + kLabelX, y, P - 67.5f, 49.5f }, "Reload Shaders")) {
        ReloadRenderer((int)ui.viewSize.x, (int)ui.viewSize.y);   // a view too small keeps the old size
        StatusSet(ui, "%s", gRenderer.status);
    }
    y += 63.0f;

    GuiLabel(Rectangle{ L + kLabelX, y, 450.0f, kRowH }, "--- Snapping ---");
    y += kRowH;
    SettingsSetRotStep(NumFieldRow(p, &y, NF_SNAP_ROT_STEP, "Rot Step:", gSnap.rotStep, 1.0f, 90.0f, "%.1f"));
    SettingsSetScaleStep(NumFieldRow(p, &y, NF_SNAP_SCALE_STEP, "Scl Step:", gSnap.scaleStep, 0.01f, 1.0f, "%.3f"));
    static const char *const kSnapLabels[kSnapSwitchCount] = { "Snap Movement", "Snap Rotation", "Snap Scale",
                                                               "Snap Vertices" };
    for (int i = 0; i < kSnapSwitchCount; i++) {
        SnapSwitch which = (SnapSwitch)i;
        bool on = GuiCheckBox(Rectangle{ L + 27.0f, y, 31.5f, 31.5f }, kSnapLabels[i], SnapSwitchOn(which));
        SettingsSetSnapSwitch(which, on);
        y += i < kSnapSwitchCount - 1 ? kRowH : 54.0f;
    }

    GuiLabel(Rectangle{ L + kLabelX, y, 450.0f, kRowH }, "--- Editor ---");
    y += kRowH;
    SettingsSetFlySpeed(SliderRow(p, &y, "Fly Speed:", gSettings.flySpeed, 0.05f, 2.0f, "%.2f"));
    y += 9.0f;
    SettingsSetVertexSize(SliderRow(p, &y, "Vertex Size:", gSettings.vertexSize, 0.05f, 1.0f, "%.2f"));
    y += 9.0f;
    bool grid2D = GuiCheckBox(Rectangle{ L + kLabelX, y, 36.0f, 36.0f }, " Show 2D Grid", gSettings.show2DGrid != 0);
    SettingsSetShow2DGrid(grid2D);
    y += kRowH;
    bool grid3D = GuiCheckBox(Rectangle{ L + kLabelX, y, 36.0f, 36.0f }, " Show 3D Grid", gSettings.show3DGrid != 0);
    SettingsSetShow3DGrid(grid3D);
    y += 58.5f;
    GuiLabel(Rectangle{ L + kLabelX, y, kLabelW, kRowH }, "Sky Style:");
    y += kRowH;
    for (int i = 0; i < 4; i++) {
        if (GuiButton(Rectangle{ L + kLabelX + 112.5f * (float)i, y, 101.25f, kRowH }, kSkyLabels[i])) ui.skyStyle = i;
    }
    return y + kRowH;
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// A label and a slider with its value printed at its right, at *y, which moves down one row. The
// slider holds the value in range whenever it is drawn; returns the value it shows.
static float SliderRow(const PanelPlace &p, float *y, const char *label, float value, float min, float max,
                       const char *fmt)
{
    GuiLabel(Rectangle{ p.x + kLabelX, *y, kLabelW, kRowH }, label);
    value = GuiSlider(Rectangle{ p.x + kSliderX, *y, kSliderW, kSliderH }, nullptr, TextFormat(fmt, value), value, min,
                      max);
    *y += kRowH;
    return value;
}

// A numeric field at *y, which moves down one row. A snapping step out of range would misbehave
// in every tool, so the field holds its value in range whenever it is drawn; returns the value.
static float NumFieldRow(const PanelPlace &p, float *y, int id, const char *label, float value, float min, float max,
                         const char *fmt)
{
    value = NumFieldShown(value, min, max);
    GuiNumField(id, Rectangle{ p.x + 27.0f, *y, p.w - 54.0f, kRowH }, label, &value, min, max, fmt);
    *y += kRowH;
    return value;
}
