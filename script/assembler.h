// assembler.h: the mod script language and its one-pass assembler.
//
// A script is plain text, one instruction per line, for a float stack machine (vm.h runs it).
// VmAssemble turns the text into a VmProgram whose operands are already numbers: variable slots,
// jump targets as instruction indices and builtin rows. Assembly stops at the first error and
// leaves its "line %d: ..." message in the program. Nothing here allocates or prints.
#pragma once

#include <cstdint>

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
// Opcodes (the numbers are part of the language: programs store them)
//----------------------------------------------------------------------------------
enum VmOp : int32_t {
    OP_HALT = 0, OP_NOP, OP_PUSH, OP_POP, OP_DUP, OP_SWAP, OP_OVER, OP_ROT, OP_RROT, OP_NIP,
    OP_TUCK, OP_DEPTH, OP_CLEAR,
    OP_LOAD = 13, OP_STORE, OP_INC, OP_DEC, OP_ADDV,
    OP_ADD = 18, OP_SUB, OP_MUL, OP_DIV, OP_MOD, OP_IDIV, OP_POW, OP_MIN, OP_MAX, OP_ATAN2,
    OP_HYPOT, OP_STEP, OP_WRAP, OP_SNAPTO, OP_COPYSIGN,
    OP_NEG = 33, OP_ABS, OP_FLOOR, OP_CEIL, OP_ROUND, OP_TRUNC, OP_FRACT, OP_SIGN, OP_RECIP,
    OP_SQR, OP_SQRT, OP_EXP, OP_LOG, OP_LOG2, OP_LOG10, OP_SIN, OP_COS, OP_TAN, OP_ASIN,
    OP_ACOS, OP_ATAN, OP_SINH, OP_COSH, OP_TANH, OP_DEG, OP_RAD,
    OP_RAND = 59, OP_CLAMP, OP_LERP, OP_SMOOTHSTEP,
    OP_LT = 63, OP_GT, OP_LE, OP_GE, OP_EQ, OP_NE, OP_NOT, OP_AND, OP_OR, OP_XOR, OP_ISZERO,
    OP_ISNAN, OP_BETWEEN,
    OP_BAND = 76, OP_BOR, OP_BXOR, OP_BNOT, OP_SHL, OP_SHR,
    OP_JMP = 82, OP_JZ, OP_JNZ, OP_JEQ, OP_JNE, OP_JLT, OP_JGT, OP_JLE, OP_JGE, OP_GOSUB,
    OP_RET, OP_CALL, OP_PRINT,
};
constexpr int kVmOpCount = 95;           // opcodes 0..94; 96 mnemonics (POP and DROP share one)

//----------------------------------------------------------------------------------
// Records
//----------------------------------------------------------------------------------
struct VmInstr {
    int32_t op;                          // VmOp
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
