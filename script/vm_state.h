// vm_state.h: the state of one script run, shared by the run loop (vm.cpp) and the builtins.
//
// VmState is one fixed record owned by the caller: the stack, the variables, the log and the error,
// the map the run edits and the selection it started with. ModRunLink inside it is all a run knows
// of the mod tool it belongs to: the mod registry fills it before the run and reads the run's
// requests back after it, so the builtins never reach the registry. Nothing here allocates.
#pragma once

#include <cstdint>

#include "script/assembler.h"

struct MapDoc;

//----------------------------------------------------------------------------------
// Limits
//----------------------------------------------------------------------------------
constexpr int kVmStackSize = 128;
constexpr int kVmCallDepth = 32;         // GOSUB return addresses
constexpr int kVmLogLen = 512;
constexpr int kVmErrorLen = 192;
constexpr int kModRunSlots = 32;         // floats a mod tool keeps between runs (mod.get, mod.set)

//----------------------------------------------------------------------------------
// Records
//----------------------------------------------------------------------------------
// What a run is told of its mod tool and what it asks of the editor; all zero for a run of no tool.
struct ModRunLink {
    bool hasTool;                        // the run belongs to a mod tool: mod.get and mod.set may use slots
    bool isMode;                         // declared as a mode tool
    bool active;                         // the registry's selected mode tool
    int32_t frame;                       // frames run since the mode tool was selected; 0 for a one-shot tool
    float slots[kModRunSlots];           // the tool's kept state, written back after the run
    bool exitRequested;                  // mod.exit: deselect the mode tool after this frame
    bool undoRequested;                  // mod.pushundo: the script asks for an undo step
};

struct VmState {
    float stack[kVmStackSize];
    int32_t sp;                          // values on the stack
    float vars[kVmMaxVars];              // by the program's variable slots
    MapDoc *map;                         // the map the run reads and edits
    int32_t selBrush, selEntity;         // the editor's selection when the run started, -1 none
    char log[kVmLogLen];                 // one line per PRINT or log entry
    char error[kVmErrorLen];             // the run's error, empty while healthy
    uint32_t rng;                        // RAND state
    int32_t callStack[kVmCallDepth];
    int32_t callDepth;
    ModRunLink modLink;                  // the run's mod tool; kept across VmRun's reset
};

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------
// Pushes a value; 1, or 0 with "stack overflow" when the stack is full.
int VmPush(VmState *state, float value);
// Pops the top value into out; 1, or 0 with "stack underflow" when the stack is empty.
int VmPop(VmState *state, float *out);
// Appends the text and a line feed to the log when all of it fits; otherwise drops it whole.
void VmLog(VmState *state, const char *text);
