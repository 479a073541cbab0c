// right_panel.h: the tabbed panel right of the views, and the bodies of its tabs.
//
// The frame (tab buttons, titled group box, one scrolled region shared by every tab) lives in
// right_panel.cpp; each tab's body is a file of its own beside it in editor/panels/ (info.cpp,
// tree.cpp, model.cpp, texture.cpp, settings_tab.cpp, and the Object Properties tab in properties.cpp,
// face.cpp, entity.cpp and property_boxes.cpp; the Mods tab mods_tab.cpp).
// A body lays its controls out from the content cursor down and returns where its content ends.
// Panel buttons edit the map with one snapshot before the change and none when they refuse.
#pragma once

#include "raylib.h"
#include "document/map_records.h"
#include "editor/ui_state.h"

constexpr int kTreeRowTextLen = 64;
constexpr float kTreeRowH = 45.0f;
constexpr float kTreeRowStep = 49.5f;
constexpr float kPropRowH = 40.5f;          // Object Properties: one row
constexpr float kAssetBoxMinH = 135.0f;     // the Model tab's list and the Texture tab's grid
constexpr float kMinBrushFieldSize = 0.05f; // the smallest size the brush's size fields give

// Where a tab lays out its controls this frame.
struct PanelPlace {
    float x, w;           // the panel's left edge and width
    float y;              // the content cursor: the top of the tab's first control, scroll applied
    float scroll;         // the region's offset: what y and every control of the tab are moved up
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
// A tab's content never follows the scroll, and a tab other than the one the region was last
// measured with brings its own content height: from its layout, else (Object Properties and
// Settings, whose rows only drawing tells) as it was when last drawn. The offset is clamped to it
// before the region opens, so a tab is drawn at its own scroll from the frame it is chosen in.
void SidePanelFollowTab(const MapDoc *map, UiState &ui);
// The content bottom a tab's body returns at place, known without drawing it; 1, or 0 for a tab
// whose content only drawing measures.
int SideTabContentBottom(const MapDoc *map, const PanelPlace &place, int tab, float *bottom);

// Info tab: the map's and the library's counts and the undo steps; returns the content bottom.
float DrawInfoTab(const MapDoc *map, const PanelPlace &place);

// Tree tab: a row per brush and entity and the Subdivide button; returns the content bottom.
float DrawTreeTab(MapDoc *map, UiState &ui, const PanelPlace &place);
// Where the Tree's rows end: a heading and a row per brush, then the same for the entities.
float TreeTabContentBottom(const MapDoc *map, const PanelPlace &place);
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

// Where the Model tab's parts lie: the list fills the panel down to its lower limit (measured
// without the scroll), at least kAssetBoxMinH high; the content ends at the top of Assign.
struct ModelTabRects { Rectangle title, preview, name, spin, list, assign; };
ModelTabRects ModelTabLayout(const PanelPlace &place);
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
// One row of the Mods tab's list: a package, a tool, one wrapped row of a tool's program error
// (its bytes start .. start + length), or a line of the hint shown when no mod is loaded (tool).
enum ModsRowKind : int32_t { MODS_ROW_PACKAGE = 0, MODS_ROW_TOOL = 1, MODS_ROW_ERROR = 2, MODS_ROW_HINT = 3 };
struct ModsListRow {
    int32_t kind, mod, tool;
    int32_t start, length;
    Rectangle rect;
};
constexpr int kModsListRowsMax = 128;
struct ModsListLayout {
    ModsListRow rows[kModsListRowsMax];
    int count;
    float bottom;                        // the y below the last row
};
// The Mods tab's list below Reload Mods, as the registry stands: rows are laid out while they start
// no lower than the list's end above the Last Run heading (measured without the scroll, so the tab
// never scrolls), and a tool comes with every row of its wrapped error or not at all, after which
// the list stops.
void ModsListLayoutBuild(ModsListLayout *layout, const PanelPlace &place);
// The Last Run heading's row, at a fixed place above the panel's bottom.
Rectangle ModsLastRunHeading(const PanelPlace &place);
// Where the Mods tab's content ends: the Last Run box where it lies unscrolled, or the list's end.
float ModsTabContentBottom(const PanelPlace &place);

// Where the Texture tab's parts lie, as for the Model tab: the grid fills the panel, and the
// content ends at the top of Rescan.
struct TextureTabRects { Rectangle title, preview, label, grid, apply, rescan; };
TextureTabRects TextureTabLayout(const PanelPlace &place);
// Texture tab: the preview box, the grid, Apply and Rescan; returns the content bottom.
float DrawTextureTab(MapDoc *map, UiState &ui, const PanelPlace &place);
// Applies the active texture to the selected faces, else the selected brush (its faces follow
// it), else the selected entity, with one snapshot; 1, or 0 with nothing selected or no loaded
// active texture (status says which, no snapshot).
int TextureApplyToSelection(MapDoc *map, UiState &ui);
// Rescans the asset folders and reports the new counts; the active numbers stay as they were.
void TextureTabRescan(UiState &ui);

// Object Properties tab: the vertex selection's centre, then the selected brush (with its face
// placement) or else the selected entity; returns the content bottom. Every committed edit is one
// undo step taken before the change (PropertiesEditEnd); one that changes nothing takes none.
float DrawPropertiesTab(MapDoc *map, UiState &ui, const PanelPlace &place);
// Keeps a copy of the record the tab shows (the selected brush, else the selected entity) before
// its widgets run.
void PropertiesEditBegin(MapDoc *map, const UiState &ui);
// After the widgets: when the shown record changed and no button of the tab took its own
// snapshot, takes one undo step with the copy put back (the map as it was before the change) and
// marks the map changed; while pressHeld (the left button still down: a slider dragged) the
// press's later changes of that record join this step. 1 when it took a step.
int PropertiesEditEnd(MapDoc *map, bool pressHeld);
// The tab's two lower sections, drawn from the running row position y at panel edge L, width P;
// each returns the y below it.
float FaceTexturePanel(MapDoc *map, UiState &ui, float L, float P, float y);
float EntityPropertiesPanel(MapDoc *map, UiState &ui, float L, float P, float y);
// The Name and Class boxes (slot 0 and 1): the typed text replaces text when the edit is committed
// (Enter or a click outside); Escape, or the shown record changing, drops it.
void PropertyTextBox(Rectangle bounds, char *text, int capacity, bool *edit, int slot);
// A check box on a u8 flag that writes it only when clicked; true then.
bool PropertyCheckBox(Rectangle bounds, const char *text, uint8_t *flag);
// Releases the keyboard from a Name or Class box that was not drawn this frame.
void PropertyTextBoxesEndFrame(UiState &ui);
// Ends the edit of a Name, Class or centre box that was not drawn this frame, so a hidden box
// never keeps the keyboard.
void PropertiesTabEndFrame(UiState &ui);
// The selected brush's size rescales its vertices about their centroid by size / before per axis
// (factor 1 where before is 0.0001 or less); sizes are held to at least kMinBrushFieldSize. 1 when
// the vertices moved; 0 when nothing changed, or when the result would not be finite (the size goes
// back to before).
int BrushSizeRescale(Brush *brush, Vector3 before);
// The panel's vertex buttons: every selected vertex onto the grid, or onto their common centre
// (nothing welded). 1, or 0 with no snapshot when no vertex is selected (or, for the snap, when a
// brush would not stay a closed solid: VertexSnapSelected).
int VertexPanelSnap(MapDoc *map, UiState &ui);
int VertexPanelCollapse(MapDoc *map, UiState &ui);
// Brush buttons on ui.selBrush, each checked on a copy: one snapshot and the change, or 0 with
// the status saying why and no snapshot.
int BrushPanelFlip(MapDoc *map, UiState &ui, int axis);
int BrushPanelWeld(MapDoc *map, UiState &ui);
int BrushPanelFixWinding(MapDoc *map, UiState &ui);
int BrushPanelRebuild(MapDoc *map, UiState &ui);
int BrushPanelApplyTexture(MapDoc *map, UiState &ui);

// Face placement of the selected brush: the reference face (the brush's first selected face when
// any face of the map is selected and one of them is its own, else face 0; -1 without faces) and
// the target faces into targets (kMaxBrushFaces flags); returns how many targets.
int FaceTargetsFind(const MapDoc *map, int brush, int *reference, bool *targets);
// Face placement buttons on the selected brush's target faces; each returns how many faces it
// changed and, when none, says that no face of this brush was changed.
enum FaceOp : int32_t { FACE_OP_R90 = 0, FACE_OP_PASTE = 1, FACE_OP_FIT = 2, FACE_OP_WORLD = 3, FACE_OP_RESET = 4 };
int FacePanelApply(MapDoc *map, UiState &ui, int op);
// Scales and offsets one face so one texture tile covers its corners; 1, or 0 below 3 corners.
int FaceFitPlacement(const Brush *brush, BrushFace *face);
// Copies the reference face into the placement clipboard; 1, or 0 when the brush has no face.
int FacePanelCopy(const MapDoc *map, UiState &ui);
// The active texture onto every selected face of the map with one snapshot; returns how many.
int FacePanelApplyTexture(MapDoc *map, UiState &ui);

// Entity panel: a kind toggle turned on (class name, light and physics flags follow the kind).
void EntityKindPick(Entity *entity, int kind);
// A shown entity's tint, and a light's colour, are always in force: their alpha becomes 255.
void EntityColoursHold(Entity *entity);
// Holds the spot cones apart after an edit: Outer follows Inner up, and cannot go below it.
void EntityConesHold(Entity *entity, bool innerChanged, bool outerChanged);
// Entity buttons on ui.selEntity with one snapshot each; 1, or 0 without a valid entity.
int EntityPanelSetModel(MapDoc *map, UiState &ui);
int EntityPanelTexture(MapDoc *map, UiState &ui, bool clear);
