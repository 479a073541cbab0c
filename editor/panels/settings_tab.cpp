// settings_tab.cpp: the Settings tab: grid, lighting and shadows, snapping, editor switches and
// the sky, edited in place. Nothing here is stored, undone or marks the map dirty.
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
static float SliderRow(const PanelPlace &p, float y, const char *label, float *value, float min, float max,
                       const char *fmt);
static void CheckBox(Rectangle r, const char *text, uint8_t *flag);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
float DrawSettingsTab(UiState &ui, const PanelPlace &p)
{
    float L = p.x, P = p.w, y = p.y;
    y += SliderRow(p, y, "Grid Step:", &gSettings.gridStep, 0.125f, 4.0f, "%.2f") + 9.0f;
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
            gLighting.quality = (RenderQuality)i;
            ApplyRenderQuality();
            gSettings.lighting = 1;
            StatusSet(ui, "Render quality: %s", kQualityName[i]);
        }
    }
    y += 54.0f;
    CheckBox(Rectangle{ L + kLabelX, y, 31.5f, 31.5f }, "Shadows", &gLighting.shadows);
    CheckBox(Rectangle{ L + 247.5f, y, 31.5f, 31.5f }, "SSAO", &gLighting.ssao);
    y += 49.5f;
    y += SliderRow(p, y, "Ambient:", &gSettings.ambient, 0.0f, 1.0f, "%.2f");
    y += SliderRow(p, y, "Shadow Bias:", &gLighting.shadowBias, 0.0002f, 0.02f, "%.4f");
    y += SliderRow(p, y, "Shadow Area:", &gLighting.shadowArea, 6.0f, 90.0f, "%.0f");
    y += SliderRow(p, y, "AO Radius:", &gLighting.aoRadius, 0.05f, 3.0f, "%.2f");
    y += SliderRow(p, y, "AO Strength:", &gLighting.aoStrength, 0.0f, 2.0f, "%.2f");
    y += SliderRow(p, y, "Specular:", &gLighting.specular, 0.0f, 1.0f, "%.2f");
    y += SliderRow(p, y, "Gamma:", &gLighting.gamma, 1.0f, 3.0f, "%.2f");
    if (GuiButton(Rectangle{ L + kLabelX, y, P - 67.5f, 49.5f }, "Reload Shaders")) {
        ReloadRenderer((int)ui.viewSize.x, (int)ui.viewSize.y);   // a view too small keeps the old size
        StatusSet(ui, "%s", gRenderer.status);
    }
    y += 63.0f;

    GuiLabel(Rectangle{ L + kLabelX, y, 450.0f, kRowH }, "--- Snapping ---");
    y += kRowH;
    // A snapping step out of range would misbehave in every tool: these two are held to it.
    gSnap.rotStep = NumFieldShown(gSnap.rotStep, 1.0f, 90.0f);
    gSnap.scaleStep = NumFieldShown(gSnap.scaleStep, 0.01f, 1.0f);
    GuiNumField(NF_SNAP_ROT_STEP, Rectangle{ L + 27.0f, y, P - 54.0f, kRowH }, "Rot Step:", &gSnap.rotStep, 1.0f, 90.0f,
                "%.1f");
    y += kRowH;
    GuiNumField(NF_SNAP_SCALE_STEP, Rectangle{ L + 27.0f, y, P - 54.0f, kRowH }, "Scl Step:", &gSnap.scaleStep, 0.01f,
                1.0f, "%.3f");
    y += kRowH;
    static const char *const kSnapLabels[4] = { "Snap Movement", "Snap Rotation", "Snap Scale", "Snap Vertices" };
    uint8_t *snapFlags[4] = { &gSnap.move, &gSnap.rotate, &gSnap.scale, &gSnap.vertex };
    for (int i = 0; i < 4; i++) {
        CheckBox(Rectangle{ L + 27.0f, y, 31.5f, 31.5f }, kSnapLabels[i], snapFlags[i]);
        y += i < 3 ? kRowH : 54.0f;
    }

    GuiLabel(Rectangle{ L + kLabelX, y, 450.0f, kRowH }, "--- Editor ---");
    y += kRowH;
    y += SliderRow(p, y, "Fly Speed:", &gSettings.flySpeed, 0.05f, 2.0f, "%.2f") + 9.0f;
    y += SliderRow(p, y, "Vertex Size:", &gSettings.vertexSize, 0.05f, 1.0f, "%.2f") + 9.0f;
    CheckBox(Rectangle{ L + kLabelX, y, 36.0f, 36.0f }, " Show 2D Grid", &gSettings.show2DGrid);
    y += kRowH;
    CheckBox(Rectangle{ L + kLabelX, y, 36.0f, 36.0f }, " Show 3D Grid", &gSettings.show3DGrid);
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
// A label and a slider with its value printed at its right; the slider holds the value in range
// whenever it is drawn. Returns the row's height.
static float SliderRow(const PanelPlace &p, float y, const char *label, float *value, float min, float max,
                       const char *fmt)
{
    GuiLabel(Rectangle{ p.x + kLabelX, y, kLabelW, kRowH }, label);
    *value = GuiSlider(Rectangle{ p.x + kSliderX, y, kSliderW, kSliderH }, nullptr, TextFormat(fmt, *value), *value,
                       min, max);
    return kRowH;
}

static void CheckBox(Rectangle r, const char *text, uint8_t *flag)
{
    *flag = GuiCheckBox(r, text, *flag != 0) ? 1 : 0;
}
