// vm_state.h: the state of one script run, shared by the run loop (vm.cpp) and the builtins.
//
// VmState is one fixed record owned by the caller: the stack, the variables, the log and the error,
// the map the run edits, the selection it started with and the mod tool it belongs to. Nothing here
// allocates.
#pragma once

#include <cstdint>

#include "script/assembler.h"

struct MapDoc;
struct ModTool;                          // the mod tool a run belongs to, defined by the mod layer

//----------------------------------------------------------------------------------
// Limits
//----------------------------------------------------------------------------------
constexpr int kVmStackSize = 128;
constexpr int kVmCallDepth = 32;         // GOSUB return addresses
constexpr int kVmLogLen = 512;
constexpr int kVmErrorLen = 192;

//----------------------------------------------------------------------------------
// Records
//----------------------------------------------------------------------------------
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
    ModTool *tool;                       // the tool being run, or none; kept across VmRun's reset
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
