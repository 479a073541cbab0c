// mods.h: the mod registry: packages of tools, each tool an assembled script with its own state.
//
// The registry is one fixed global record. Only the records live here so far: the builtins of
// the mod. family read and write a tool's slots and frame counter and the registry's request
// flags; the scan of the mods folder and the tool runs fill and use the same records.
#pragma once

#include <cstdint>

#include "script/assembler.h"

//----------------------------------------------------------------------------------
// Limits
//----------------------------------------------------------------------------------
constexpr int kMaxMods = 16;
constexpr int kMaxModTools = 12;
constexpr int kModToolSlots = 32;        // floats a tool keeps between runs
constexpr int kModToolNameLen = 32;
constexpr int kModScriptLen = 64;
constexpr int kModHelpLen = 96;
constexpr int kModNameLen = 64;
constexpr int kModOutputLen = 512;
constexpr int kModErrorLen = 192;

//----------------------------------------------------------------------------------
// Records
//----------------------------------------------------------------------------------
struct ModTool {
    char name[kModToolNameLen];          // the label on its button
    char script[kModScriptLen];          // file name relative to the mod folder
    char help[kModHelpLen];              // tooltip, may be empty
    VmProgram prog;
    bool loaded;                         // read and assembled without error
    bool isMode;                         // declared with "mode": runs every frame while selected
    float slots[kModToolSlots];          // mod.get / mod.set; kept from run to run until a scan
    int32_t frame;                       // frames run since the mode tool was last selected
};

struct ModPackage {
    char name[kModNameLen];
    char author[kModNameLen];
    ModTool tools[kMaxModTools];
    int32_t toolCount;
    bool valid;
};

struct ModRegistry {
    ModPackage mods[kMaxMods];
    int32_t count;
    char lastOutput[kModOutputLen];
    char lastError[kModErrorLen];
    int32_t activeMod, activeTool;       // the selected mode tool, -1 and -1 for none
    bool exitRequested;                  // mod.exit: deselect the mode tool after this frame
    bool undoRequested;                  // mod.pushundo: the script asks for an undo step
};

extern ModRegistry gMods;

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------
// 1 when tool is the registry's selected mode tool.
int ModToolIsActive(const ModTool *tool);
