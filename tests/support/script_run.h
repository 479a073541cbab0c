// script_run.h: assembling and running a script in tests, on records kept off the C stack.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "script/assembler.h"
#include "script/vm.h"

struct ModTool;

struct ScriptRun {
    std::unique_ptr<VmProgram> program{ new VmProgram() };
    std::unique_ptr<VmState> state{ new VmState() };
    std::unique_ptr<MapDoc> map{ new MapDoc() };
    int assembled = 0;
    int ran = 0;

    // The values left on the stack, deepest first.
    std::vector<float> Stack() const { return std::vector<float>(state->stack, state->stack + state->sp); }
    // The top of the stack, or NaN when it is empty.
    float Top() const;
    // The value of a variable by name, or NaN when the script has no such variable.
    float Var(const char *name) const;
};

// Assembles the source; runs it when it assembled.
std::unique_ptr<ScriptRun> RunScript(const std::string &source);
// Assembles the source and runs it on a copy of map with the given selection, as the given tool
// (none for a null tool), filling and reading the run's link as the mod registry does.
std::unique_ptr<ScriptRun> RunScriptOn(const std::string &source, const MapDoc &map, int selBrush = -1,
                                       int selEntity = -1, ModTool *tool = nullptr);
// Script text from instructions separated by '|' ("PUSH 1|CALL log"), one per line.
std::string ScriptLines(const std::string &text);
// Runs a hand-made program (ok set, count taken from the list), for operands the assembler never makes.
std::unique_ptr<ScriptRun> RunCode(const std::vector<VmInstr> &code);
// The source text repeated count times, each copy on its own line.
std::string RepeatLines(const std::string &line, int count);
