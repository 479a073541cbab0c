// assembler.cpp: one pass over the lines of a script, one pass over its label references.
#include "script/assembler.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "script/builtins.h"

// A PUSH narrows a double to float; on IEEE formats every double has a float neighbour (or infinity).
static_assert(std::numeric_limits<float>::is_iec559, "PUSH relies on IEEE float conversion");

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------
enum OperandKind { OPERAND_NONE, OPERAND_NUMBER, OPERAND_VARIABLE, OPERAND_LABEL, OPERAND_FUNCTION };
// What a missing operand is called in "line N: <MNEMONIC> needs a <noun>".
static const char *const kOperandNoun[] = { "", "number", "variable", "label", "function" };

struct MnemonicDef {
    const char *name;
    int32_t op;
    int32_t operand;                     // OperandKind
};

struct VmLabel {
    char name[kVmLabelLen];
    int32_t target;                      // index the next instruction received
};

struct VmFixup {
    int32_t instr;                       // instruction whose arg gets the target
    char label[kVmLabelLen];
    int32_t line;                        // line of the reference, for its message
};

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static const MnemonicDef kMnemonics[] = {
    { "HALT", OP_HALT, OPERAND_NONE }, { "NOP", OP_NOP, OPERAND_NONE },
    { "PUSH", OP_PUSH, OPERAND_NUMBER }, { "POP", OP_POP, OPERAND_NONE },
    { "DROP", OP_POP, OPERAND_NONE }, { "DUP", OP_DUP, OPERAND_NONE },
    { "SWAP", OP_SWAP, OPERAND_NONE }, { "OVER", OP_OVER, OPERAND_NONE },
    { "ROT", OP_ROT, OPERAND_NONE }, { "RROT", OP_RROT, OPERAND_NONE },
    { "NIP", OP_NIP, OPERAND_NONE }, { "TUCK", OP_TUCK, OPERAND_NONE },
    { "DEPTH", OP_DEPTH, OPERAND_NONE }, { "CLEAR", OP_CLEAR, OPERAND_NONE },

    { "LOAD", OP_LOAD, OPERAND_VARIABLE }, { "STORE", OP_STORE, OPERAND_VARIABLE },
    { "INC", OP_INC, OPERAND_VARIABLE }, { "DEC", OP_DEC, OPERAND_VARIABLE },
    { "ADDV", OP_ADDV, OPERAND_VARIABLE },

    { "ADD", OP_ADD, OPERAND_NONE }, { "SUB", OP_SUB, OPERAND_NONE }, { "MUL", OP_MUL, OPERAND_NONE },
    { "DIV", OP_DIV, OPERAND_NONE }, { "MOD", OP_MOD, OPERAND_NONE }, { "IDIV", OP_IDIV, OPERAND_NONE },
    { "POW", OP_POW, OPERAND_NONE }, { "MIN", OP_MIN, OPERAND_NONE }, { "MAX", OP_MAX, OPERAND_NONE },
    { "ATAN2", OP_ATAN2, OPERAND_NONE }, { "HYPOT", OP_HYPOT, OPERAND_NONE },
    { "STEP", OP_STEP, OPERAND_NONE }, { "WRAP", OP_WRAP, OPERAND_NONE },
    { "SNAPTO", OP_SNAPTO, OPERAND_NONE }, { "COPYSIGN", OP_COPYSIGN, OPERAND_NONE },

    { "NEG", OP_NEG, OPERAND_NONE }, { "ABS", OP_ABS, OPERAND_NONE }, { "FLOOR", OP_FLOOR, OPERAND_NONE },
    { "CEIL", OP_CEIL, OPERAND_NONE }, { "ROUND", OP_ROUND, OPERAND_NONE },
    { "TRUNC", OP_TRUNC, OPERAND_NONE }, { "FRACT", OP_FRACT, OPERAND_NONE },
    { "SIGN", OP_SIGN, OPERAND_NONE }, { "RECIP", OP_RECIP, OPERAND_NONE },
    { "SQR", OP_SQR, OPERAND_NONE }, { "SQRT", OP_SQRT, OPERAND_NONE }, { "EXP", OP_EXP, OPERAND_NONE },
    { "LOG", OP_LOG, OPERAND_NONE }, { "LOG2", OP_LOG2, OPERAND_NONE },
    { "LOG10", OP_LOG10, OPERAND_NONE }, { "SIN", OP_SIN, OPERAND_NONE }, { "COS", OP_COS, OPERAND_NONE },
    { "TAN", OP_TAN, OPERAND_NONE }, { "ASIN", OP_ASIN, OPERAND_NONE }, { "ACOS", OP_ACOS, OPERAND_NONE },
    { "ATAN", OP_ATAN, OPERAND_NONE }, { "SINH", OP_SINH, OPERAND_NONE },
    { "COSH", OP_COSH, OPERAND_NONE }, { "TANH", OP_TANH, OPERAND_NONE }, { "DEG", OP_DEG, OPERAND_NONE },
    { "RAD", OP_RAD, OPERAND_NONE },

    { "RAND", OP_RAND, OPERAND_NONE }, { "CLAMP", OP_CLAMP, OPERAND_NONE },
    { "LERP", OP_LERP, OPERAND_NONE }, { "SMOOTHSTEP", OP_SMOOTHSTEP, OPERAND_NONE },

    { "LT", OP_LT, OPERAND_NONE }, { "GT", OP_GT, OPERAND_NONE }, { "LE", OP_LE, OPERAND_NONE },
    { "GE", OP_GE, OPERAND_NONE }, { "EQ", OP_EQ, OPERAND_NONE }, { "NE", OP_NE, OPERAND_NONE },
    { "NOT", OP_NOT, OPERAND_NONE }, { "AND", OP_AND, OPERAND_NONE }, { "OR", OP_OR, OPERAND_NONE },
    { "XOR", OP_XOR, OPERAND_NONE }, { "ISZERO", OP_ISZERO, OPERAND_NONE },
    { "ISNAN", OP_ISNAN, OPERAND_NONE }, { "BETWEEN", OP_BETWEEN, OPERAND_NONE },

    { "BAND", OP_BAND, OPERAND_NONE }, { "BOR", OP_BOR, OPERAND_NONE }, { "BXOR", OP_BXOR, OPERAND_NONE },
    { "BNOT", OP_BNOT, OPERAND_NONE }, { "SHL", OP_SHL, OPERAND_NONE }, { "SHR", OP_SHR, OPERAND_NONE },

    { "JMP", OP_JMP, OPERAND_LABEL }, { "JZ", OP_JZ, OPERAND_LABEL }, { "JNZ", OP_JNZ, OPERAND_LABEL },
    { "JEQ", OP_JEQ, OPERAND_LABEL }, { "JNE", OP_JNE, OPERAND_LABEL }, { "JLT", OP_JLT, OPERAND_LABEL },
    { "JGT", OP_JGT, OPERAND_LABEL }, { "JLE", OP_JLE, OPERAND_LABEL }, { "JGE", OP_JGE, OPERAND_LABEL },
    { "GOSUB", OP_GOSUB, OPERAND_LABEL }, { "RET", OP_RET, OPERAND_NONE },
    { "CALL", OP_CALL, OPERAND_FUNCTION }, { "PRINT", OP_PRINT, OPERAND_NONE },
};
constexpr int kMnemonicCount = (int)(sizeof(kMnemonics) / sizeof(kMnemonics[0]));
static_assert(kMnemonicCount == 96, "96 mnemonics");

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static void CopyCut(char *dst, int dstSize, const char *src);
static int FindMnemonic(const char *upper);
static bool IsSeparator(char c);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void VmUpper(char *text)
{
    for (; *text; text++)
        if (*text >= 'a' && *text <= 'z') *text = (char)(*text - 'a' + 'A');
}

int VmTokenize(char *line, char *tokens[kVmMaxTokens])
{
    // The comment starts at the first ';' or '#', even in the middle of a token.
    for (char *p = line; *p; p++) {
        if (*p == ';' || *p == '#') { *p = '\0'; break; }
    }
    int count = 0;
    char *p = line;
    while (*p && count < kVmMaxTokens) {
        while (*p && IsSeparator(*p)) p++;
        if (!*p) break;
        tokens[count++] = p;
        while (*p && !IsSeparator(*p)) p++;
        if (*p) *p++ = '\0';
    }
    return count;
}

int VmVarSlot(VmProgram *program, const char *name)
{
    char cut[kVmVarNameLen];
    CopyCut(cut, sizeof(cut), name);
    for (int i = 0; i < program->varCount; i++)
        if (strcmp(program->varNames[i], cut) == 0) return i;
    if (program->varCount >= kVmMaxVars) return -1;
    memcpy(program->varNames[program->varCount], cut, sizeof(cut));
    return program->varCount++;
}

int VmAssemble(const char *source, VmProgram *program)
{
    memset(program, 0, sizeof(*program));
    VmLabel labels[kVmMaxLabels];
    VmFixup fixups[kVmMaxFixups];
    int labelCount = 0, fixupCount = 0, lineNo = 0;
    char *err = program->error;
    const int errSize = (int)sizeof(program->error);
    if (!source) source = "";

    const char *cursor = source;
    while (*cursor) {
        lineNo++;
        // One line: up to the next line feed, but never more than the limit; the rest of a longer
        // line becomes the next line.
        char line[kVmMaxLineLen + 1];
        int len = 0;
        while (len < kVmMaxLineLen && cursor[len] && cursor[len] != '\n') len++;
        memcpy(line, cursor, (size_t)len);
        line[len] = '\0';
        cursor += len;
        if (*cursor == '\n') cursor++;

        char *tok[kVmMaxTokens];
        int ntok = VmTokenize(line, tok);
        if (ntok == 0) continue;

        // A label: a first token of two or more characters that ends with ':'.
        size_t firstLen = strlen(tok[0]);
        if (firstLen > 1 && tok[0][firstLen - 1] == ':') {
            if (labelCount >= kVmMaxLabels) {
                snprintf(err, errSize, "line %d: too many labels", lineNo);
                return 0;
            }
            tok[0][firstLen - 1] = '\0';
            CopyCut(labels[labelCount].name, kVmLabelLen, tok[0]);
            labels[labelCount].target = program->count;
            labelCount++;
            if (ntok == 1) continue;
            for (int i = 1; i < ntok; i++) tok[i - 1] = tok[i];
            ntok--;
        }

        if (program->count >= kVmMaxCode) {
            snprintf(err, errSize, "line %d: script too long", lineNo);
            return 0;
        }
        char mnemonic[kVmMnemonicLen];
        CopyCut(mnemonic, sizeof(mnemonic), tok[0]);
        VmUpper(mnemonic);
        VmInstr *in = &program->code[program->count];
        in->arg = -1;
        in->line = lineNo;

        int m = FindMnemonic(mnemonic);
        if (m < 0) {
            snprintf(err, errSize, "line %d: unknown instruction '%s'", lineNo, tok[0]);
            return 0;
        }
        const MnemonicDef &def = kMnemonics[m];
        in->op = def.op;
        const char *operand = ntok > 1 ? tok[1] : nullptr;
        if (def.operand != OPERAND_NONE && !operand) {
            snprintf(err, errSize, "line %d: %s needs a %s", lineNo, mnemonic, kOperandNoun[def.operand]);
            return 0;
        }
        switch (def.operand) {
        case OPERAND_NUMBER:
            // Only the leading numeric part counts; text that is no number gives 0.
            in->value = (float)strtod(operand, nullptr);
            break;
        case OPERAND_VARIABLE:
            in->arg = VmVarSlot(program, operand);
            if (in->arg < 0) {
                snprintf(err, errSize, "line %d: too many variables", lineNo);
                return 0;
            }
            break;
        case OPERAND_LABEL:
            if (fixupCount >= kVmMaxFixups) {
                snprintf(err, errSize, "line %d: too many jumps", lineNo);
                return 0;
            }
            fixups[fixupCount].instr = program->count;
            CopyCut(fixups[fixupCount].label, kVmLabelLen, operand);
            fixups[fixupCount].line = lineNo;
            fixupCount++;
            break;
        case OPERAND_FUNCTION:
            in->arg = FindBuiltin(operand);
            if (in->arg < 0) {
                snprintf(err, errSize, "line %d: unknown function '%s'", lineNo, operand);
                return 0;
            }
            break;
        default:
            break;                       // extra tokens after an operand-less mnemonic are ignored
        }
        program->count++;
    }

    // Resolve references in the order they were made; the first label of a name wins.
    for (int i = 0; i < fixupCount; i++) {
        const VmFixup &fx = fixups[i];
        int target = -1;
        for (int l = 0; l < labelCount; l++) {
            if (strcmp(labels[l].name, fx.label) == 0) { target = labels[l].target; break; }
        }
        if (target < 0) {
            snprintf(err, errSize, "line %d: no such label '%s'", fx.line, fx.label);
            return 0;
        }
        program->code[fx.instr].arg = target;
    }

    program->ok = true;
    return 1;
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// Copies at most dstSize-1 characters and always terminates.
static void CopyCut(char *dst, int dstSize, const char *src)
{
    int n = 0;
    while (n < dstSize - 1 && src[n]) { dst[n] = src[n]; n++; }
    dst[n] = '\0';
}

static int FindMnemonic(const char *upper)
{
    for (int i = 0; i < kMnemonicCount; i++)
        if (strcmp(kMnemonics[i].name, upper) == 0) return i;
    return -1;
}

static bool IsSeparator(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',';
}
