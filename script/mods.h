// mods.h: the mod registry: packages of tools, each tool an assembled script with its own state.
//
// The registry is one fixed global record, rebuilt from the mods folder by each scan: every
// sub-folder with a "mod.txt" manifest and at least one tool line is a package. Scripts are
// assembled once per scan, never per run. This layer writes no status lines: it keeps the last
// run's output and error for the editor to show.
#pragma once

#include <cstdint>

#include "document/map_records.h"
#include "script/assembler.h"
#include "script/vm_state.h"

//----------------------------------------------------------------------------------
// Limits
//----------------------------------------------------------------------------------
constexpr int kMaxMods = 16;
constexpr int kMaxModTools = 12;
constexpr int kModToolSlots = kModRunSlots;   // floats a tool keeps between runs
constexpr int kModToolNameLen = 32;
constexpr int kModScriptLen = 64;
constexpr int kModHelpLen = 96;
constexpr int kModNameLen = 64;
constexpr int kModOutputLen = 512;
constexpr int kModErrorLen = 192;
constexpr int kModLineLen = 319;         // a longer manifest line goes on as a new line
constexpr long kModMaxFileBytes = 1048576;
constexpr const char *kModsDir = "mods";

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
    // Raised from a run's link after the run (ModRunLinkRead), cleared by the editor.
    bool exitRequested;                  // mod.exit: deselect the mode tool after this frame
    bool undoRequested;                  // mod.pushundo: the script asks for an undo step
};

extern ModRegistry gMods;

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------
// 1 when tool is the registry's selected mode tool.
int ModToolIsActive(const ModTool *tool);
// The tool at (mod, tool) of the registry, or none for indices out of range.
ModTool *ModToolAt(int mod, int tool);
// Rebuilds the registry from the mods folder (created when missing); every slot is cleared first.
void ScanMods(void);
// Loads the folder at path into the next package slot (fewer than kMaxMods kept); 1 when kept.
int LoadMod(const char *path);
// Fills the package's name, author and tool declarations from manifest text.
void ParseModManifest(ModPackage *package, const char *text);
// A NUL-terminated copy of the file (release with MemFree), or none when it cannot be read or
// is larger than kModMaxFileBytes.
char *ReadWholeFile(const char *path);
// 1 when a tool's script name stays inside its mod folder: no "..", no absolute or drive path.
int ModScriptPathSafe(const char *script);
// Runs one tool once on a fresh state against the map and selection; 1, or 0 with lastError set.
int RunModTool(int mod, int tool, MapDoc *map, int selBrush, int selEntity);
// Describes tool (or no tool) to a run in its link, with no requests yet; done before every run.
void ModRunLinkFill(ModRunLink *link, const ModTool *tool);
// After a run: keeps the slots it wrote in tool and raises the registry's flags it requested.
void ModRunLinkRead(const ModRunLink *link, ModTool *tool);
