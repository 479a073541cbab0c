// vm.h: the virtual machine that runs assembled mod scripts.
//
// A float stack machine with 64 variables, GOSUB/RET, a fixed random sequence and a text log.
// VmRun runs one VmProgram from its first instruction to the end in a single call against the map
// it is given; builtins (CALL) are dispatched by builtins.h through VmPush and VmPop. The state is
// one fixed record owned by the caller: nothing here allocates.
#pragma once

#include <cstdint>

#include "document/map_records.h"
#include "script/assembler.h"

struct ModTool;                          // the mod tool a run belongs to, defined by the mod layer

//----------------------------------------------------------------------------------
// Limits and constants
//----------------------------------------------------------------------------------
constexpr int kVmStackSize = 128;
constexpr int kVmCallDepth = 32;         // GOSUB return addresses
constexpr int kVmLogLen = 512;
constexpr int kVmErrorLen = 192;
constexpr int kVmPrintLen = 64;          // one formatted PRINT value
constexpr uint32_t kVmMaxSteps = 2000000;
constexpr uint32_t kVmRandSeed = 0x2545F491u;
constexpr float kVmTruthEps = 1e-6f;     // below this magnitude a value is false; closer values are equal
constexpr float kVmDivEps = 1e-9f;       // divisor guard

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
    ModTool *tool;                       // the tool being run, or none; kept across the reset
};

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------
// Resets the state (keeping tool) and runs the program; 1 when it halts or leaves its code, 0 with error set.
int VmRun(const VmProgram *program, MapDoc *map, int selBrush, int selEntity, VmState *state);
// Pushes a value; 1, or 0 with "stack overflow" when the stack is full.
int VmPush(VmState *state, float value);
// Pops the top value into out; 1, or 0 with "stack underflow" when the stack is empty.
int VmPop(VmState *state, float *out);
// Appends the text and a line feed to the log when all of it fits; otherwise drops it whole.
void VmLog(VmState *state, const char *text);
// Truncates toward zero to a 32-bit integer, saturating out-of-range values and mapping NaN to 0.
int32_t VmToInt(float value);
