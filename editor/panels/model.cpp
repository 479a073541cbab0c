// model.cpp: the Model tab: the turning preview, the Spin toggle, the model list and Assign.
#include "editor/panels/right_panel.h"

#include <cmath>
#include <cstdio>

#include "document/undo.h"
#include "editor/input.h"
#include "editor/gui.h"
#include "editor/tools/select.h"
#include "project/asset_browser.h"
#include "project/assets.h"

static constexpr float kPreviewMaxSide = 270.0f;
static constexpr Color kPreviewOutline = { 80, 84, 94, 255 };

float DrawModelTab(MapDoc *map, UiState &ui, const PanelPlace &place)
{
    ModelTabRects r = ModelTabLayout(place);
    GuiLabel(r.title, "Model Assets");
    if (gBrowser.previewReady) {
        const Texture2D &t = gBrowser.preview.texture;
        DrawTexturePro(t, Rectangle{ 0.0f, 0.0f, (float)t.width, -(float)t.height }, r.preview, Vector2{ 0.0f, 0.0f },
                       0.0f, WHITE);
    }
    DrawRectangleLinesEx(r.preview, 2.25f, kPreviewOutline);
    Vector2 pointer = GetMousePosition();   // the region's: nothing out of its sight is hovered
    if (CheckCollisionPointRec(pointer, r.preview)) ui.tooltipText = "Model preview. Click Spin to stop the turntable.";

    GuiLabel(r.name, AssetModelUsable(ui.curModel) ? gAssets.models[ui.curModel].name : "None selected");
    gBrowser.spin = GuiToggle(r.spin, "Spin", gBrowser.spin);

    int hovered = -1;
    int picked = DrawModelList(r.list, place.view, ui.curModel, &gBrowser.modelScroll, &hovered);
    if (hovered >= 0) ui.tooltipText = "Click to select. It becomes the model for newly placed props.";
    if (picked >= 0) {
        ui.curModel = picked;
        StatusSet(ui, "Selected Model #%d (%s)", picked, gAssets.models[picked].name);
    }

    if (GuiButton(r.assign, "Assign To Selected Entity")) ModelAssignToEntity(map, ui);
    return r.assign.y;
}

ModelTabRects ModelTabLayout(const PanelPlace &place)
{
    ModelTabRects r;
    float x0 = place.x + 27.0f, w0 = place.w - 54.0f, y = place.y;
    r.title = Rectangle{ x0, y, w0, 36.0f };
    y += 40.5f;
    float s = fminf(w0, kPreviewMaxSide);
    r.preview = Rectangle{ x0 + (w0 - s) / 2.0f, y, s, s };
    y += s + 9.0f;
    r.name = Rectangle{ x0, y, place.w - 157.5f, 36.0f };
    r.spin = Rectangle{ place.x + place.w - 126.0f, y, 99.0f, 36.0f };
    y += 45.0f;
    // Sized from where the list lies unscrolled, as the Texture tab's grid.
    float lh = fmaxf(place.bottom - (y + place.scroll) - 63.0f, kAssetBoxMinH);
    r.list = Rectangle{ x0, y, w0, lh };
    y += lh + 9.0f;
    r.assign = Rectangle{ x0, y, w0, 49.5f };
    return r;
}

int ModelAssignToEntity(MapDoc *map, UiState &ui)
{
    if (!MapEntityValid(map, ui.selEntity)) {
        StatusSet(ui, "Select an entity first.");
        return 0;
    }
    TransformCancel(map, ui);
    PushUndoState(map);
    // A number left behind by a rescan names nothing: the entity gets no model rather than a
    // number that the next scan may give to another file.
    map->entities[ui.selEntity].model = AssetModelUsable(ui.curModel) ? ui.curModel : -1;
    StatusSet(ui, "Assigned model to Entity #%d", ui.selEntity);
    return 1;
}
