// vm.cpp: the run loop of the script virtual machine and its stack, log and integer helpers.
//
// The loop keeps the stack depth, the program counter and the step count in locals and touches the
// state record only through the stack and variable arrays; everything that can fail jumps to one
// of the exits at the bottom, which write the message. Nothing on the hot path allocates or prints.
#include "script/vm.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "script/builtins.h"

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static int VmFailLine(VmState *state, const char *format, int line);
static int32_t VmShiftLeft(int32_t value, int count);
static int32_t VmShiftRight(int32_t value, int count);
static int VmShiftCount(float value);
static float VmFromBool(bool value) { return value ? 1.0f : 0.0f; }
static bool VmTrue(float value) { return fabsf(value) >= kVmTruthEps; }  // NaN counts as false here

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int VmPush(VmState *state, float value)
{
    if (state->sp >= kVmStackSize) {
        snprintf(state->error, sizeof(state->error), "stack overflow");
        return 0;
    }
    state->stack[state->sp++] = value;
    return 1;
}

int VmPop(VmState *state, float *out)
{
    if (state->sp <= 0) {
        snprintf(state->error, sizeof(state->error), "stack underflow");
        return 0;
    }
    *out = state->stack[--state->sp];
    return 1;
}

void VmLog(VmState *state, const char *text)
{
    size_t used = strnlen(state->log, sizeof(state->log) - 1);
    size_t len = strlen(text);
    // The whole entry and its line feed must fit, with room for the terminator: no partial entries.
    if (used + len + 2 >= sizeof(state->log)) return;
    memcpy(state->log + used, text, len);
    state->log[used + len] = '\n';
    state->log[used + len + 1] = '\0';
}

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
    ModTool *tool = state->tool;
    memset(state, 0, sizeof(*state));
    state->tool = tool;
    state->map = map;
    state->selBrush = selBrush;
    state->selEntity = selEntity;
    state->rng = kVmRandSeed;

    const VmInstr *const code = program->code;
    const int count = program->count < kVmMaxCode ? program->count : kVmMaxCode;
    float *const stack = state->stack;
    float *const vars = state->vars;
    int sp = 0;
    int pc = 0;
    uint32_t steps = 0;
    const VmInstr *in = code;

// Stack helpers of the loop: a = the deeper operand, b = the top, c above both for three.
#define VM_NEED(n) do { if (sp < (n)) goto underflow; } while (0)
#define VM_ROOM(n) do { if (sp + (n) > kVmStackSize) goto overflow; } while (0)
#define VM_SLOT() do { if ((unsigned)in->arg >= (unsigned)kVmMaxVars) goto bad_slot; } while (0)
#define VM_UNARY(expr) { VM_NEED(1); float x = stack[sp - 1]; stack[sp - 1] = (expr); break; }
#define VM_BINARY(expr) { VM_NEED(2); float b = stack[sp - 1]; float a = stack[sp - 2]; sp--; stack[sp - 1] = (expr); break; }
#define VM_BRANCH2(cond) { VM_NEED(2); float b = stack[sp - 1]; float a = stack[sp - 2]; sp -= 2; if (cond) goto take_jump; break; }

    for (;;) {
        if ((unsigned)pc >= (unsigned)count) goto done;
        if (++steps > kVmMaxSteps) goto step_limit;
        in = &code[pc];
        switch (in->op) {
        case OP_HALT: goto done;
        case OP_NOP: break;
        case OP_PUSH: VM_ROOM(1); stack[sp++] = in->value; break;
        case OP_POP: VM_NEED(1); sp--; break;
        case OP_DUP: VM_NEED(1); VM_ROOM(1); stack[sp] = stack[sp - 1]; sp++; break;
        case OP_SWAP: {
            VM_NEED(2);
            float t = stack[sp - 1]; stack[sp - 1] = stack[sp - 2]; stack[sp - 2] = t;
            break;
        }
        case OP_OVER:
            if (sp < 2) { VmFailLine(state, "line %d: OVER needs two values", in->line); goto fail; }
            VM_ROOM(1);
            stack[sp] = stack[sp - 2]; sp++;
            break;
        case OP_ROT: {                   // a b c -- b c a
            VM_NEED(3);
            float a = stack[sp - 3];
            stack[sp - 3] = stack[sp - 2]; stack[sp - 2] = stack[sp - 1]; stack[sp - 1] = a;
            break;
        }
        case OP_RROT: {                  // a b c -- c a b
            VM_NEED(3);
            float c = stack[sp - 1];
            stack[sp - 1] = stack[sp - 2]; stack[sp - 2] = stack[sp - 3]; stack[sp - 3] = c;
            break;
        }
        case OP_NIP: VM_NEED(2); stack[sp - 2] = stack[sp - 1]; sp--; break;
        case OP_TUCK: {                  // a b -- b a b
            VM_NEED(2); VM_ROOM(1);
            float a = stack[sp - 2], b = stack[sp - 1];
            stack[sp - 2] = b; stack[sp - 1] = a; stack[sp] = b; sp++;
            break;
        }
        case OP_DEPTH: VM_ROOM(1); stack[sp] = (float)sp; sp++; break;
        case OP_CLEAR: sp = 0; break;

        case OP_LOAD: VM_SLOT(); VM_ROOM(1); stack[sp++] = vars[in->arg]; break;
        case OP_STORE: VM_SLOT(); VM_NEED(1); vars[in->arg] = stack[--sp]; break;
        case OP_INC: VM_SLOT(); vars[in->arg] += 1.0f; break;
        case OP_DEC: VM_SLOT(); vars[in->arg] -= 1.0f; break;
        case OP_ADDV: VM_SLOT(); VM_NEED(1); vars[in->arg] += stack[--sp]; break;

        case OP_ADD: VM_BINARY(a + b)
        case OP_SUB: VM_BINARY(a - b)
        case OP_MUL: VM_BINARY(a * b)
        case OP_DIV: {
            VM_NEED(2);
            float b = stack[sp - 1], a = stack[sp - 2];
            sp -= 2;
            if (fabsf(b) < kVmDivEps) { VmFailLine(state, "line %d: divide by zero", in->line); goto fail; }
            stack[sp++] = a / b;
            break;
        }
        case OP_MOD: {
            VM_NEED(2);
            float b = stack[sp - 1], a = stack[sp - 2];
            sp -= 2;
            if (fabsf(b) < kVmDivEps) { VmFailLine(state, "line %d: modulo by zero", in->line); goto fail; }
            stack[sp++] = fmodf(a, b);
            break;
        }
        case OP_IDIV: {
            VM_NEED(2);
            float b = stack[sp - 1], a = stack[sp - 2];
            sp -= 2;
            if (fabsf(b) < kVmDivEps) { VmFailLine(state, "line %d: divide by zero", in->line); goto fail; }
            stack[sp++] = truncf(a / b);
            break;
        }
        case OP_POW: VM_BINARY(powf(a, b))
        case OP_MIN: VM_BINARY(fminf(a, b))
        case OP_MAX: VM_BINARY(fmaxf(a, b))
        case OP_ATAN2: VM_BINARY(atan2f(a, b))
        case OP_HYPOT: VM_BINARY(sqrtf(a * a + b * b))
        case OP_STEP: VM_BINARY(VmFromBool(b >= a))
        case OP_WRAP: VM_BINARY(fabsf(b) < kVmDivEps ? a : a - b * floorf(a / b))
        case OP_SNAPTO: VM_BINARY(fabsf(b) < kVmDivEps ? a : roundf(a / b) * b)
        case OP_COPYSIGN: VM_BINARY(copysignf(a, b))

        case OP_NEG: VM_UNARY(-x)
        case OP_ABS: VM_UNARY(fabsf(x))
        case OP_FLOOR: VM_UNARY(floorf(x))
        case OP_CEIL: VM_UNARY(ceilf(x))
        case OP_ROUND: VM_UNARY(roundf(x))
        case OP_TRUNC: VM_UNARY(truncf(x))
        case OP_FRACT: VM_UNARY(x - floorf(x))
        case OP_SIGN: VM_UNARY(x > 0.0f ? 1.0f : (x < 0.0f ? -1.0f : 0.0f))
        case OP_RECIP: VM_UNARY(fabsf(x) < kVmDivEps ? 0.0f : 1.0f / x)
        case OP_SQR: VM_UNARY(x * x)
        case OP_SQRT: VM_UNARY(x > 0.0f ? sqrtf(x) : 0.0f)
        case OP_EXP: VM_UNARY(expf(x))
        case OP_LOG: VM_UNARY(x > 0.0f ? logf(x) : 0.0f)
        case OP_LOG2: VM_UNARY(x > 0.0f ? log2f(x) : 0.0f)
        case OP_LOG10: VM_UNARY(x > 0.0f ? log10f(x) : 0.0f)
        case OP_SIN: VM_UNARY(sinf(x))
        case OP_COS: VM_UNARY(cosf(x))
        case OP_TAN: VM_UNARY(tanf(x))
        case OP_ASIN: VM_UNARY(asinf(x < -1.0f ? -1.0f : (x > 1.0f ? 1.0f : x)))
        case OP_ACOS: VM_UNARY(acosf(x < -1.0f ? -1.0f : (x > 1.0f ? 1.0f : x)))
        case OP_ATAN: VM_UNARY(atanf(x))
        case OP_SINH: VM_UNARY(sinhf(x))
        case OP_COSH: VM_UNARY(coshf(x))
        case OP_TANH: VM_UNARY(tanhf(x))
        case OP_DEG: VM_UNARY(x * 57.295776f)
        case OP_RAD: VM_UNARY(x * 0.017453292f)

        case OP_RAND: {
            VM_ROOM(1);
            uint32_t r = state->rng;
            r ^= r << 13;
            r ^= r >> 17;
            r ^= r << 5;
            state->rng = r;
            stack[sp++] = (float)(r % 100000u) / 100000.0f;
            break;
        }
        case OP_CLAMP: {                 // x lo hi -- r
            VM_NEED(3);
            float x = stack[sp - 3], lo = stack[sp - 2], hi = stack[sp - 1];
            if (lo > hi) { float t = lo; lo = hi; hi = t; }
            sp -= 2;
            stack[sp - 1] = x < lo ? lo : (x > hi ? hi : x);
            break;
        }
        case OP_LERP: {                  // a b t -- a + (b - a) t
            VM_NEED(3);
            float a = stack[sp - 3], b = stack[sp - 2], t = stack[sp - 1];
            sp -= 2;
            stack[sp - 1] = a + (b - a) * t;
            break;
        }
        case OP_SMOOTHSTEP: {            // e0 e1 x -- r
            VM_NEED(3);
            float e0 = stack[sp - 3], e1 = stack[sp - 2], x = stack[sp - 1];
            float t = fabsf(e1 - e0) < kVmDivEps ? 0.0f : (x - e0) / (e1 - e0);
            if (t < 0.0f) t = 0.0f;
            if (t > 1.0f) t = 1.0f;
            sp -= 2;
            stack[sp - 1] = t * t * (3.0f - 2.0f * t);
            break;
        }

        case OP_LT: VM_BINARY(VmFromBool(a < b))
        case OP_GT: VM_BINARY(VmFromBool(a > b))
        case OP_LE: VM_BINARY(VmFromBool(a <= b))
        case OP_GE: VM_BINARY(VmFromBool(a >= b))
        case OP_EQ: VM_BINARY(VmFromBool(fabsf(a - b) < kVmTruthEps))
        case OP_NE: VM_BINARY(VmFromBool(fabsf(a - b) >= kVmTruthEps))
        case OP_NOT:
        case OP_ISZERO: VM_UNARY(VmFromBool(fabsf(x) < kVmTruthEps))
        // The logic operators count a magnitude of exactly the threshold as false.
        case OP_AND: VM_BINARY(VmFromBool(fabsf(a) > kVmTruthEps && fabsf(b) > kVmTruthEps))
        case OP_OR: VM_BINARY(VmFromBool(fabsf(a) > kVmTruthEps || fabsf(b) > kVmTruthEps))
        case OP_XOR: VM_BINARY(VmFromBool((fabsf(a) > kVmTruthEps) != (fabsf(b) > kVmTruthEps)))
        case OP_ISNAN: VM_UNARY(VmFromBool(x != x))
        case OP_BETWEEN: {               // x lo hi -- r, bounds not swapped
            VM_NEED(3);
            float x = stack[sp - 3], lo = stack[sp - 2], hi = stack[sp - 1];
            sp -= 2;
            stack[sp - 1] = VmFromBool(lo <= x && x <= hi);
            break;
        }

        case OP_BAND: VM_BINARY((float)(VmToInt(a) & VmToInt(b)))
        case OP_BOR: VM_BINARY((float)(VmToInt(a) | VmToInt(b)))
        case OP_BXOR: VM_BINARY((float)(VmToInt(a) ^ VmToInt(b)))
        case OP_BNOT: VM_UNARY((float)(~VmToInt(x)))
        case OP_SHL: VM_BINARY((float)VmShiftLeft(VmToInt(a), VmShiftCount(b)))
        case OP_SHR: VM_BINARY((float)VmShiftRight(VmToInt(a), VmShiftCount(b)))

        case OP_JMP: goto take_jump;
        case OP_JZ: { VM_NEED(1); float x = stack[--sp]; if (fabsf(x) < kVmTruthEps) goto take_jump; break; }
        case OP_JNZ: { VM_NEED(1); float x = stack[--sp]; if (VmTrue(x)) goto take_jump; break; }
        case OP_JEQ: VM_BRANCH2(fabsf(a - b) < kVmTruthEps)
        case OP_JNE: VM_BRANCH2(fabsf(a - b) >= kVmTruthEps)
        case OP_JLT: VM_BRANCH2(a < b)
        case OP_JGT: VM_BRANCH2(a > b)
        case OP_JLE: VM_BRANCH2(a <= b)
        case OP_JGE: VM_BRANCH2(a >= b)
        case OP_GOSUB:
            if (state->callDepth >= kVmCallDepth) {
                VmFailLine(state, "line %d: GOSUB nested too deep", in->line);
                goto fail;
            }
            if (in->arg < 0 || in->arg > count) goto jump_range;
            state->callStack[state->callDepth++] = pc + 1;
            pc = in->arg;
            continue;
        case OP_RET:
            if (state->callDepth <= 0) { VmFailLine(state, "line %d: RET without GOSUB", in->line); goto fail; }
            pc = state->callStack[--state->callDepth];
            continue;
        case OP_CALL: {
            if (in->arg < 0 || in->arg >= kBuiltinCount) {
                VmFailLine(state, "line %d: bad call", in->line);
                goto fail;
            }
            state->sp = sp;
            int ok = VmCallBuiltin(state, in->arg);
            sp = state->sp;
            if (!ok) goto op_failed;
            break;
        }
        case OP_PRINT: {
            VM_NEED(1);
            char text[kVmPrintLen];
            snprintf(text, sizeof(text), "%.4g", (double)stack[--sp]);
            VmLog(state, text);
            break;
        }
        default:
            break;                       // unknown opcodes do nothing
        }
        pc++;
        continue;

    take_jump:
        // A taken jump may land on count itself, which ends the run normally.
        if (in->arg < 0 || in->arg > count) goto jump_range;
        pc = in->arg;
    }

#undef VM_NEED
#undef VM_ROOM
#undef VM_SLOT
#undef VM_UNARY
#undef VM_BINARY
#undef VM_BRANCH2

done:
    state->sp = sp;
    return 1;
step_limit:
    snprintf(state->error, sizeof(state->error), "step limit reached - infinite loop?");
    goto fail;
underflow:
    snprintf(state->error, sizeof(state->error), "stack underflow");
    goto fail;
overflow:
    snprintf(state->error, sizeof(state->error), "stack overflow");
    goto fail;
bad_slot:
    VmFailLine(state, "line %d: bad variable slot", in->line);
    goto fail;
jump_range:
    VmFailLine(state, "line %d: jump out of range", in->line);
    goto fail;
op_failed:
    // An operation that failed without its own message.
    if (state->error[0] == '\0') VmFailLine(state, "line %d: stack fault", in->line);
fail:
    state->sp = sp;
    return 0;
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
static int VmFailLine(VmState *state, const char *format, int line)
{
    snprintf(state->error, sizeof(state->error), format, line);
    return 0;
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
