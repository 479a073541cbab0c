// editor_link.h: how the builtins reach state that lives outside the map they are given.
//
// Both records are defined here and filled from above; scripts never include the editor's headers.
// gEd points into the editor's own state (cameras, selection, tool, current assets, view
// rectangles) and is trusted only while valid is set. gScriptGlobals points at the settings record
// from the start and at the asset counts once the editor has linked them (the asset library is
// not the scripts' to include); a builtin whose pointer is null answers as for a missing object.
// Scripts read the settings through their pointer and change them only through the settings'
// change functions (document/settings.h), the same ones the editor uses.
#pragma once

#include <cstdint>
#include "raylib.h"
#include "document/settings.h"

//----------------------------------------------------------------------------------
// Records
//----------------------------------------------------------------------------------
struct EditorContext {
    Camera3D *cam3D;
    Camera3D *cam2DTop, *cam2DFront, *cam2DSide;
    float *flyYaw, *flyPitch, *orthoZoom;
    int *selBrush, *selEntity, *activeTool, *curTexture, *curModel;
    Rectangle *viewRect;             // the first of the four view rectangles, by ViewKind
    uint8_t valid;                   // 1 once start-up has filled the pointers
};

struct ScriptGlobals {
    const SettingsRecord *settings;                         // editor, snapping and lighting settings
    const int32_t *textureCount, *modelCount, *iconCount;   // loaded assets
};

extern EditorContext gEd;
extern ScriptGlobals gScriptGlobals;
