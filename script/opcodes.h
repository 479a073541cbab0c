// opcodes.h: the one list of the script machine's opcodes.
//
// KIRTO_OPCODES names every opcode once, in numeric order, with the kind of operand its mnemonic
// takes (NONE, NUMBER, VARIABLE, LABEL or FUNCTION). The VmOp enum below, the assembler's mnemonic
// table (assembler.cpp) and the run loop's dispatch table (vm.cpp) are all expanded from it, so a new
// opcode is one line here plus its handler in VmRun. The mnemonic is the name itself. Append new
// opcodes at the end: the numbers follow the order, and the fuzz seeds and tests name opcodes by
// number. KIRTO_OPCODE_ALIASES gives extra mnemonics for existing opcodes.
#pragma once

#include <cstdint>

//----------------------------------------------------------------------------------
// The opcode list: X(name, operand)
//----------------------------------------------------------------------------------
#define KIRTO_OPCODES(X) \
    /* stack */ \
    X(HALT, NONE) \
    X(NOP, NONE) \
    X(PUSH, NUMBER) \
    X(POP, NONE) \
    X(DUP, NONE) \
    X(SWAP, NONE) \
    X(OVER, NONE) \
    X(ROT, NONE) \
    X(RROT, NONE) \
    X(NIP, NONE) \
    X(TUCK, NONE) \
    X(DEPTH, NONE) \
    X(CLEAR, NONE) \
    /* variables */ \
    X(LOAD, VARIABLE) \
    X(STORE, VARIABLE) \
    X(INC, VARIABLE) \
    X(DEC, VARIABLE) \
    X(ADDV, VARIABLE) \
    /* two operands */ \
    X(ADD, NONE) \
    X(SUB, NONE) \
    X(MUL, NONE) \
    X(DIV, NONE) \
    X(MOD, NONE) \
    X(IDIV, NONE) \
    X(POW, NONE) \
    X(MIN, NONE) \
    X(MAX, NONE) \
    X(ATAN2, NONE) \
    X(HYPOT, NONE) \
    X(STEP, NONE) \
    X(WRAP, NONE) \
    X(SNAPTO, NONE) \
    X(COPYSIGN, NONE) \
    /* one operand */ \
    X(NEG, NONE) \
    X(ABS, NONE) \
    X(FLOOR, NONE) \
    X(CEIL, NONE) \
    X(ROUND, NONE) \
    X(TRUNC, NONE) \
    X(FRACT, NONE) \
    X(SIGN, NONE) \
    X(RECIP, NONE) \
    X(SQR, NONE) \
    X(SQRT, NONE) \
    X(EXP, NONE) \
    X(LOG, NONE) \
    X(LOG2, NONE) \
    X(LOG10, NONE) \
    X(SIN, NONE) \
    X(COS, NONE) \
    X(TAN, NONE) \
    X(ASIN, NONE) \
    X(ACOS, NONE) \
    X(ATAN, NONE) \
    X(SINH, NONE) \
    X(COSH, NONE) \
    X(TANH, NONE) \
    X(DEG, NONE) \
    X(RAD, NONE) \
    /* random and three operands */ \
    X(RAND, NONE) \
    X(CLAMP, NONE) \
    X(LERP, NONE) \
    X(SMOOTHSTEP, NONE) \
    /* comparison and logic */ \
    X(LT, NONE) \
    X(GT, NONE) \
    X(LE, NONE) \
    X(GE, NONE) \
    X(EQ, NONE) \
    X(NE, NONE) \
    X(NOT, NONE) \
    X(AND, NONE) \
    X(OR, NONE) \
    X(XOR, NONE) \
    X(ISZERO, NONE) \
    X(ISNAN, NONE) \
    X(BETWEEN, NONE) \
    /* bits */ \
    X(BAND, NONE) \
    X(BOR, NONE) \
    X(BXOR, NONE) \
    X(BNOT, NONE) \
    X(SHL, NONE) \
    X(SHR, NONE) \
    /* control */ \
    X(JMP, LABEL) \
    X(JZ, LABEL) \
    X(JNZ, LABEL) \
    X(JEQ, LABEL) \
    X(JNE, LABEL) \
    X(JLT, LABEL) \
    X(JGT, LABEL) \
    X(JLE, LABEL) \
    X(JGE, LABEL) \
    X(GOSUB, LABEL) \
    X(RET, NONE) \
    X(CALL, FUNCTION) \
    X(PRINT, NONE)

// Further mnemonics for opcodes of the list: X(mnemonic, opcode name); the operand is the opcode's.
#define KIRTO_OPCODE_ALIASES(X) \
    X(DROP, POP)

//----------------------------------------------------------------------------------
// Opcodes (the numbers are part of the language: programs store them)
//----------------------------------------------------------------------------------
#define KIRTO_OPCODE_ENUM(name, operand) OP_##name,
enum VmOp : int32_t { KIRTO_OPCODES(KIRTO_OPCODE_ENUM) };
#undef KIRTO_OPCODE_ENUM

#define KIRTO_OPCODE_ONE(name, operand) +1
constexpr int kVmOpCount = 0 KIRTO_OPCODES(KIRTO_OPCODE_ONE);
#undef KIRTO_OPCODE_ONE
