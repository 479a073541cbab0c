// vm.cpp: the run loop of the script virtual machine and its integer helper.
//
// The loop keeps the stack depth, the program counter and the step budget in locals; a failure
// writes its message, in place or at one of the exits at the bottom, and leaves through fail.
// Nothing on the hot path allocates or prints.
// Before a run, VmDecode picks what to dispatch at each index: a LOAD and a PUSH that feed an
// operation run as one group, which still counts three steps and falls back to the single
// instructions whenever a limit (steps, stack room, variable slot) could be met inside it, so every
// result, message and line is the one the instructions give one at a time.
#include "script/vm.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "script/builtins.h"

//----------------------------------------------------------------------------------
// Dispatch codes
//----------------------------------------------------------------------------------
// What the run loop dispatches on: the opcodes themselves (opcodes.h), then instruction groups that
// run as one (a variable and a constant feeding an operation, the heart of every counting loop),
// then the end. The codes and the run loop's jump table are both expanded from the two lists.
#define VM_EXTRA_CODES(X) \
    X(LOAD_PUSH_ADD) X(LOAD_PUSH_SUB) X(LOAD_PUSH_MUL) \
    X(LOAD_PUSH_JEQ) X(LOAD_PUSH_JNE) X(LOAD_PUSH_JLT) X(LOAD_PUSH_JGT) X(LOAD_PUSH_JLE) X(LOAD_PUSH_JGE) \
    X(END)                               /* one past the last instruction */

#define VM_EXTRA_ENUM(name) VMX_##name,
enum VmDispatchOp : uint8_t {           // a byte per instruction: a code past 255 does not compile
    VMX_BEFORE_FIRST = kVmOpCount - 1,   // the extra codes follow the opcodes
    VM_EXTRA_CODES(VM_EXTRA_ENUM)
    kVmDispatchCount
};
#undef VM_EXTRA_ENUM

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static void VmFailLine(VmState *state, const char *format, int line);
static int32_t VmShiftLeft(int32_t value, int count);
static int32_t VmShiftRight(int32_t value, int count);
static int VmShiftCount(float value);
static void VmDecode(const VmInstr *code, int count, uint8_t *ops);
static float VmFromBool(bool value) { return value ? 1.0f : 0.0f; }

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int32_t VmToInt(float value)
{
    // Converting NaN or an out-of-range float to an integer is undefined in C++: pin them first.
    if (value != value) return 0;
    if (value >= 2147483648.0f) return INT32_MAX;
    if (value <= -2147483648.0f) return INT32_MIN;
    return (int32_t)value;
}

int VmRun(const VmProgram *program, MapDoc *map, int selBrush, int selEntity, VmState *state)
{
    if (!state) return 0;
    if (!program || !program->ok) {
        snprintf(state->error, sizeof(state->error), "script did not assemble");
        return 0;
    }
    ModRunLink link = state->modLink;    // the mod registry's, filled before the run
    memset(state, 0, sizeof(*state));
    state->modLink = link;
    state->map = map;
    state->selBrush = selBrush;
    state->selEntity = selEntity;
    state->rng = kVmRandSeed;

    const VmInstr *const code = program->code;
    const int count = program->count < 0 ? 0 : (program->count > kVmMaxCode ? kVmMaxCode : program->count);
    uint8_t ops[kVmMaxCode + 1];         // what to run at each index; ops[count] ends the run
    VmDecode(code, count, ops);
    float *const stack = state->stack;
    float *const vars = state->vars;
    int sp = 0;
    int pc = 0;
    int32_t budget = (int32_t)kVmMaxSteps;  // instructions still allowed; below 0 the run fails

#if defined(__GNUC__)
    // Threaded dispatch: every handler jumps straight to the next one, in the order of VmDispatchOp.
#define VM_OP_TARGET(name, operand) &&L_OP_##name,
#define VM_EXTRA_TARGET(name) &&L_VMX_##name,
    static const void *const kTargets[] = { KIRTO_OPCODES(VM_OP_TARGET) VM_EXTRA_CODES(VM_EXTRA_TARGET) };
#undef VM_OP_TARGET
#undef VM_EXTRA_TARGET
    static_assert(sizeof(kTargets) / sizeof(kTargets[0]) == kVmDispatchCount, "one target per dispatch code");
#define VM_NEXT() do { if (--budget < 0) goto step_limit; goto *kTargets[ops[pc]]; } while (0)
#else
#define VM_NEXT() goto dispatch
#endif
#define VM_CASE(name) case name: L_##name:
#define VM_STEP() do { pc++; VM_NEXT(); } while (0)
#define VM_IN (code[pc])
// Stack helpers: a = the deeper operand, b = the top, c above both for three.
#define VM_NEED(n) do { if (sp < (n)) goto underflow; } while (0)
#define VM_ROOM(n) do { if (sp + (n) > kVmStackSize) goto overflow; } while (0)
#define VM_SLOT() do { if ((unsigned)VM_IN.arg >= (unsigned)kVmMaxVars) goto bad_slot; } while (0)
#define VM_UNARY(expr) { VM_NEED(1); float x = stack[sp - 1]; stack[sp - 1] = (expr); VM_STEP(); }
#define VM_BINARY(expr) { VM_NEED(2); float b = stack[sp - 1]; float a = stack[sp - 2]; sp--; stack[sp - 1] = (expr); VM_STEP(); }
// A divisor this near zero stops the script with "line N: <verb> by zero".
#define VM_DIVIDING(verb, expr) { VM_NEED(2); float b = stack[sp - 1]; float a = stack[sp - 2]; sp -= 2; \
    if (fabsf(b) < kVmDivEps) { VmFailLine(state, "line %d: " verb " by zero", VM_IN.line); goto fail; } \
    stack[sp++] = (expr); VM_STEP(); }
#define VM_BRANCH2(cond) { VM_NEED(2); float b = stack[sp - 1]; float a = stack[sp - 2]; sp -= 2; if (cond) goto take_jump; VM_STEP(); }
// LOAD v, PUSH k, then an operation on the two: run as one when the whole group may run at once,
// otherwise run the LOAD alone so every limit and message falls on the instruction it belongs to.
#define VM_GROUP_READY() (budget >= 2 && (unsigned)VM_IN.arg < (unsigned)kVmMaxVars && sp + 2 <= kVmStackSize)
#define VM_GROUP_ARITH(expr) { \
        if (!VM_GROUP_READY()) goto L_OP_LOAD; \
        float a = vars[VM_IN.arg], b = code[pc + 1].value; \
        budget -= 2; stack[sp++] = (expr); pc += 3; VM_NEXT(); }
#define VM_GROUP_BRANCH(cond) { \
        if (!VM_GROUP_READY()) goto L_OP_LOAD; \
        float a = vars[VM_IN.arg], b = code[pc + 1].value; \
        budget -= 2; pc += 2; \
        if (cond) goto take_jump; \
        pc++; VM_NEXT(); }

#if !defined(__GNUC__)
dispatch:
#endif
    if (--budget < 0) goto step_limit;
    switch (ops[pc]) {
    VM_CASE(OP_HALT) goto done;
    VM_CASE(OP_NOP) VM_STEP();
    VM_CASE(OP_PUSH) VM_ROOM(1); stack[sp++] = VM_IN.value; VM_STEP();
    VM_CASE(OP_POP) VM_NEED(1); sp--; VM_STEP();
    VM_CASE(OP_DUP) VM_NEED(1); VM_ROOM(1); stack[sp] = stack[sp - 1]; sp++; VM_STEP();
    VM_CASE(OP_SWAP) {
        VM_NEED(2);
        float t = stack[sp - 1]; stack[sp - 1] = stack[sp - 2]; stack[sp - 2] = t;
        VM_STEP();
    }
    VM_CASE(OP_OVER)
        if (sp < 2) { VmFailLine(state, "line %d: OVER needs two values", VM_IN.line); goto fail; }
        VM_ROOM(1);
        stack[sp] = stack[sp - 2]; sp++;
        VM_STEP();
    VM_CASE(OP_ROT) {                    // a b c -- b c a
        VM_NEED(3);
        float a = stack[sp - 3];
        stack[sp - 3] = stack[sp - 2]; stack[sp - 2] = stack[sp - 1]; stack[sp - 1] = a;
        VM_STEP();
    }
    VM_CASE(OP_RROT) {                   // a b c -- c a b
        VM_NEED(3);
        float c = stack[sp - 1];
        stack[sp - 1] = stack[sp - 2]; stack[sp - 2] = stack[sp - 3]; stack[sp - 3] = c;
        VM_STEP();
    }
    VM_CASE(OP_NIP) VM_NEED(2); stack[sp - 2] = stack[sp - 1]; sp--; VM_STEP();
    VM_CASE(OP_TUCK) {                   // a b -- b a b
        VM_NEED(2); VM_ROOM(1);
        float a = stack[sp - 2], b = stack[sp - 1];
        stack[sp - 2] = b; stack[sp - 1] = a; stack[sp] = b; sp++;
        VM_STEP();
    }
    VM_CASE(OP_DEPTH) VM_ROOM(1); stack[sp] = (float)sp; sp++; VM_STEP();
    VM_CASE(OP_CLEAR) sp = 0; VM_STEP();

    VM_CASE(OP_LOAD) VM_SLOT(); VM_ROOM(1); stack[sp++] = vars[VM_IN.arg]; VM_STEP();
    VM_CASE(OP_STORE) VM_SLOT(); VM_NEED(1); vars[VM_IN.arg] = stack[--sp]; VM_STEP();
    VM_CASE(OP_INC) VM_SLOT(); vars[VM_IN.arg] += 1.0f; VM_STEP();
    VM_CASE(OP_DEC) VM_SLOT(); vars[VM_IN.arg] -= 1.0f; VM_STEP();
    VM_CASE(OP_ADDV) VM_SLOT(); VM_NEED(1); vars[VM_IN.arg] += stack[--sp]; VM_STEP();

    VM_CASE(OP_ADD) VM_BINARY(a + b)
    VM_CASE(OP_SUB) VM_BINARY(a - b)
    VM_CASE(OP_MUL) VM_BINARY(a * b)
    VM_CASE(OP_DIV) VM_DIVIDING("divide", a / b)
    VM_CASE(OP_MOD) VM_DIVIDING("modulo", fmodf(a, b))
    VM_CASE(OP_IDIV) VM_DIVIDING("divide", truncf(a / b))
    VM_CASE(OP_POW) VM_BINARY(powf(a, b))
    VM_CASE(OP_MIN) VM_BINARY(fminf(a, b))
    VM_CASE(OP_MAX) VM_BINARY(fmaxf(a, b))
    VM_CASE(OP_ATAN2) VM_BINARY(atan2f(a, b))
    VM_CASE(OP_HYPOT) VM_BINARY(sqrtf(a * a + b * b))
    VM_CASE(OP_STEP) VM_BINARY(VmFromBool(b >= a))
    VM_CASE(OP_WRAP) VM_BINARY(fabsf(b) < kVmDivEps ? a : a - b * floorf(a / b))
    VM_CASE(OP_SNAPTO) VM_BINARY(fabsf(b) < kVmDivEps ? a : roundf(a / b) * b)
    VM_CASE(OP_COPYSIGN) VM_BINARY(copysignf(a, b))

    VM_CASE(OP_NEG) VM_UNARY(-x)
    VM_CASE(OP_ABS) VM_UNARY(fabsf(x))
    VM_CASE(OP_FLOOR) VM_UNARY(floorf(x))
    VM_CASE(OP_CEIL) VM_UNARY(ceilf(x))
    VM_CASE(OP_ROUND) VM_UNARY(roundf(x))
    VM_CASE(OP_TRUNC) VM_UNARY(truncf(x))
    VM_CASE(OP_FRACT) VM_UNARY(x - floorf(x))
    VM_CASE(OP_SIGN) VM_UNARY(x > 0.0f ? 1.0f : (x < 0.0f ? -1.0f : 0.0f))
    VM_CASE(OP_RECIP) VM_UNARY(fabsf(x) < kVmDivEps ? 0.0f : 1.0f / x)
    VM_CASE(OP_SQR) VM_UNARY(x * x)
    VM_CASE(OP_SQRT) VM_UNARY(x > 0.0f ? sqrtf(x) : 0.0f)
    VM_CASE(OP_EXP) VM_UNARY(expf(x))
    VM_CASE(OP_LOG) VM_UNARY(x > 0.0f ? logf(x) : 0.0f)
    VM_CASE(OP_LOG2) VM_UNARY(x > 0.0f ? log2f(x) : 0.0f)
    VM_CASE(OP_LOG10) VM_UNARY(x > 0.0f ? log10f(x) : 0.0f)
    VM_CASE(OP_SIN) VM_UNARY(sinf(x))
    VM_CASE(OP_COS) VM_UNARY(cosf(x))
    VM_CASE(OP_TAN) VM_UNARY(tanf(x))
    VM_CASE(OP_ASIN) VM_UNARY(asinf(x < -1.0f ? -1.0f : (x > 1.0f ? 1.0f : x)))
    VM_CASE(OP_ACOS) VM_UNARY(acosf(x < -1.0f ? -1.0f : (x > 1.0f ? 1.0f : x)))
    VM_CASE(OP_ATAN) VM_UNARY(atanf(x))
    VM_CASE(OP_SINH) VM_UNARY(sinhf(x))
    VM_CASE(OP_COSH) VM_UNARY(coshf(x))
    VM_CASE(OP_TANH) VM_UNARY(tanhf(x))
    VM_CASE(OP_DEG) VM_UNARY(x * 57.295776f)
    VM_CASE(OP_RAD) VM_UNARY(x * 0.017453292f)

    VM_CASE(OP_RAND) {
        VM_ROOM(1);
        uint32_t r = state->rng;
        r ^= r << 13;
        r ^= r >> 17;
        r ^= r << 5;
        state->rng = r;
        stack[sp++] = (float)(r % 100000u) / 100000.0f;
        VM_STEP();
    }
    VM_CASE(OP_CLAMP) {                  // x lo hi -- r
        VM_NEED(3);
        float x = stack[sp - 3], lo = stack[sp - 2], hi = stack[sp - 1];
        if (lo > hi) { float t = lo; lo = hi; hi = t; }
        sp -= 2;
        stack[sp - 1] = x < lo ? lo : (x > hi ? hi : x);
        VM_STEP();
    }
    VM_CASE(OP_LERP) {                   // a b t -- a + (b - a) t
        VM_NEED(3);
        float a = stack[sp - 3], b = stack[sp - 2], t = stack[sp - 1];
        sp -= 2;
        stack[sp - 1] = a + (b - a) * t;
        VM_STEP();
    }
    VM_CASE(OP_SMOOTHSTEP) {             // e0 e1 x -- r
        VM_NEED(3);
        float e0 = stack[sp - 3], e1 = stack[sp - 2], x = stack[sp - 1];
        float t = fabsf(e1 - e0) < kVmDivEps ? 0.0f : (x - e0) / (e1 - e0);
        if (t < 0.0f) t = 0.0f;
        if (t > 1.0f) t = 1.0f;
        sp -= 2;
        stack[sp - 1] = t * t * (3.0f - 2.0f * t);
        VM_STEP();
    }

    VM_CASE(OP_LT) VM_BINARY(VmFromBool(a < b))
    VM_CASE(OP_GT) VM_BINARY(VmFromBool(a > b))
    VM_CASE(OP_LE) VM_BINARY(VmFromBool(a <= b))
    VM_CASE(OP_GE) VM_BINARY(VmFromBool(a >= b))
    VM_CASE(OP_EQ) VM_BINARY(VmFromBool(fabsf(a - b) < kVmTruthEps))
    VM_CASE(OP_NE) VM_BINARY(VmFromBool(fabsf(a - b) >= kVmTruthEps))
    VM_CASE(OP_NOT)
    VM_CASE(OP_ISZERO) VM_UNARY(VmFromBool(fabsf(x) < kVmTruthEps))
    // The logic operators count a magnitude of exactly the threshold as false.
    VM_CASE(OP_AND) VM_BINARY(VmFromBool(fabsf(a) > kVmTruthEps && fabsf(b) > kVmTruthEps))
    VM_CASE(OP_OR) VM_BINARY(VmFromBool(fabsf(a) > kVmTruthEps || fabsf(b) > kVmTruthEps))
    VM_CASE(OP_XOR) VM_BINARY(VmFromBool((fabsf(a) > kVmTruthEps) != (fabsf(b) > kVmTruthEps)))
    VM_CASE(OP_ISNAN) VM_UNARY(VmFromBool(x != x))
    VM_CASE(OP_BETWEEN) {                // x lo hi -- r, bounds not swapped
        VM_NEED(3);
        float x = stack[sp - 3], lo = stack[sp - 2], hi = stack[sp - 1];
        sp -= 2;
        stack[sp - 1] = VmFromBool(lo <= x && x <= hi);
        VM_STEP();
    }

    VM_CASE(OP_BAND) VM_BINARY((float)(VmToInt(a) & VmToInt(b)))
    VM_CASE(OP_BOR) VM_BINARY((float)(VmToInt(a) | VmToInt(b)))
    VM_CASE(OP_BXOR) VM_BINARY((float)(VmToInt(a) ^ VmToInt(b)))
    VM_CASE(OP_BNOT) VM_UNARY((float)(~VmToInt(x)))
    VM_CASE(OP_SHL) VM_BINARY((float)VmShiftLeft(VmToInt(a), VmShiftCount(b)))
    VM_CASE(OP_SHR) VM_BINARY((float)VmShiftRight(VmToInt(a), VmShiftCount(b)))

    VM_CASE(OP_JMP) goto take_jump;
    VM_CASE(OP_JZ) { VM_NEED(1); float x = stack[--sp]; if (fabsf(x) < kVmTruthEps) goto take_jump; VM_STEP(); }
    VM_CASE(OP_JNZ) { VM_NEED(1); float x = stack[--sp]; if (fabsf(x) >= kVmTruthEps) goto take_jump; VM_STEP(); }
    VM_CASE(OP_JEQ) VM_BRANCH2(fabsf(a - b) < kVmTruthEps)
    VM_CASE(OP_JNE) VM_BRANCH2(fabsf(a - b) >= kVmTruthEps)
    VM_CASE(OP_JLT) VM_BRANCH2(a < b)
    VM_CASE(OP_JGT) VM_BRANCH2(a > b)
    VM_CASE(OP_JLE) VM_BRANCH2(a <= b)
    VM_CASE(OP_JGE) VM_BRANCH2(a >= b)
    VM_CASE(OP_GOSUB)
        if (state->callDepth >= kVmCallDepth) {
            VmFailLine(state, "line %d: GOSUB nested too deep", VM_IN.line);
            goto fail;
        }
        if (VM_IN.arg < 0 || VM_IN.arg > count) goto jump_range;
        state->callStack[state->callDepth++] = pc + 1;
        pc = VM_IN.arg;
        VM_NEXT();
    VM_CASE(OP_RET)
        if (state->callDepth <= 0) { VmFailLine(state, "line %d: RET without GOSUB", VM_IN.line); goto fail; }
        pc = state->callStack[--state->callDepth];
        VM_NEXT();
    VM_CASE(OP_CALL) {
        if (VM_IN.arg < 0 || VM_IN.arg >= kBuiltinCount) {
            VmFailLine(state, "line %d: bad call", VM_IN.line);
            goto fail;
        }
        state->sp = sp;
        int ok = VmCallBuiltin(state, VM_IN.arg);
        sp = state->sp;
        if (!ok) goto op_failed;
        VM_STEP();
    }
    VM_CASE(OP_PRINT) {
        VM_NEED(1);
        char text[kVmPrintLen];
        snprintf(text, sizeof(text), "%.4g", (double)stack[--sp]);
        VmLog(state, text);
        VM_STEP();
    }

    VM_CASE(VMX_LOAD_PUSH_ADD) VM_GROUP_ARITH(a + b)
    VM_CASE(VMX_LOAD_PUSH_SUB) VM_GROUP_ARITH(a - b)
    VM_CASE(VMX_LOAD_PUSH_MUL) VM_GROUP_ARITH(a * b)
    VM_CASE(VMX_LOAD_PUSH_JEQ) VM_GROUP_BRANCH(fabsf(a - b) < kVmTruthEps)
    VM_CASE(VMX_LOAD_PUSH_JNE) VM_GROUP_BRANCH(fabsf(a - b) >= kVmTruthEps)
    VM_CASE(VMX_LOAD_PUSH_JLT) VM_GROUP_BRANCH(a < b)
    VM_CASE(VMX_LOAD_PUSH_JGT) VM_GROUP_BRANCH(a > b)
    VM_CASE(VMX_LOAD_PUSH_JLE) VM_GROUP_BRANCH(a <= b)
    VM_CASE(VMX_LOAD_PUSH_JGE) VM_GROUP_BRANCH(a >= b)
    VM_CASE(VMX_END)
        goto done;                       // leaving the code ends the run
    default:
        goto done;                       // unreachable: VmDecode writes only known codes
    }

take_jump:
    // A taken jump may land on count itself, which ends the run normally.
    if (VM_IN.arg < 0 || VM_IN.arg > count) goto jump_range;
    pc = VM_IN.arg;
    VM_NEXT();

#undef VM_CASE
#undef VM_NEXT
#undef VM_STEP
#undef VM_IN
#undef VM_NEED
#undef VM_ROOM
#undef VM_SLOT
#undef VM_UNARY
#undef VM_BINARY
#undef VM_DIVIDING
#undef VM_BRANCH2
#undef VM_GROUP_READY
#undef VM_GROUP_ARITH
#undef VM_GROUP_BRANCH

done:
    state->sp = sp;
    return 1;
step_limit:
    // The budget ran out, but arriving at the end of the code is not an instruction.
    if (ops[pc] == VMX_END) goto done;
    snprintf(state->error, sizeof(state->error), "step limit reached - infinite loop?");
    goto fail;
underflow:
    snprintf(state->error, sizeof(state->error), "stack underflow");
    goto fail;
overflow:
    snprintf(state->error, sizeof(state->error), "stack overflow");
    goto fail;
bad_slot:
    VmFailLine(state, "line %d: bad variable slot", code[pc].line);
    goto fail;
jump_range:
    VmFailLine(state, "line %d: jump out of range", code[pc].line);
    goto fail;
op_failed:
    // An operation that failed without leaving its own message.
    if (state->error[0] == '\0') VmFailLine(state, "line %d: stack fault", code[pc].line);
fail:
    state->sp = sp;
    return 0;
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
static void VmFailLine(VmState *state, const char *format, int line)
{
    snprintf(state->error, sizeof(state->error), format, line);
}

// The shift count: truncated, then held to 0..31 so no shift is wider than the integer.
static int VmShiftCount(float value)
{
    int32_t n = VmToInt(value);
    return n < 0 ? 0 : (n > 31 ? 31 : n);
}

// Shifting a negative signed integer left is undefined in C++17: shift the bits unsigned.
static int32_t VmShiftLeft(int32_t value, int count)
{
    uint32_t bits = (uint32_t)value << count;
    int32_t out;
    memcpy(&out, &bits, sizeof(out));
    return out;
}

// Arithmetic shift written so that it does not depend on how the compiler shifts negatives.
static int32_t VmShiftRight(int32_t value, int count)
{
    return value >= 0 ? value >> count : ~(~value >> count);
}

// Chooses what the run loop executes at each index: the opcode, NOP for unknown opcodes, or a
// group code where a LOAD and a PUSH feed an operation; index count gets the end marker.
static void VmDecode(const VmInstr *code, int count, uint8_t *ops)
{
    for (int i = 0; i < count; i++) {
        int op = code[i].op;
        ops[i] = (uint8_t)(op >= 0 && op < kVmOpCount ? op : OP_NOP);
    }
    for (int i = 0; i + 2 < count; i++) {
        if (ops[i] != OP_LOAD || ops[i + 1] != OP_PUSH) continue;
        switch (ops[i + 2]) {
        case OP_ADD: ops[i] = VMX_LOAD_PUSH_ADD; break;
        case OP_SUB: ops[i] = VMX_LOAD_PUSH_SUB; break;
        case OP_MUL: ops[i] = VMX_LOAD_PUSH_MUL; break;
        case OP_JEQ: ops[i] = VMX_LOAD_PUSH_JEQ; break;
        case OP_JNE: ops[i] = VMX_LOAD_PUSH_JNE; break;
        case OP_JLT: ops[i] = VMX_LOAD_PUSH_JLT; break;
        case OP_JGT: ops[i] = VMX_LOAD_PUSH_JGT; break;
        case OP_JLE: ops[i] = VMX_LOAD_PUSH_JLE; break;
        case OP_JGE: ops[i] = VMX_LOAD_PUSH_JGE; break;
        default: break;
        }
    }
    ops[count] = VMX_END;
}
