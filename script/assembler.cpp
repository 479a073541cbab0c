// assembler.cpp: one pass over the lines of a script, one pass over its label references.
#include "script/assembler.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "script/builtin_table.h"

// A PUSH narrows a double to float; on IEEE formats every double has a float neighbour (or infinity).
static_assert(std::numeric_limits<float>::is_iec559, "PUSH relies on IEEE float conversion");

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------
enum OperandKind { OPERAND_NONE, OPERAND_NUMBER, OPERAND_VARIABLE, OPERAND_LABEL, OPERAND_FUNCTION };
// What a missing operand is called in "line N: <MNEMONIC> needs a <noun>".
static const char *const kOperandNoun[] = { "", "number", "variable", "label", "function" };

struct MnemonicDef {
    const char *name;                    // upper case, as VmUpper leaves the source's
    int32_t op;                          // VmOp
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
// The operand each opcode's mnemonics take, by opcode.
#define OPERAND_OF(name, operand) OPERAND_##operand,
static constexpr int32_t kOpcodeOperand[kVmOpCount] = { KIRTO_OPCODES(OPERAND_OF) };
#undef OPERAND_OF

// Every opcode under its own name, then the aliases.
#define MNEMONIC_OF(name, operand) { #name, OP_##name },
#define MNEMONIC_OF_ALIAS(alias, name) { #alias, OP_##name },
static const MnemonicDef kMnemonics[] = { KIRTO_OPCODES(MNEMONIC_OF) KIRTO_OPCODE_ALIASES(MNEMONIC_OF_ALIAS) };
#undef MNEMONIC_OF
#undef MNEMONIC_OF_ALIAS
constexpr int kMnemonicCount = (int)(sizeof(kMnemonics) / sizeof(kMnemonics[0]));

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
        in->op = kMnemonics[m].op;
        const int32_t operandKind = kOpcodeOperand[in->op];
        const char *operand = ntok > 1 ? tok[1] : nullptr;
        if (operandKind != OPERAND_NONE && !operand) {
            snprintf(err, errSize, "line %d: %s needs a %s", lineNo, mnemonic, kOperandNoun[operandKind]);
            return 0;
        }
        switch (operandKind) {
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
