// The script assembler: messages, limits, line reading, tokens, labels and operands.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "script/assembler.h"
#include "script/builtins.h"
#include "support/script_run.h"

// Assembles and returns the error text ("" on success).
static std::string AsmError(const std::string &source)
{
    std::unique_ptr<VmProgram> program(new VmProgram());
    int ok = VmAssemble(source.c_str(), program.get());
    EXPECT_EQ(ok != 0, program->ok);
    EXPECT_EQ(ok != 0, program->error[0] == '\0');
    return program->error;
}

static std::unique_ptr<VmProgram> Asm(const std::string &source)
{
    std::unique_ptr<VmProgram> program(new VmProgram());
    VmAssemble(source.c_str(), program.get());
    return program;
}

TEST(ScriptAssembler, EveryMessageWithItsLine)
{
    EXPECT_EQ(AsmError("NOP\npush"), "line 2: PUSH needs a number");
    EXPECT_EQ(AsmError("\n\nstore"), "line 3: STORE needs a variable");
    EXPECT_EQ(AsmError("Load"), "line 1: LOAD needs a variable");
    EXPECT_EQ(AsmError("NOP\njz ; no label"), "line 2: JZ needs a label");
    EXPECT_EQ(AsmError("gosub"), "line 1: GOSUB needs a label");
    EXPECT_EQ(AsmError("call"), "line 1: CALL needs a function");
    EXPECT_EQ(AsmError("CALL Brush.add"), "line 1: unknown function 'Brush.add'");
    EXPECT_EQ(AsmError("NOP\n\nfrob 1"), "line 3: unknown instruction 'frob'");
    EXPECT_EQ(AsmError("NOP\nJMP nowhere\nNOP\nNOP"), "line 2: no such label 'nowhere'");
    EXPECT_EQ(AsmError(RepeatLines("NOP", kVmMaxCode) + "NOP"), "line 2049: script too long");
    EXPECT_EQ(AsmError(RepeatLines("x:", 129)), "line 129: too many labels");
    EXPECT_EQ(AsmError(RepeatLines("JMP x", 129) + "x:"), "line 129: too many jumps");
    std::string vars;
    for (int i = 0; i < 65; i++) vars += "STORE v" + std::to_string(i) + "\n";
    EXPECT_EQ(AsmError(vars), "line 65: too many variables");
}

TEST(ScriptAssembler, LimitsAtTheirEdge)
{
    auto full = Asm(RepeatLines("NOP", kVmMaxCode));
    EXPECT_TRUE(full->ok);
    EXPECT_EQ(full->count, 2048);
    // Labels and comments never count as instructions.
    EXPECT_EQ(AsmError(RepeatLines("NOP", kVmMaxCode) + "end:\n; done\n"), "");

    EXPECT_EQ(AsmError(RepeatLines("x:", 128)), "");
    EXPECT_EQ(AsmError(RepeatLines("JMP x", 128) + "x:"), "");
    EXPECT_EQ(AsmError(RepeatLines("GOSUB x", 64) + RepeatLines("JZ x", 64) + "x:"), "");

    std::string vars;
    for (int i = 0; i < 64; i++) vars += "STORE v" + std::to_string(i) + "\n";
    auto many = Asm(vars + "LOAD v63\nINC v0");
    EXPECT_TRUE(many->ok);
    EXPECT_EQ(many->varCount, 64);
    EXPECT_EQ(many->code[64].arg, 63);
    EXPECT_EQ(many->code[65].arg, 0);
}

TEST(ScriptAssembler, LongLinesContinueOnTheNextLineNumber)
{
    // 255 characters are one line.
    EXPECT_EQ(AsmError("NOP" + std::string(252, ' ') + "\nfrob"), "line 2: unknown instruction 'frob'");
    // 256 characters are two: the last blank becomes line 2.
    EXPECT_EQ(AsmError("NOP" + std::string(253, ' ') + "\nfrob"), "line 3: unknown instruction 'frob'");
    // A 300-character line shifts every later line number by one.
    EXPECT_EQ(AsmError("NOP" + std::string(297, ' ') + "\nNOP\nfrob"), "line 4: unknown instruction 'frob'");
    // The cut can fall inside a token.
    EXPECT_EQ(AsmError(std::string(253, ' ') + "NOP"), "line 1: unknown instruction 'NO'");
    EXPECT_EQ(AsmError(std::string(250, ' ') + "NOP NOP"), "line 2: unknown instruction 'OP'");
    // A very long line of one token never overflows anything and the message is cut to fit.
    std::string error = AsmError(std::string(5000, 'z'));
    EXPECT_EQ(error.size(), (size_t)kVmAsmErrorLen - 1);
    EXPECT_EQ(error.rfind("line 1: unknown instruction 'zzz", 0), 0u);
}

TEST(ScriptAssembler, CommentsSeparatorsAndExtraTokens)
{
    auto p = Asm("PUSH 5#note\nPUSH 5 ; note\n# whole line\n;\n  \t\r\nADDV,total\r\nPUSH 1 2 3\nNOP extra words\n"
                 "PUSH\t7,8\n");
    ASSERT_TRUE(p->ok) << p->error;
    ASSERT_EQ(p->count, 6);
    EXPECT_EQ(p->code[0].op, OP_PUSH);
    EXPECT_EQ(p->code[0].value, 5.0f);
    EXPECT_EQ(p->code[1].value, 5.0f);
    EXPECT_EQ(p->code[1].line, 2);
    EXPECT_EQ(p->code[2].op, OP_ADDV);
    EXPECT_EQ(p->code[2].line, 6);
    EXPECT_STREQ(p->varNames[p->code[2].arg], "total");
    EXPECT_EQ(p->code[3].value, 1.0f);
    EXPECT_EQ(p->code[4].op, OP_NOP);
    EXPECT_EQ(p->code[5].value, 7.0f);
    // A comment mark inside a token cuts it: "lo#op:" is the instruction "lo".
    EXPECT_EQ(AsmError("lo#op: NOP"), "line 1: unknown instruction 'lo'");
    // Non-operand instructions keep value 0 and arg -1.
    EXPECT_EQ(p->code[4].value, 0.0f);
    EXPECT_EQ(p->code[4].arg, -1);
}

TEST(ScriptAssembler, CaseRules)
{
    auto p = Asm("push 2\nPush 2\npUsH 2");
    ASSERT_TRUE(p->ok);
    for (int i = 0; i < 3; i++) EXPECT_EQ(p->code[i].op, OP_PUSH);
    // Labels, variables and builtin names are case-sensitive.
    EXPECT_EQ(AsmError("Loop: NOP\nJMP loop"), "line 2: no such label 'loop'");
    auto v = Asm("STORE a\nLOAD A");
    EXPECT_EQ(v->varCount, 2);
    EXPECT_EQ(AsmError("CALL LEN3"), "line 1: unknown function 'LEN3'");
    // Unknown instructions are quoted as written.
    EXPECT_EQ(AsmError("FroB"), "line 1: unknown instruction 'FroB'");
}

TEST(ScriptAssembler, LabelsAndReferences)
{
    auto p = Asm("JMP fwd\n"            // 0 -> 3
                 "back:\n"
                 "loop: PUSH 5\n"       // 1, label loop and back at 1
                 "NOP\n"                // 2
                 "fwd: JNZ loop\n"      // 3 -> 1
                 "GOSUB back\n"         // 4 -> 1
                 "loop: NOP\n"          // 5: duplicate, the first wins
                 "JLE loop\n"           // 6 -> 1
                 "end:");               // 7 = count
    ASSERT_TRUE(p->ok) << p->error;
    ASSERT_EQ(p->count, 7);
    EXPECT_EQ(p->code[0].arg, 3);
    EXPECT_EQ(p->code[1].op, OP_PUSH);
    EXPECT_EQ(p->code[1].value, 5.0f);
    EXPECT_EQ(p->code[3].arg, 1);
    EXPECT_EQ(p->code[4].arg, 1);
    EXPECT_EQ(p->code[6].arg, 1);

    // A label on the last line is the end of the program.
    auto e = Asm("JMP end\nNOP\nend:");
    EXPECT_EQ(e->code[0].arg, 2);
    EXPECT_EQ(e->count, 2);
    // Only comments and labels: nothing to run, still assembled.
    auto empty = Asm("a:\n; text\nb:\n");
    EXPECT_TRUE(empty->ok);
    EXPECT_EQ(empty->count, 0);

    // A lone ':' is no label; "::" is the label ":".
    EXPECT_EQ(AsmError(": NOP"), "line 1: unknown instruction ':'");
    EXPECT_EQ(AsmError(":: NOP\nJMP :"), "");
    // Only one label per line: a second one is read as the instruction.
    EXPECT_EQ(AsmError("a: b: NOP"), "line 1: unknown instruction 'b:'");
    // The no-such-label message comes after the whole text, even after later errors would be seen.
    EXPECT_EQ(AsmError("JMP nowhere\n" + RepeatLines("NOP", 10)), "line 1: no such label 'nowhere'");
}

TEST(ScriptAssembler, NamesAtAndOverTheirLengthLimits)
{
    std::string l31(31, 'a'), l40 = l31 + "bcdefghij";
    // Labels keep 31 characters, on both sides of a reference.
    auto p = Asm(l40 + ":\nNOP\nJMP " + l31 + "XYZ");
    EXPECT_TRUE(p->ok) << p->error;
    EXPECT_EQ(p->code[1].arg, 0);
    EXPECT_EQ(AsmError("JMP " + l40), "line 1: no such label '" + l31 + "'");
    // Variables keep 23 characters: names sharing them are the same variable.
    std::string v23(23, 'v');
    auto v = Asm("STORE " + v23 + "one\nLOAD " + v23 + "two\nLOAD " + v23.substr(0, 22));
    EXPECT_EQ(v->varCount, 2);
    EXPECT_EQ(v->code[0].arg, v->code[1].arg);
    EXPECT_STREQ(v->varNames[0], v23.c_str());
    // Mnemonics are compared on their first 31 characters, so no long token matches one.
    EXPECT_EQ(AsmError("PUSH" + std::string(40, ' ') + "1"), "");
    EXPECT_EQ(AsmError(std::string("NOP") + std::string(29, 'P')), "line 1: unknown instruction '" +
              std::string("NOP") + std::string(29, 'P') + "'");
}

TEST(ScriptAssembler, PushNumbers)
{
    auto p = Asm("PUSH abc\nPUSH 3kg\nPUSH 1.5e2\nPUSH -0.25\nPUSH 1e999\nPUSH -1e999\nPUSH nan\nPUSH 0x10\n"
                 "PUSH 1e-50\nPUSH 3.4e38");
    ASSERT_TRUE(p->ok);
    EXPECT_EQ(p->code[0].value, 0.0f);
    EXPECT_EQ(p->code[1].value, 3.0f);
    EXPECT_EQ(p->code[2].value, 150.0f);
    EXPECT_EQ(p->code[3].value, -0.25f);
    EXPECT_TRUE(std::isinf(p->code[4].value) && p->code[4].value > 0);
    EXPECT_TRUE(std::isinf(p->code[5].value) && p->code[5].value < 0);
    EXPECT_TRUE(std::isnan(p->code[6].value));
    EXPECT_EQ(p->code[7].value, 16.0f);
    EXPECT_EQ(p->code[8].value, 0.0f);
    EXPECT_EQ(p->code[9].value, 3.4e38f);
}

TEST(ScriptAssembler, EveryMnemonicAndItsOpcode)
{
    static const char *const kNames[] = {
        "HALT", "NOP", "PUSH 1", "POP", "DUP", "SWAP", "OVER", "ROT", "RROT", "NIP", "TUCK", "DEPTH",
        "CLEAR", "LOAD v", "STORE v", "INC v", "DEC v", "ADDV v", "ADD", "SUB", "MUL", "DIV", "MOD",
        "IDIV", "POW", "MIN", "MAX", "ATAN2", "HYPOT", "STEP", "WRAP", "SNAPTO", "COPYSIGN", "NEG",
        "ABS", "FLOOR", "CEIL", "ROUND", "TRUNC", "FRACT", "SIGN", "RECIP", "SQR", "SQRT", "EXP",
        "LOG", "LOG2", "LOG10", "SIN", "COS", "TAN", "ASIN", "ACOS", "ATAN", "SINH", "COSH", "TANH",
        "DEG", "RAD", "RAND", "CLAMP", "LERP", "SMOOTHSTEP", "LT", "GT", "LE", "GE", "EQ", "NE", "NOT",
        "AND", "OR", "XOR", "ISZERO", "ISNAN", "BETWEEN", "BAND", "BOR", "BXOR", "BNOT", "SHL", "SHR",
        "JMP t", "JZ t", "JNZ t", "JEQ t", "JNE t", "JLT t", "JGT t", "JLE t", "JGE t", "GOSUB t",
        "RET", "CALL len3", "PRINT",
    };
    static_assert(sizeof(kNames) / sizeof(kNames[0]) == kVmOpCount, "one line per opcode");
    std::string source = "t:\n";
    for (const char *line : kNames) source += std::string(line) + "\n";
    source += "DROP\n";
    auto p = Asm(source);
    ASSERT_TRUE(p->ok) << p->error;
    ASSERT_EQ(p->count, kVmOpCount + 1);
    for (int i = 0; i < kVmOpCount; i++) {
        EXPECT_EQ(p->code[i].op, i) << kNames[i];
        EXPECT_EQ(p->code[i].line, i + 2);
    }
    EXPECT_EQ(p->code[kVmOpCount].op, OP_POP);
    EXPECT_EQ(p->code[OP_JGE].arg, 0);
    EXPECT_EQ(p->code[OP_CALL].arg, FindBuiltin("len3"));
    EXPECT_EQ(p->code[OP_LOAD].arg, 0);
}

TEST(ScriptAssembler, CallStoresTheRowNotTheId)
{
    auto p = Asm("CALL mod.ismode\nCALL mod.pushundo\nCALL sel.brush");
    ASSERT_TRUE(p->ok);
    EXPECT_EQ(p->code[0].arg, 213);
    EXPECT_EQ(p->code[1].arg, 219);
    EXPECT_EQ(p->code[2].arg, 0);
}

TEST(ScriptAssembler, FailureKeepsEarlierCodeAndAssemblyStartsClean)
{
    std::unique_ptr<VmProgram> p(new VmProgram());
    EXPECT_EQ(VmAssemble("PUSH 1\nSTORE x\nfrob", p.get()), 0);
    EXPECT_FALSE(p->ok);
    EXPECT_EQ(p->count, 2);
    EXPECT_EQ(p->code[0].value, 1.0f);
    EXPECT_EQ(VmAssemble("LOAD y", p.get()), 1);
    EXPECT_TRUE(p->ok);
    EXPECT_EQ(p->count, 1);
    EXPECT_EQ(p->varCount, 1);
    EXPECT_STREQ(p->varNames[0], "y");
    EXPECT_STREQ(p->error, "");
    // Empty text and a lone line feed assemble to nothing.
    EXPECT_EQ(VmAssemble("", p.get()), 1);
    EXPECT_EQ(p->count, 0);
    EXPECT_EQ(VmAssemble("\n", p.get()), 1);
}

TEST(ScriptAssembler, TokenizeAndUpper)
{
    char line[] = " a,b\tc d e ";
    char *tok[kVmMaxTokens];
    ASSERT_EQ(VmTokenize(line, tok), 3);
    EXPECT_STREQ(tok[0], "a");
    EXPECT_STREQ(tok[1], "b");
    EXPECT_STREQ(tok[2], "c");
    char comment[] = "x;y z";
    ASSERT_EQ(VmTokenize(comment, tok), 1);
    EXPECT_STREQ(tok[0], "x");
    char blank[] = " ,\t\r\n";
    EXPECT_EQ(VmTokenize(blank, tok), 0);

    char text[] = "aZ_9.\xe9q";
    VmUpper(text);
    EXPECT_STREQ(text, "AZ_9.\xe9Q");

    std::unique_ptr<VmProgram> p(new VmProgram());
    EXPECT_EQ(VmVarSlot(p.get(), "a"), 0);
    EXPECT_EQ(VmVarSlot(p.get(), "b"), 1);
    EXPECT_EQ(VmVarSlot(p.get(), "a"), 0);
    for (int i = 2; i < kVmMaxVars; i++) VmVarSlot(p.get(), std::to_string(i).c_str());
    EXPECT_EQ(VmVarSlot(p.get(), "new"), -1);
    EXPECT_EQ(VmVarSlot(p.get(), "b"), 1);
}

TEST(ScriptAssembler, BinaryGarbageNeverOverruns)
{
    std::string garbage;
    for (int i = 1; i < 256; i++) garbage += (char)i;
    garbage += garbage;
    std::unique_ptr<VmProgram> p(new VmProgram());
    VmAssemble(garbage.c_str(), p.get());
    EXPECT_LT(strlen(p->error), (size_t)kVmAsmErrorLen);
}
