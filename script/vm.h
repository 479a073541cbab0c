// vm.h: the virtual machine that runs assembled mod scripts.
//
// A float stack machine with 64 variables, GOSUB/RET, a fixed random sequence and a text log.
// VmRun runs one VmProgram from its first instruction to the end in a single call against the map
// it is given; builtins (CALL) are dispatched by builtins.h. The state (vm_state.h) is one fixed
// record owned by the caller: nothing here allocates.
#pragma once

#include <cstdint>

#include "document/map_records.h"
#include "script/assembler.h"
#include "script/vm_state.h"

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------
constexpr int kVmPrintLen = 64;          // one formatted PRINT value
constexpr uint32_t kVmMaxSteps = 2000000;
constexpr uint32_t kVmRandSeed = 0x2545F491u;
constexpr float kVmTruthEps = 1e-6f;     // below this magnitude a value is false; closer values are equal
constexpr float kVmDivEps = 1e-9f;       // divisor guard

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------
// Resets the state (keeping modLink) and runs the program; 1 when it halts or leaves its code, 0 with error set.
int VmRun(const VmProgram *program, MapDoc *map, int selBrush, int selEntity, VmState *state);
// Truncates toward zero to a 32-bit integer, saturating out-of-range values and mapping NaN to 0.
int32_t VmToInt(float value);
