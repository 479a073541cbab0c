// ui_state.h: the editor application's one state record and the table scripts reach it through.
//
// UiState lives in main for the whole run; every phase of the frame reads and writes it. It holds
// what the frame, the layout and several tools share; each tool's own state is a record declared
// in that tool's header and held here as one member. The script builtins see only the parts
// published in gEd.
#pragma once

#include <cstdint>
#include "raylib.h"
#include "document/map_records.h"
#include "document/problem_check.h"
#include "document/settings.h"
#include "editor/tools/tool_id.h"
#include "editor/widgets.h"
#include "editor/tools/block.h"
#include "editor/tools/clip_tool.h"
#include "editor/tools/select.h"
#include "editor/tools/vertex.h"
#include "script/editor_link.h"

//----------------------------------------------------------------------------------
// Enumerations
//----------------------------------------------------------------------------------
enum MorphMode : int32_t { MORPH_VERTEX = 0, MORPH_EDGE = 1, MORPH_FACE = 2 };
enum SideTab : int32_t {
    TAB_INFO = 0, TAB_TREE = 1, TAB_PROPERTIES = 2, TAB_MODEL = 3, TAB_TEXTURE = 4, TAB_SETTINGS = 5, TAB_MODS = 6,
};
constexpr int kSideTabCount = 7;

// Slots of UiState.renderTargets: the four views by ViewKind, then the Render output.
constexpr int kRenderOutputTarget = 4;
constexpr int kRenderTargetCount = 5;

constexpr int kStatusLen = 128;
constexpr int kMapFileNameLen = 96;
constexpr int kMaxMergeBrushes = 64;         // entries of the merge prompt
constexpr int kCentreTextLen = 24;

//----------------------------------------------------------------------------------
// UiState
//----------------------------------------------------------------------------------
struct UiState {
    // Window, layout and input of the frame
    int screenW, screenH;
    float menuBarH, toolbarH, statusBarH, leftPanelW, rightPanelW;
    float viewsTop;
    Vector2 viewsArea;               // width and height between the bars and panels
    Vector2 viewSize;                // one view: half of viewsArea each way
    Rectangle viewRect[kViewCount];  // by ViewKind
    Vector2 mouse;
    bool uiBlocksInput;              // a text box or file dialog holds the keyboard
    bool escConsumed;                // Escape closed a window this frame
    bool ctrlHeld, shiftHeld;
    bool vertexClickConsumed;        // the Vertex tool used this frame's left press
    bool textureClickConsumed;       // the Texture tool's paint step used this frame's left press
    bool modClickConsumed;           // a mode tool stopped on this frame's left press
    bool transformInputUsed;         // a transform ran this frame: its Enter and clicks are used up

    // Selection and current choices
    int selBrush, selEntity;         // -1 = none
    int activeTool;                  // ToolId
    int curTexture, curModel;        // asset numbers, -1 = none
    int placeKind;                   // EntityKind
    int blockShape;                  // BrushShape
    int morphMode;                   // MorphMode
    int skyStyle;                    // SkyStyle
    int sideTab;                     // SideTab

    // Cameras
    Camera3D cam3D;
    Camera3D cam2D[3];               // Top, Front, Side
    float flyYaw, flyPitch;          // radians
    float orthoZoom;                 // visible world height of the 2D views

    // Render targets and font
    RenderTexture2D renderTargets[kRenderTargetCount];
    Font uiFont;

    // Map file
    char mapFileName[kMapFileNameLen];
    char dlgNameBefore[kMapFileNameLen];   // mapFileName when the map file dialog opened

    // Windows and dialogs
    bool showHelp, showOpenDialog, showSaveDialog, showRenderOutput, showProblems, mergePrompt;
    bool fileBoxEdit, nameBoxEdit, classBoxEdit;
    bool vtxCentreEdit[3];
    char vtxCentreText[3][kCentreTextLen];
    MapProblemReport problemReport;
    int mergeBrushes[kMaxMergeBrushes];
    int mergeVerts[kMaxMergeBrushes];      // the dropped vertex of each entry ...
    int mergeOnto[kMaxMergeBrushes];       // ... and the unselected vertex it landed on
    int mergeCount;

    // Status and tooltip
    char statusText[kStatusLen];
    const char *tooltipText;

    // An action (RescueAction: a close, a switch, a Recover) was refused for unsaved work that no
    // file could take: the same request again goes ahead, unless the history moved since
    // (gUndo.serial then differs), which asks again
    bool rescueRefused;
    int32_t rescueRefusedAction;
    uint32_t rescueRefusedSerial;

    // Clipboards
    Brush brushClipboard;
    bool clipboardHasBrush;
    Entity entityClipboard;
    bool clipboardHasEntity;
    BrushFace facePlacementClipboard;
    bool facePlacementValid;

    // Each tool's own state, declared in its header
    TransformState xform;            // Select tool: the running grab, rotate or scale
    BlockToolState block;
    ClipToolState clip;
    VertexToolState vertex;

    // Scrolling
    PanelScroll leftPanelScroll, sidePanelScroll;
    int sideTabMeasured;             // the tab sidePanelScroll's content height belongs to, -1 none
    float sideTabHeight[kSideTabCount];   // each tab's content height when it was last drawn
    float topBarScroll;
    float topBarWidth;               // content width of the top bar

    // Per-frame values of the right panel and the file dialog
    float rowH;
    Brush *selBrushPtr;
    Entity *selEntityPtr;
    bool dlgIsSave;
};
