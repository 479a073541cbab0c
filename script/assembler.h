// assembler.h: the mod script language and its one-pass assembler.
//
// A script is plain text, one instruction per line, for a float stack machine (vm.h runs it).
// VmAssemble turns the text into a VmProgram whose operands are already numbers: variable slots,
// jump targets as instruction indices and builtin rows. Assembly stops at the first error and
// leaves its "line %d: ..." message in the program. Nothing here allocates or prints.
#pragma once

#include <cstdint>

#include "script/opcodes.h"

//----------------------------------------------------------------------------------
// Limits
//----------------------------------------------------------------------------------
constexpr int kVmMaxCode = 2048;         // instructions in one program
constexpr int kVmMaxVars = 64;           // variable slots
constexpr int kVmVarNameLen = 24;        // 23 significant characters plus NUL
constexpr int kVmMaxLabels = 128;
constexpr int kVmMaxFixups = 128;        // jump and GOSUB references together
constexpr int kVmLabelLen = 32;          // 31 significant characters plus NUL
constexpr int kVmMnemonicLen = 32;       // mnemonics compared on 31 characters
constexpr int kVmMaxTokens = 3;          // tokens read from one line
constexpr int kVmMaxLineLen = 255;       // longer lines continue on the next line number
constexpr int kVmAsmErrorLen = 160;

//----------------------------------------------------------------------------------
// Records
//----------------------------------------------------------------------------------
struct VmInstr {
    int32_t op;                          // VmOp (opcodes.h)
    float value;                         // the number of a PUSH, else 0
    int32_t arg;                         // variable slot, jump target or builtin row; else -1
    int32_t line;                        // 1-based source line, quoted by runtime messages
};

struct VmProgram {
    VmInstr code[kVmMaxCode];
    int32_t count;
    char varNames[kVmMaxVars][kVmVarNameLen];   // in slot order
    int32_t varCount;
    bool ok;                             // set only when the whole assembly succeeded
    char error[kVmAsmErrorLen];          // the first assembly error, empty on success
};

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------
// Clears the program and assembles the NUL-terminated source into it; 1 on success, 0 with error set.
int VmAssemble(const char *source, VmProgram *program);
// Slot 0..63 of the variable (first 23 characters significant), created when new; -1 when all are taken.
int VmVarSlot(VmProgram *program, const char *name);
// Cuts the line at its comment and splits it in place into at most 3 tokens; returns how many.
int VmTokenize(char *line, char *tokens[kVmMaxTokens]);
// Upper-cases the ASCII letters a-z of the text in place.
void VmUpper(char *text);
