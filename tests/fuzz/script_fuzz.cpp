// script_fuzz.cpp: arbitrary text assembled and run on an empty map, and arbitrary instruction
// records run directly (operands the assembler never makes: bad slots, wild jumps, unknown opcodes).
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "script/assembler.h"
#include "script/builtins.h"
#include "script/vm.h"

static VmProgram gProgram;
static VmState gState;
static MapDoc gMap;
static char gText[1 << 17];

// One instruction from four bytes: opcode (a few past the last), a small signed operand, a value.
static VmInstr DecodeInstr(const uint8_t *b)
{
    static const float kSpecial[] = { NAN, INFINITY, -INFINITY, 1e-9f, 1e-6f, -0.0f, 3e38f, 2147483648.0f };
    VmInstr in;
    in.op = b[0] % (kVmOpCount + 3) - 1;
    in.arg = in.op == OP_CALL ? (int)b[1] - 10 : (int)(int8_t)b[1];
    in.value = b[3] >= 248 ? kSpecial[b[3] - 248] : (float)(int8_t)b[2] / (float)(b[3] % 8 + 1);
    in.line = b[1];
    return in;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0) return 0;
    if (data[0] == 0xFF) {
        // Raw instruction records.
        memset(&gProgram, 0, sizeof(gProgram));
        size_t n = (size - 1) / 4;
        if (n > (size_t)kVmMaxCode) n = kVmMaxCode;
        for (size_t i = 0; i < n; i++) gProgram.code[i] = DecodeInstr(data + 1 + i * 4);
        gProgram.count = (int)n;
        gProgram.ok = true;
    } else {
        size_t n = size < sizeof(gText) - 1 ? size : sizeof(gText) - 1;
        memcpy(gText, data, n);
        gText[n] = '\0';
        int ok = VmAssemble(gText, &gProgram);
        if (ok != (gProgram.ok ? 1 : 0)) __builtin_trap();
        if (strnlen(gProgram.error, sizeof(gProgram.error)) >= sizeof(gProgram.error)) __builtin_trap();
        if (gProgram.count < 0 || gProgram.count > kVmMaxCode || gProgram.varCount > kVmMaxVars) __builtin_trap();
    }
    memset(&gState, 0, sizeof(gState));
    int ran = VmRun(&gProgram, &gMap, -1, -1, &gState);
    // The run's records stay within their bounds and terminated, and a failure always says why.
    if (gState.sp < 0 || gState.sp > kVmStackSize) __builtin_trap();
    if (gState.callDepth < 0 || gState.callDepth > kVmCallDepth) __builtin_trap();
    if (strnlen(gState.log, sizeof(gState.log)) >= sizeof(gState.log)) __builtin_trap();
    if (strnlen(gState.error, sizeof(gState.error)) >= sizeof(gState.error)) __builtin_trap();
    if (!ran && gState.error[0] == '\0') __builtin_trap();
    if (ran && gState.error[0] != '\0') __builtin_trap();
    if (gMap.brushCount != 0 || gMap.entityCount != 0) __builtin_trap();
    return 0;
}
