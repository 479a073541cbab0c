// The script virtual machine: every instruction family, its edge cases, the limits and the log.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "script/builtins.h"
#include "script/vm.h"
#include "support/script_run.h"

// Runs a script that must succeed and returns its top value.
static float Eval(const std::string &source)
{
    auto run = RunScript(source);
    EXPECT_TRUE(run->assembled) << run->program->error;
    EXPECT_TRUE(run->ran) << source << ": " << run->state->error;
    EXPECT_EQ(run->state->sp, 1) << source;
    return run->Top();
}

// Runs a script that must fail and returns its error.
static std::string Fails(const std::string &source)
{
    auto run = RunScript(source);
    EXPECT_TRUE(run->assembled) << run->program->error;
    EXPECT_FALSE(run->ran) << source;
    return run->state->error;
}

static VmInstr I(int op, float value = 0.0f, int arg = -1, int line = 1)
{
    return VmInstr{ op, value, arg, line };
}

TEST(ScriptVm, EmptyAndUnassembledPrograms)
{
    auto run = RunScript("");
    EXPECT_TRUE(run->ran);
    EXPECT_STREQ(run->state->log, "");
    EXPECT_EQ(run->state->sp, 0);

    std::unique_ptr<VmProgram> bad(new VmProgram());
    VmAssemble("frob", bad.get());
    std::unique_ptr<VmState> state(new VmState());
    strcpy(state->log, "kept");
    state->sp = 3;
    EXPECT_EQ(VmRun(bad.get(), nullptr, -1, -1, state.get()), 0);
    EXPECT_STREQ(state->error, "script did not assemble");
    EXPECT_STREQ(state->log, "kept");
    EXPECT_EQ(state->sp, 3);
}

TEST(ScriptVm, EveryRunStartsClean)
{
    std::unique_ptr<VmProgram> p(new VmProgram());
    ASSERT_TRUE(VmAssemble("LOAD x\nINC x\nRAND\nPUSH 7\nPRINT", p.get()));
    std::unique_ptr<VmState> s(new VmState());
    std::unique_ptr<MapDoc> map(new MapDoc());
    s->modLink.hasTool = true;           // as the mod registry fills it: only its survival is tested
    ASSERT_TRUE(VmRun(p.get(), map.get(), 4, 7, s.get()));
    float first = s->stack[1];
    ASSERT_TRUE(VmRun(p.get(), map.get(), 2, -1, s.get()));
    EXPECT_EQ(s->sp, 2);
    EXPECT_EQ(s->stack[0], 0.0f);        // x starts at 0 again
    EXPECT_EQ(s->vars[0], 1.0f);
    EXPECT_EQ(s->stack[1], first);       // the same random value
    EXPECT_STREQ(s->log, "7\n");
    EXPECT_TRUE(s->modLink.hasTool);
    EXPECT_EQ(s->map, map.get());
    EXPECT_EQ(s->selBrush, 2);
    EXPECT_EQ(s->selEntity, -1);
}

TEST(ScriptVm, StackInstructions)
{
    auto run = RunScript("PUSH 1\nPUSH 2\nPUSH 3\nROT");      // 2 3 1
    EXPECT_EQ(run->Stack(), (std::vector<float>{ 2, 3, 1 }));
    run = RunScript("PUSH 1\nPUSH 2\nPUSH 3\nRROT");          // 3 1 2
    EXPECT_EQ(run->Stack(), (std::vector<float>{ 3, 1, 2 }));
    run = RunScript("PUSH 1\nPUSH 2\nSWAP\nOVER\nDUP");       // 2 1 2 2
    EXPECT_EQ(run->Stack(), (std::vector<float>{ 2, 1, 2, 2 }));
    run = RunScript("PUSH 1\nPUSH 2\nNIP\nPUSH 3\nTUCK");     // 2 ... 3 2 3
    EXPECT_EQ(run->Stack(), (std::vector<float>{ 3, 2, 3 }));
    run = RunScript("PUSH 1\nPUSH 2\nDEPTH\nPOP\nDROP\nDEPTH");
    EXPECT_EQ(run->Stack(), (std::vector<float>{ 1, 1 }));
    run = RunScript("PUSH 1\nPUSH 2\nCLEAR\nDEPTH\nNOP\nHALT\nPUSH 9");
    EXPECT_TRUE(run->ran);
    EXPECT_EQ(run->Stack(), (std::vector<float>{ 0 }));

    EXPECT_EQ(Fails("POP"), "stack underflow");
    EXPECT_EQ(Fails("PUSH 1\nSWAP"), "stack underflow");
    EXPECT_EQ(Fails("PUSH 1\nPUSH 2\nROT"), "stack underflow");
    EXPECT_EQ(Fails("DUP"), "stack underflow");
    EXPECT_EQ(Fails("NOP\nPUSH 1\nOVER"), "line 3: OVER needs two values");
    EXPECT_EQ(Fails("OVER"), "line 1: OVER needs two values");
    EXPECT_EQ(Fails(RepeatLines("PUSH 1", 129)), "stack overflow");
    auto full = RunScript(RepeatLines("PUSH 1", 128));
    EXPECT_TRUE(full->ran);
    EXPECT_EQ(full->state->sp, 128);
    EXPECT_EQ(Fails(RepeatLines("PUSH 1", 128) + "DUP"), "stack overflow");
    EXPECT_EQ(Fails(RepeatLines("PUSH 1", 128) + "DEPTH"), "stack overflow");
    EXPECT_EQ(Fails(RepeatLines("PUSH 1", 128) + "TUCK"), "stack overflow");
    EXPECT_EQ(Fails(RepeatLines("PUSH 1", 128) + "OVER"), "stack overflow");
    EXPECT_EQ(Fails(RepeatLines("PUSH 1", 128) + "RAND"), "stack overflow");
}

TEST(ScriptVm, Variables)
{
    auto run = RunScript("LOAD a\nPUSH 5\nSTORE a\nINC a\nINC b\nDEC b\nDEC b\nPUSH 2.5\nADDV a\nLOAD a");
    ASSERT_TRUE(run->ran);
    EXPECT_EQ(run->Stack(), (std::vector<float>{ 0, 8.5f }));
    EXPECT_EQ(run->Var("b"), -1.0f);
    EXPECT_EQ(Fails("STORE a"), "stack underflow");
    EXPECT_EQ(Fails("ADDV a"), "stack underflow");
    EXPECT_EQ(Fails(RepeatLines("PUSH 1", 128) + "LOAD a"), "stack overflow");

    // Slots the assembler never makes are refused with the line of the instruction.
    for (int op : { OP_LOAD, OP_STORE, OP_INC, OP_DEC, OP_ADDV }) {
        auto bad = RunCode({ I(OP_PUSH, 1), I(op, 0, 64, 7) });
        EXPECT_STREQ(bad->state->error, "line 7: bad variable slot") << op;
        bad = RunCode({ I(OP_PUSH, 1), I(op, 0, -1, 3) });
        EXPECT_STREQ(bad->state->error, "line 3: bad variable slot") << op;
    }
    auto last = RunCode({ I(OP_INC, 0, 63) });
    EXPECT_TRUE(last->ran);
    EXPECT_EQ(last->state->vars[63], 1.0f);
}

TEST(ScriptVm, BinaryArithmetic)
{
    EXPECT_EQ(Eval("PUSH 7\nPUSH 2\nSUB"), 5.0f);
    EXPECT_EQ(Eval("PUSH 7\nPUSH 2\nADD"), 9.0f);
    EXPECT_EQ(Eval("PUSH 7\nPUSH 2\nMUL"), 14.0f);
    EXPECT_EQ(Eval("PUSH 7\nPUSH 2\nDIV"), 3.5f);
    EXPECT_EQ(Eval("PUSH 7\nPUSH 2\nMOD"), 1.0f);
    EXPECT_EQ(Eval("PUSH -7\nPUSH 2\nMOD"), -1.0f);
    EXPECT_EQ(Eval("PUSH -7\nPUSH 2\nWRAP"), 1.0f);
    EXPECT_EQ(Eval("PUSH 7\nPUSH -2\nWRAP"), -1.0f);
    EXPECT_EQ(Eval("PUSH -7\nPUSH 2\nIDIV"), -3.0f);
    EXPECT_EQ(Eval("PUSH 7\nPUSH 2\nIDIV"), 3.0f);
    EXPECT_EQ(Eval("PUSH 2\nPUSH 10\nPOW"), 1024.0f);
    EXPECT_EQ(Eval("PUSH 2\nPUSH 10\nMIN"), 2.0f);
    EXPECT_EQ(Eval("PUSH 2\nPUSH 10\nMAX"), 10.0f);
    EXPECT_EQ(Eval("PUSH nan\nPUSH 10\nMIN"), 10.0f);   // a NaN operand yields the other
    EXPECT_EQ(Eval("PUSH 3\nPUSH nan\nMAX"), 3.0f);
    EXPECT_FLOAT_EQ(Eval("PUSH 1\nPUSH 0\nATAN2"), 1.5707964f);   // y = a, x = b
    EXPECT_FLOAT_EQ(Eval("PUSH 0\nPUSH -1\nATAN2"), 3.1415927f);
    EXPECT_EQ(Eval("PUSH 3\nPUSH 4\nHYPOT"), 5.0f);
    EXPECT_EQ(Eval("PUSH 1\nPUSH 2\nSTEP"), 1.0f);
    EXPECT_EQ(Eval("PUSH 2\nPUSH 2\nSTEP"), 1.0f);
    EXPECT_EQ(Eval("PUSH 2\nPUSH 1\nSTEP"), 0.0f);
    EXPECT_EQ(Eval("PUSH 7\nPUSH 2\nSNAPTO"), 8.0f);     // 3.5 rounds away from zero
    EXPECT_EQ(Eval("PUSH -5\nPUSH 2\nSNAPTO"), -6.0f);
    EXPECT_EQ(Eval("PUSH 1.2\nPUSH 0.5\nSNAPTO"), 1.0f);
    EXPECT_EQ(Eval("PUSH 3\nPUSH -1\nCOPYSIGN"), -3.0f);
    EXPECT_EQ(Eval("PUSH -3\nPUSH 0\nCOPYSIGN"), 3.0f);
}

TEST(ScriptVm, DivisionGuards)
{
    EXPECT_EQ(Fails("PUSH 1\nPUSH 0\nDIV"), "line 3: divide by zero");
    EXPECT_EQ(Fails("PUSH 1\n\nPUSH 0\nIDIV"), "line 4: divide by zero");
    EXPECT_EQ(Fails("PUSH 1\nPUSH 0\nMOD"), "line 3: modulo by zero");
    EXPECT_EQ(Fails("PUSH 1\nPUSH -9e-10\nDIV"), "line 3: divide by zero");
    // The guard is 1e-9 as a float: that divisor itself passes.
    EXPECT_FLOAT_EQ(Eval("PUSH 1\nPUSH 1e-9\nDIV"), 1e9f);
    EXPECT_EQ(Eval("PUSH 1\nPUSH 0\nWRAP"), 1.0f);
    EXPECT_EQ(Eval("PUSH 1.25\nPUSH 0\nSNAPTO"), 1.25f);
    EXPECT_EQ(Eval("PUSH 0\nRECIP"), 0.0f);
    EXPECT_EQ(Eval("PUSH 4\nRECIP"), 0.25f);
    // NaN passes the guard and propagates.
    EXPECT_TRUE(std::isnan(Eval("PUSH 1\nPUSH nan\nDIV")));
    EXPECT_TRUE(std::isnan(Eval("PUSH inf\nPUSH 2\nMOD")));
}

TEST(ScriptVm, UnaryArithmetic)
{
    EXPECT_EQ(Eval("PUSH 2.5\nROUND"), 3.0f);
    EXPECT_EQ(Eval("PUSH -2.5\nROUND"), -3.0f);
    EXPECT_EQ(Eval("PUSH 0.49\nROUND"), 0.0f);
    EXPECT_EQ(Eval("PUSH -1.5\nFRACT"), 0.5f);
    EXPECT_EQ(Eval("PUSH 2.75\nFRACT"), 0.75f);
    EXPECT_GE(Eval("PUSH -1e-9\nFRACT"), 0.0f);
    EXPECT_EQ(Eval("PUSH -2.5\nFLOOR"), -3.0f);
    EXPECT_EQ(Eval("PUSH -2.5\nCEIL"), -2.0f);
    EXPECT_EQ(Eval("PUSH -2.5\nTRUNC"), -2.0f);
    EXPECT_EQ(Eval("PUSH -2.5\nABS"), 2.5f);
    float negZero = Eval("PUSH 0\nNEG");
    EXPECT_TRUE(negZero == 0.0f && std::signbit(negZero));
    EXPECT_EQ(Eval("PUSH -3\nSIGN"), -1.0f);
    EXPECT_EQ(Eval("PUSH 0.001\nSIGN"), 1.0f);
    EXPECT_EQ(Eval("PUSH 0\nSIGN"), 0.0f);
    EXPECT_EQ(Eval("PUSH nan\nSIGN"), 0.0f);
    EXPECT_EQ(Eval("PUSH -3\nSQR"), 9.0f);
    EXPECT_EQ(Eval("PUSH 9\nSQRT"), 3.0f);
    EXPECT_EQ(Eval("PUSH -9\nSQRT"), 0.0f);
    EXPECT_EQ(Eval("PUSH 0\nEXP"), 1.0f);
    EXPECT_EQ(Eval("PUSH 0\nLOG"), 0.0f);
    EXPECT_EQ(Eval("PUSH -1\nLOG2"), 0.0f);
    EXPECT_EQ(Eval("PUSH 8\nLOG2"), 3.0f);
    EXPECT_EQ(Eval("PUSH 1000\nLOG10"), 3.0f);
    EXPECT_EQ(Eval("PUSH 0\nLOG10"), 0.0f);
    EXPECT_FLOAT_EQ(Eval("PUSH 1\nLOG"), 0.0f);
    EXPECT_FLOAT_EQ(Eval("PUSH 1.5707964\nSIN"), 1.0f);
    EXPECT_FLOAT_EQ(Eval("PUSH 0\nCOS"), 1.0f);
    EXPECT_FLOAT_EQ(Eval("PUSH 0.7853982\nTAN"), 1.0f);
    EXPECT_FLOAT_EQ(Eval("PUSH 2\nASIN"), 1.5707964f);    // clamped to 1
    EXPECT_FLOAT_EQ(Eval("PUSH -5\nACOS"), 3.1415927f);   // clamped to -1
    EXPECT_FLOAT_EQ(Eval("PUSH 1\nATAN"), 0.7853982f);
    EXPECT_EQ(Eval("PUSH 0\nSINH"), 0.0f);
    EXPECT_EQ(Eval("PUSH 0\nCOSH"), 1.0f);
    EXPECT_EQ(Eval("PUSH 0\nTANH"), 0.0f);
    EXPECT_EQ(Eval("PUSH 2\nDEG"), 2.0f * 57.295776f);
    EXPECT_EQ(Eval("PUSH 180\nRAD"), 180.0f * 0.017453292f);
    EXPECT_EQ(Fails("NEG"), "stack underflow");
}

TEST(ScriptVm, RandomSequenceFromItsFixedSeed)
{
    auto run = RunScript(RepeatLines("RAND", 5));
    ASSERT_TRUE(run->ran);
    const float expected[] = { 0.79546f, 0.55435f, 0.13196f, 0.25286f, 0.72047f };
    for (int i = 0; i < 5; i++) EXPECT_EQ(run->state->stack[i], expected[i]) << i;
    for (int i = 0; i < 5; i++) EXPECT_TRUE(run->state->stack[i] >= 0.0f && run->state->stack[i] <= 0.99999f);
    auto again = RunScript("RAND");
    EXPECT_EQ(again->Top(), expected[0]);
}

TEST(ScriptVm, ThreeOperandInstructions)
{
    EXPECT_EQ(Eval("PUSH 5\nPUSH 10\nPUSH 0\nCLAMP"), 5.0f);     // bounds swapped to 0..10
    EXPECT_EQ(Eval("PUSH -5\nPUSH 10\nPUSH 0\nCLAMP"), 0.0f);
    EXPECT_EQ(Eval("PUSH 15\nPUSH 0\nPUSH 10\nCLAMP"), 10.0f);
    EXPECT_EQ(Eval("PUSH 5\nPUSH 10\nPUSH 0\nBETWEEN"), 0.0f);   // no swap
    EXPECT_EQ(Eval("PUSH 5\nPUSH 0\nPUSH 10\nBETWEEN"), 1.0f);
    EXPECT_EQ(Eval("PUSH 10\nPUSH 0\nPUSH 10\nBETWEEN"), 1.0f);
    EXPECT_EQ(Eval("PUSH 2\nPUSH 4\nPUSH 0.5\nLERP"), 3.0f);
    EXPECT_EQ(Eval("PUSH 2\nPUSH 4\nPUSH 2\nLERP"), 6.0f);        // t not clamped
    EXPECT_EQ(Eval("PUSH 0\nPUSH 2\nPUSH 1\nSMOOTHSTEP"), 0.5f);
    EXPECT_EQ(Eval("PUSH 0\nPUSH 2\nPUSH 5\nSMOOTHSTEP"), 1.0f);
    EXPECT_EQ(Eval("PUSH 0\nPUSH 2\nPUSH -5\nSMOOTHSTEP"), 0.0f);
    EXPECT_EQ(Eval("PUSH 3\nPUSH 3\nPUSH 9\nSMOOTHSTEP"), 0.0f);  // equal edges: t = 0
    EXPECT_EQ(Fails("PUSH 1\nPUSH 2\nCLAMP"), "stack underflow");
}

TEST(ScriptVm, ComparisonsAtTheThreshold)
{
    EXPECT_EQ(Eval("PUSH 1\nPUSH 2\nLT"), 1.0f);
    EXPECT_EQ(Eval("PUSH 2\nPUSH 2\nLT"), 0.0f);
    EXPECT_EQ(Eval("PUSH 2\nPUSH 1\nGT"), 1.0f);
    EXPECT_EQ(Eval("PUSH 2\nPUSH 2\nLE"), 1.0f);
    EXPECT_EQ(Eval("PUSH 1\nPUSH 2\nGE"), 0.0f);
    EXPECT_EQ(Eval("PUSH 0\nPUSH 0.0000005\nEQ"), 1.0f);
    EXPECT_EQ(Eval("PUSH 0\nPUSH 0.000001\nEQ"), 0.0f);
    EXPECT_EQ(Eval("PUSH 0\nPUSH 0.0000005\nNE"), 0.0f);
    EXPECT_EQ(Eval("PUSH 0\nPUSH 0.000001\nNE"), 1.0f);
    EXPECT_EQ(Eval("PUSH 0.0000005\nNOT"), 1.0f);
    EXPECT_EQ(Eval("PUSH 0.000001\nNOT"), 0.0f);       // exactly the threshold is true for NOT
    EXPECT_EQ(Eval("PUSH -0.000001\nISZERO"), 0.0f);
    EXPECT_EQ(Eval("PUSH 0.0000005\nPUSH 1\nAND"), 0.0f);
    EXPECT_EQ(Eval("PUSH 0.000001\nPUSH 1\nAND"), 0.0f);  // ...and false for AND, OR and XOR
    EXPECT_EQ(Eval("PUSH 0.000002\nPUSH -1\nAND"), 1.0f);
    EXPECT_EQ(Eval("PUSH 0.000001\nPUSH 0\nOR"), 0.0f);
    EXPECT_EQ(Eval("PUSH 0\nPUSH 3\nOR"), 1.0f);
    EXPECT_EQ(Eval("PUSH 1\nPUSH 3\nXOR"), 0.0f);
    EXPECT_EQ(Eval("PUSH 0.000001\nPUSH 3\nXOR"), 1.0f);
    EXPECT_EQ(Eval("PUSH nan\nISNAN"), 1.0f);
    EXPECT_EQ(Eval("PUSH inf\nISNAN"), 0.0f);
    // NaN compares unequal and not-unequal alike: every comparison with it is 0.
    EXPECT_EQ(Eval("PUSH nan\nPUSH 1\nEQ"), 0.0f);
    EXPECT_EQ(Eval("PUSH nan\nPUSH 1\nNE"), 0.0f);
    EXPECT_EQ(Eval("PUSH nan\nPUSH 1\nLT"), 0.0f);
    EXPECT_EQ(Eval("PUSH nan\nNOT"), 0.0f);
    EXPECT_EQ(Eval("PUSH nan\nPUSH 1\nOR"), 1.0f);
}

TEST(ScriptVm, BitwiseOperationsAreDefinedForEveryFloat)
{
    EXPECT_EQ(Eval("PUSH 12\nPUSH 10\nBAND"), 8.0f);
    EXPECT_EQ(Eval("PUSH 12\nPUSH 10\nBOR"), 14.0f);
    EXPECT_EQ(Eval("PUSH 12\nPUSH 10\nBXOR"), 6.0f);
    EXPECT_EQ(Eval("PUSH 0\nBNOT"), -1.0f);
    EXPECT_EQ(Eval("PUSH 3.9\nPUSH -0.5\nBOR"), 3.0f);      // truncated toward zero
    EXPECT_EQ(Eval("PUSH -3.9\nBNOT"), 2.0f);
    EXPECT_EQ(Eval("PUSH -8\nPUSH 1\nSHR"), -4.0f);
    EXPECT_EQ(Eval("PUSH -1\nPUSH 31\nSHR"), -1.0f);
    EXPECT_EQ(Eval("PUSH 1\nPUSH 40\nSHL"), -2147483648.0f);   // count clamped to 31
    EXPECT_EQ(Eval("PUSH -1\nPUSH 1\nSHL"), -2.0f);
    EXPECT_EQ(Eval("PUSH 5\nPUSH -3\nSHL"), 5.0f);             // negative counts are 0
    EXPECT_EQ(Eval("PUSH 6\nPUSH 1.9\nSHR"), 3.0f);
    // NaN becomes 0; infinities and out-of-range values saturate to the 32-bit range.
    EXPECT_EQ(Eval("PUSH nan\nPUSH -1\nBAND"), 0.0f);
    EXPECT_EQ(Eval("PUSH nan\nBNOT"), -1.0f);
    EXPECT_EQ(Eval("PUSH inf\nPUSH 0\nBOR"), 2147483648.0f);   // INT32_MAX as a float
    EXPECT_EQ(Eval("PUSH 1e20\nPUSH 255\nBAND"), 255.0f);
    EXPECT_EQ(Eval("PUSH -inf\nBNOT"), 2147483648.0f);
    EXPECT_EQ(Eval("PUSH -1e20\nPUSH 0\nBOR"), -2147483648.0f);
    EXPECT_EQ(Eval("PUSH 1\nPUSH inf\nSHL"), -2147483648.0f);
    EXPECT_EQ(Eval("PUSH 1\nPUSH nan\nSHL"), 1.0f);
    EXPECT_EQ(Eval("PUSH -inf\nPUSH 40\nSHR"), -1.0f);

    EXPECT_EQ(VmToInt(2147483520.0f), 2147483520);
    EXPECT_EQ(VmToInt(2147483648.0f), INT32_MAX);
    EXPECT_EQ(VmToInt(-2147483648.0f), INT32_MIN);
    EXPECT_EQ(VmToInt(-3e9f), INT32_MIN);
    EXPECT_EQ(VmToInt(-0.99f), 0);
    EXPECT_EQ(VmToInt(NAN), 0);
}

TEST(ScriptVm, JumpsPopTheirOperandsAndTestTheThreshold)
{
    // JZ with 0.0000005 jumps; JZ with the threshold itself does not; JNZ is the reverse.
    EXPECT_EQ(Eval("PUSH 0.0000005\nJZ t\nPUSH 1\nHALT\nt: PUSH 2"), 2.0f);
    EXPECT_EQ(Eval("PUSH 0.000001\nJZ t\nPUSH 1\nHALT\nt: PUSH 2"), 1.0f);
    EXPECT_EQ(Eval("PUSH 0.000001\nJNZ t\nPUSH 1\nHALT\nt: PUSH 2"), 2.0f);
    EXPECT_EQ(Eval("PUSH 0\nJNZ t\nPUSH 1\nHALT\nt: PUSH 2"), 1.0f);
    // Every conditional jump leaves an empty stack whether or not it jumps.
    const char *jumps[] = { "JEQ", "JNE", "JLT", "JGT", "JLE", "JGE" };
    const float expectJump[6][3] = {
        // a < b, a == b, a > b
        { 0, 1, 0 }, { 1, 0, 1 }, { 1, 0, 0 }, { 0, 0, 1 }, { 1, 1, 0 }, { 0, 1, 1 },
    };
    const char *pairs[3] = { "PUSH 1\nPUSH 2\n", "PUSH 1\nPUSH 1\n", "PUSH 2\nPUSH 1\n" };
    for (int j = 0; j < 6; j++) {
        for (int k = 0; k < 3; k++) {
            std::string src = std::string(pairs[k]) + jumps[j] + " t\nDEPTH\nPUSH 0\nHALT\nt: DEPTH\nPUSH 1";
            auto run = RunScript(src);
            ASSERT_TRUE(run->ran) << src;
            EXPECT_EQ(run->Stack(), (std::vector<float>{ 0, expectJump[j][k] })) << jumps[j] << " case " << k;
        }
    }
    // The same compare-and-jump fed by a variable and a constant.
    for (int j = 0; j < 6; j++) {
        for (int k = 0; k < 3; k++) {
            static const char *setA[3] = { "PUSH 1", "PUSH 1", "PUSH 2" };
            static const char *constB[3] = { "2", "1", "1" };
            std::string src = std::string(setA[k]) + "\nSTORE a\nLOAD a\nPUSH " + constB[k] + "\n" + jumps[j] +
                              " t\nDEPTH\nPUSH 0\nHALT\nt: DEPTH\nPUSH 1";
            auto run = RunScript(src);
            ASSERT_TRUE(run->ran) << src;
            EXPECT_EQ(run->Stack(), (std::vector<float>{ 0, expectJump[j][k] })) << jumps[j] << " var case " << k;
        }
    }
    EXPECT_EQ(Fails("PUSH 1\nJLT t\nt:"), "stack underflow");
    EXPECT_EQ(Fails("JZ t\nt:"), "stack underflow");
    // Values closer than 1e-6 are equal for JEQ and JNE; the ordering jumps compare exactly.
    EXPECT_EQ(Eval("PUSH 1\nPUSH 1.0000001\nJEQ t\nPUSH 1\nHALT\nt: PUSH 2"), 2.0f);
    EXPECT_EQ(Eval("PUSH 1\nPUSH 1.0000001\nJNE t\nPUSH 1\nHALT\nt: PUSH 2"), 1.0f);
    EXPECT_EQ(Eval("PUSH 1\nPUSH 1.0000001\nJLT t\nPUSH 1\nHALT\nt: PUSH 2"), 2.0f);
    EXPECT_EQ(Eval("PUSH 0\nPUSH 0.000001\nJEQ t\nPUSH 1\nHALT\nt: PUSH 2"), 1.0f);
    // NaN makes neither JEQ nor JNE jump.
    EXPECT_EQ(Eval("PUSH nan\nPUSH 1\nJNE t\nPUSH 1\nHALT\nt: PUSH 2"), 1.0f);
}

TEST(ScriptVm, JumpTargetsAndTheEndOfTheProgram)
{
    // A jump to the label after the last instruction ends the run normally.
    auto run = RunScript("PUSH 1\nJMP end\nPUSH 2\nend:");
    EXPECT_TRUE(run->ran);
    EXPECT_EQ(run->Stack(), (std::vector<float>{ 1 }));
    run = RunScript("GOSUB end\nend:");
    EXPECT_TRUE(run->ran);

    // Targets the assembler never makes.
    auto bad = RunCode({ I(OP_NOP), I(OP_JMP, 0, 3, 2) });
    EXPECT_FALSE(bad->ran);
    EXPECT_STREQ(bad->state->error, "line 2: jump out of range");
    bad = RunCode({ I(OP_PUSH, 0), I(OP_JZ, 0, -1, 5) });
    EXPECT_STREQ(bad->state->error, "line 5: jump out of range");
    bad = RunCode({ I(OP_GOSUB, 0, 9, 4) });
    EXPECT_STREQ(bad->state->error, "line 4: jump out of range");
    EXPECT_EQ(bad->state->callDepth, 0);
    auto edge = RunCode({ I(OP_NOP), I(OP_JMP, 0, 2, 2), I(OP_PUSH, 1) });
    EXPECT_TRUE(edge->ran);
    EXPECT_EQ(edge->state->sp, 1);
    auto end = RunCode({ I(OP_JMP, 0, 2), I(OP_PUSH, 1) });
    EXPECT_TRUE(end->ran);
    EXPECT_EQ(end->state->sp, 0);
    // A jump that is not taken does not check its target.
    auto untaken = RunCode({ I(OP_PUSH, 1), I(OP_JZ, 0, 99) });
    EXPECT_TRUE(untaken->ran);
    // The grouped variable-constant jump reports the line of the jump itself.
    bad = RunCode({ I(OP_LOAD, 0, 0, 1), I(OP_PUSH, 1, -1, 2), I(OP_JLT, 0, 99, 3) });
    EXPECT_STREQ(bad->state->error, "line 3: jump out of range");
    // Unknown opcodes do nothing.
    auto unknown = RunCode({ I(95), I(-1), I(200), I(OP_PUSH, 4) });
    EXPECT_TRUE(unknown->ran);
    EXPECT_EQ(unknown->Stack(), (std::vector<float>{ 4 }));
}

TEST(ScriptVm, GosubDepthAndReturn)
{
    const char *nested =
        "GOSUB f\n"
        "HALT\n"
        "f: INC d\n"
        "LOAD d\n"
        "PUSH %d\n"
        "JGE out\n"
        "GOSUB f\n"
        "out: RET\n";
    char src[256];
    snprintf(src, sizeof(src), nested, 32);
    auto run = RunScript(src);
    EXPECT_TRUE(run->ran) << run->state->error;
    EXPECT_EQ(run->Var("d"), 32.0f);
    EXPECT_EQ(run->state->callDepth, 0);
    snprintf(src, sizeof(src), nested, 33);
    run = RunScript(src);
    EXPECT_FALSE(run->ran);
    EXPECT_STREQ(run->state->error, "line 7: GOSUB nested too deep");
    EXPECT_EQ(run->Var("d"), 32.0f);     // the 33rd GOSUB failed
    EXPECT_EQ(run->state->callDepth, 32);
    EXPECT_EQ(Fails("NOP\nRET"), "line 2: RET without GOSUB");
    EXPECT_EQ(Fails("GOSUB s\nRET\ns: RET"), "line 2: RET without GOSUB");
    run = RunScript("GOSUB s\nPUSH 2\nHALT\ns: PUSH 1\nRET\n");
    EXPECT_TRUE(run->ran);
    EXPECT_EQ(run->Stack(), (std::vector<float>{ 1, 2 }));
}

TEST(ScriptVm, StepLimitAtExactlyItsValue)
{
    // 2 + 3 * 666666 = 2,000,000 instructions that end normally.
    const std::string loop = "PUSH 666666\nSTORE n\nloop: DEC n\nLOAD n\nJNZ loop\n";
    auto run = RunScript(loop);
    EXPECT_TRUE(run->ran) << run->state->error;
    EXPECT_EQ(run->Var("n"), 0.0f);
    run = RunScript(loop + "NOP");
    EXPECT_FALSE(run->ran);
    EXPECT_STREQ(run->state->error, "step limit reached - infinite loop?");
    // HALT is an instruction too.
    run = RunScript(loop + "HALT");
    EXPECT_FALSE(run->ran);

    // A loop without exit runs exactly 2,000,000 instructions.
    run = RunScript("loop: INC c\nJMP loop");
    EXPECT_FALSE(run->ran);
    EXPECT_STREQ(run->state->error, "step limit reached - infinite loop?");
    EXPECT_EQ(run->Var("c"), 1000000.0f);

    // The same count through the grouped variable-constant jump: 4 * 500000 instructions.
    const std::string grouped = "loop: INC i\nLOAD i\nPUSH 500000\nJLT loop\n";
    run = RunScript(grouped);
    EXPECT_TRUE(run->ran) << run->state->error;
    EXPECT_EQ(run->Var("i"), 500000.0f);
    run = RunScript("NOP\n" + grouped);
    EXPECT_FALSE(run->ran);
    EXPECT_EQ(run->Var("i"), 500000.0f);
    EXPECT_EQ(run->Stack(), (std::vector<float>{ 500000, 500000 }));   // LOAD and PUSH ran, the jump did not
    run = RunScript("NOP\nNOP\n" + grouped);
    EXPECT_EQ(run->Stack(), (std::vector<float>{ 500000 }));          // only the LOAD ran
    run = RunScript("NOP\nNOP\nNOP\n" + grouped);
    EXPECT_EQ(run->state->sp, 0);                                      // only the INC ran
    EXPECT_EQ(run->Var("i"), 500000.0f);
    run = RunScript("NOP\nNOP\nNOP\nNOP\n" + grouped);
    EXPECT_EQ(run->state->sp, 0);                                      // the last INC did not run
    EXPECT_EQ(run->Var("i"), 499999.0f);
}

TEST(ScriptVm, GroupedVariableConstantOperations)
{
    EXPECT_EQ(Eval("PUSH 3\nSTORE x\nLOAD x\nPUSH 2\nADD"), 5.0f);
    EXPECT_EQ(Eval("PUSH 3\nSTORE x\nLOAD x\nPUSH 2\nSUB"), 1.0f);
    EXPECT_EQ(Eval("PUSH 3\nSTORE x\nLOAD x\nPUSH 2\nMUL"), 6.0f);
    // A jump into the middle of the group runs the rest on its own.
    auto run = RunScript("PUSH 5\nJMP mid\nLOAD x\nmid: PUSH 2\nADD");
    EXPECT_TRUE(run->ran);
    EXPECT_EQ(run->Stack(), (std::vector<float>{ 7 }));
    // A nearly full stack: the group needs two free places.
    run = RunScript(RepeatLines("PUSH 1", 126) + "LOAD x\nPUSH 2\nADD");
    EXPECT_TRUE(run->ran);
    EXPECT_EQ(run->state->sp, 127);
    EXPECT_EQ(run->Top(), 2.0f);
    EXPECT_EQ(Fails(RepeatLines("PUSH 1", 127) + "LOAD x\nPUSH 2\nADD"), "stack overflow");
    run = RunScript(RepeatLines("PUSH 1", 127) + "LOAD x\nPUSH 2\nADD");
    EXPECT_EQ(run->state->sp, 128);                                    // the LOAD ran, the PUSH failed
    // A bad slot is reported by the LOAD.
    auto bad = RunCode({ I(OP_LOAD, 0, 70, 4), I(OP_PUSH, 1, -1, 5), I(OP_ADD, 0, -1, 6) });
    EXPECT_STREQ(bad->state->error, "line 4: bad variable slot");
}

TEST(ScriptVm, PrintAndTheLogCap)
{
    auto run = RunScript("PUSH 1\nPUSH 3\nDIV\nPRINT\nPUSH 1e10\nPRINT\nPUSH nan\nPRINT\nPUSH -2.5\nPRINT");
    EXPECT_TRUE(run->ran);
    EXPECT_STREQ(run->state->log, "0.3333\n1e+10\nnan\n-2.5\n");
    EXPECT_EQ(Fails("PRINT"), "stack underflow");

    // 101 entries of "1234" fill 505 characters; a long entry no longer fits, a short one does.
    run = RunScript("PUSH 101\nSTORE n\nloop: PUSH 1234\nPRINT\nDEC n\nLOAD n\nJNZ loop\n"
                    "PUSH 12345678\nPRINT\nPUSH 7\nPRINT\nPUSH 1234\nPRINT\nPUSH 8\nPRINT\n");
    EXPECT_TRUE(run->ran);
    std::string log = run->state->log;
    EXPECT_EQ(log.size(), 509u);
    EXPECT_EQ(log.substr(500), "1234\n7\n8\n");
    EXPECT_EQ(log.find("1.235e+07"), std::string::npos);

    std::unique_ptr<VmState> s(new VmState());
    memset(s->log, 'x', 500);
    s->log[500] = '\0';
    VmLog(s.get(), "123456789");          // 500 + 9 + 2 = 511 fits
    EXPECT_EQ(strlen(s->log), 510u);
    VmLog(s.get(), "");                   // 510 + 0 + 2 = 512 does not
    EXPECT_EQ(strlen(s->log), 510u);
}

TEST(ScriptVm, FailedRunKeepsItsLogAndTheMap)
{
    auto run = RunScript("PUSH 1\nPRINT\nPUSH 2\nPRINT\nPUSH 0\nPUSH 0\nDIV\nPUSH 3\nPRINT");
    EXPECT_FALSE(run->ran);
    EXPECT_STREQ(run->state->error, "line 7: divide by zero");
    EXPECT_STREQ(run->state->log, "1\n2\n");

    std::unique_ptr<VmProgram> p(new VmProgram());
    ASSERT_TRUE(VmAssemble("PUSH 0\nPUSH 0\nPUSH 0\nCALL len3\nPOP\nPOP", p.get()));
    std::unique_ptr<MapDoc> map(new MapDoc());
    map->brushCount = 3;
    strcpy(map->brushes[1].name, "edited");
    std::unique_ptr<VmState> s(new VmState());
    EXPECT_EQ(VmRun(p.get(), map.get(), -1, -1, s.get()), 0);
    EXPECT_EQ(map->brushCount, 3);
    EXPECT_STREQ(map->brushes[1].name, "edited");
}

TEST(ScriptVm, CallsPopTheirArgumentsAndPushOneValue)
{
    auto run = RunScript("PUSH 9\nPUSH 1\nPUSH 2\nPUSH 3\nCALL len3");
    EXPECT_TRUE(run->ran);
    EXPECT_EQ(run->state->sp, 2);
    EXPECT_EQ(run->state->stack[0], 9.0f);
    EXPECT_EQ(Eval("PUSH 0\nPUSH 0\nPUSH 0\nPUSH 0\nPUSH 0\nPUSH 0\nCALL dist3"), 0.0f);
    EXPECT_EQ(Fails("PUSH 1\nPUSH 2\nCALL cam.setpos"), "stack underflow");
    EXPECT_EQ(Fails(RepeatLines("PUSH 1", 128) + "CALL mod.ismode"), "stack overflow");
    auto bad = RunCode({ I(OP_CALL, 0, kBuiltinCount, 6) });
    EXPECT_STREQ(bad->state->error, "line 6: bad call");
    bad = RunCode({ I(OP_CALL, 0, -1, 2) });
    EXPECT_STREQ(bad->state->error, "line 2: bad call");
}
