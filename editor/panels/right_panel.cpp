// right_panel.cpp: the right panel's frame: tab buttons, group box, the shared scrolled region.
#include "editor/panels/right_panel.h"

#include "editor/input.h"
#include "editor/gui.h"
#include "editor/tools/mod_tools.h"
#include "editor/widgets.h"
#include "project/asset_browser.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static const char *const kTabLabels[kSideTabCount] = { "Info", "Tree", "Obj", "Mdl", "Tex", "Set", "Mods" };
static const char *const kTabTitles[kSideTabCount] = {
    "Map Statistics", "Scene Tree Hierarchy", "Object Properties", "Model Assets",
    "Texture Editor", "Editor Settings", "Loaded Mods",
};
static constexpr Vector2 kNoPointer = { -1.0f, -1.0f };
static constexpr float kPanelPad = 11.25f;
static constexpr float kTabH = 49.5f;
static constexpr float kBoxTop = 72.0f;
static constexpr float kViewTop = 85.5f;
static constexpr float kContentTop = 101.25f;
static constexpr float kTabsBottomLimit = 22.5f;

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void RightPanelPhase(MapDoc *map, UiState &ui)
{
    PanelPlace place = RightPanelPlace(ui, 0.0f);
    Rectangle panel = { place.x, place.top, place.w, place.height };
    if (place.height <= 0.0f) return;
    // A render target is clipped by the screen's scissor too: the preview is rendered before
    // any clipping of the panel starts.
    if (ui.sideTab == TAB_MODEL) UpdateModelPreview(ui.curModel, gFrameClock.motionSeconds);

    Vector2 pointer = PointerOverWindow(ui) ? kNoPointer : ui.mouse;
    GuiPointerLimit(panel, pointer);
    GuiPanel(panel, nullptr);
    float tw = (place.w - 2.0f * kPanelPad) / (float)kSideTabCount;
    for (int k = 0; k < kSideTabCount; k++) {
        Rectangle button = { place.x + kPanelPad + (float)k * tw, place.top + kPanelPad, tw, kTabH };
        if (GuiButton(button, kTabLabels[k])) ui.sideTab = k;
    }
    GuiGroupBox(Rectangle{ place.x + kPanelPad, place.top + kBoxTop, place.w - 2.0f * kPanelPad, place.height - 90.0f },
                SideTabTitle(ui.sideTab));

    SidePanelFollowTab(map, ui);
    place = RightPanelPlace(ui, PanelScrollBegin(&ui.sidePanelScroll, place.view, pointer));
    float contentBottom = place.y;
    switch (ui.sideTab) {
    case TAB_INFO: contentBottom = DrawInfoTab(map, place); break;
    case TAB_TREE: contentBottom = DrawTreeTab(map, ui, place); break;
    case TAB_PROPERTIES: contentBottom = DrawPropertiesTab(map, ui, place); break;
    case TAB_MODEL: contentBottom = DrawModelTab(map, ui, place); break;
    case TAB_TEXTURE: contentBottom = DrawTextureTab(map, ui, place); break;
    case TAB_SETTINGS: contentBottom = DrawSettingsTab(ui, place); break;
    case TAB_MODS: contentBottom = DrawModsTab(ui, place); break;
    default: break;
    }
    PropertiesTabEndFrame(ui);
    PanelScrollEnd(&ui.sidePanelScroll, place.view, contentBottom);
    if (ui.sideTab >= 0 && ui.sideTab < kSideTabCount) ui.sideTabHeight[ui.sideTab] = ui.sidePanelScroll.contentHeight;
    ui.sideTabMeasured = ui.sideTab;
}

void SidePanelFollowTab(const MapDoc *map, UiState &ui)
{
    if (ui.sideTab == ui.sideTabMeasured) return;
    PanelPlace place = RightPanelPlace(ui, -ui.sidePanelScroll.offset);
    float bottom = place.y;
    if (SideTabContentBottom(map, place, ui.sideTab, &bottom)) {
        PanelScrollMeasure(&ui.sidePanelScroll, place.view, bottom);
    } else {
        // A tab never drawn yet has no height: it starts at its top.
        bool known = ui.sideTab >= 0 && ui.sideTab < kSideTabCount;
        ui.sidePanelScroll.contentHeight = known ? ui.sideTabHeight[ui.sideTab] : 0.0f;
    }
    PanelScrollClamp(&ui.sidePanelScroll, place.view.height);
    ui.sideTabMeasured = ui.sideTab;
}

int SideTabContentBottom(const MapDoc *map, const PanelPlace &place, int tab, float *bottom)
{
    switch (tab) {
    case TAB_INFO: *bottom = place.y; return 1;
    case TAB_TREE: *bottom = TreeTabContentBottom(map, place); return 1;
    case TAB_MODEL: *bottom = ModelTabLayout(place).assign.y; return 1;
    case TAB_TEXTURE: *bottom = TextureTabLayout(place).rescan.y; return 1;
    case TAB_MODS: *bottom = ModsTabContentBottom(place); return 1;
    default: return 0;
    }
}

const char *SideTabTitle(int tab)
{
    return (tab >= 0 && tab < kSideTabCount) ? kTabTitles[tab] : "";
}

PanelPlace RightPanelPlace(const UiState &ui, float scrollShift)
{
    PanelPlace place;
    place.x = (float)ui.screenW - ui.rightPanelW;
    place.w = ui.rightPanelW;
    place.top = ui.viewsTop;
    place.height = ui.viewsArea.y;
    place.y = place.top + kContentTop + scrollShift;
    place.scroll = -scrollShift;
    place.bottom = place.top + place.height - kTabsBottomLimit;
    float viewH = place.height - 94.5f;
    place.view = Rectangle{ place.x, place.top + kViewTop, place.w, viewH > 0.0f ? viewH : 0.0f };
    return place;
}
