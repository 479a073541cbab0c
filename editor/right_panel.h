// right_panel.h: the tabbed panel right of the views, and the bodies of its tabs.
//
// The frame (tab buttons, titled group box, one scrolled region shared by every tab) lives in
// right_panel.cpp; each tab's body is a file of its own (panel_info.cpp, panel_tree.cpp,
// panel_model.cpp, panel_texture.cpp, panel_settings.cpp; the Mods tab lives with the mod tools
// in mod_tools.cpp). A body lays its controls out from the content cursor down and returns where
// its content ends. Panel buttons edit the map with one snapshot before the change and none when
// they refuse.
#pragma once

#include "raylib.h"
#include "document/map_records.h"
#include "editor/ui_state.h"

constexpr int kSideTabCount = 7;
constexpr int kTreeRowTextLen = 64;
constexpr float kTreeRowH = 45.0f;
constexpr float kTreeRowStep = 49.5f;

// Where a tab lays out its controls this frame.
struct PanelPlace {
    float x, w;           // the panel's left edge and width
    float y;              // the content cursor: the top of the tab's first control, scroll applied
    float top, height;    // the views area's top and height
    float bottom;         // the fixed lower limit of the Model and Texture tabs
    Rectangle view;       // the scrolled region on screen: everything of the tab is clipped to it
};

// Phase 27: the panel, its tab buttons, the active tab's group box and body in the scrolled region.
void RightPanelPhase(MapDoc *map, UiState &ui);
// The group box title of a tab ("Map Statistics", ...); "" for a number that is no tab.
const char *SideTabTitle(int tab);
// The layout of the panel for this frame's window and scroll offset.
PanelPlace RightPanelPlace(const UiState &ui, float scrollShift);

// Info tab: the map's and the library's counts and the undo steps; returns the content bottom.
float DrawInfoTab(const MapDoc *map, const PanelPlace &place);

// Tree tab: a row per brush and entity and the Subdivide button; returns the content bottom.
float DrawTreeTab(MapDoc *map, UiState &ui, const PanelPlace &place);
// A row's text: the marker ("> " selected, "  " not) and the name, or "<kind> #<index>" unnamed.
void TreeRowText(char *out, int outSize, bool selected, const char *name, const char *kind, int index);
// Selects brush (entity when isEntity) index from the Tree, the other kind cleared; 1, or 0 for a
// number the map does not hold (nothing changes).
int TreeSelect(MapDoc *map, UiState &ui, bool isEntity, int index);
// The Subdivide button's fixed place near the panel's bottom.
Rectangle TreeSubdivideRect(const PanelPlace &place);
// Whether the rows may take the pointer: not while it is over the shown Subdivide button, which
// is drawn over them.
bool TreeRowsTakePointer(bool buttonShown, Rectangle button, Vector2 pointer);

// Model tab: the preview, the Spin toggle, the model list and Assign; returns the content bottom.
// The preview must have been rendered (UpdateModelPreview) before the region's scissor went on.
float DrawModelTab(MapDoc *map, UiState &ui, const PanelPlace &place);
// Gives the selected entity the active model (none when that names no loaded model) with one
// snapshot; 1, or 0 with "Select an entity first." and no snapshot.
int ModelAssignToEntity(MapDoc *map, UiState &ui);

// Settings tab: the grid, lighting, snapping and editor settings and the sky; returns the
// content bottom. Every slider and numeric field holds its setting in range while drawn.
float DrawSettingsTab(UiState &ui, const PanelPlace &place);
// Mods tab: the packages and their tools, Reload Mods and the Last Run box; returns the content bottom.
float DrawModsTab(UiState &ui, const PanelPlace &place);

// Texture tab: the preview box, the grid, Apply and Rescan; returns the content bottom.
float DrawTextureTab(MapDoc *map, UiState &ui, const PanelPlace &place);
// Applies the active texture to the selected faces, else the selected brush (its faces follow
// it), else the selected entity, with one snapshot; 1, or 0 with nothing selected or no loaded
// active texture (status says which, no snapshot).
int TextureApplyToSelection(MapDoc *map, UiState &ui);
// Rescans the asset folders and reports the new counts; the active numbers stay as they were.
void TextureTabRescan(UiState &ui);
