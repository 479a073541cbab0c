// script_run.cpp: helpers for the script tests.
#include "support/script_run.h"

#include <cmath>
#include <cstring>

#include "script/mods.h"

float ScriptRun::Top() const
{
    return state->sp > 0 ? state->stack[state->sp - 1] : NAN;
}

float ScriptRun::Var(const char *name) const
{
    for (int i = 0; i < program->varCount; i++)
        if (strcmp(program->varNames[i], name) == 0) return state->vars[i];
    return NAN;
}

std::unique_ptr<ScriptRun> RunScript(const std::string &source)
{
    std::unique_ptr<ScriptRun> run(new ScriptRun());
    run->assembled = VmAssemble(source.c_str(), run->program.get());
    if (run->assembled) run->ran = VmRun(run->program.get(), run->map.get(), -1, -1, run->state.get());
    return run;
}

std::unique_ptr<ScriptRun> RunScriptOn(const std::string &source, const MapDoc &map, int selBrush, int selEntity,
                                       ModTool *tool)
{
    std::unique_ptr<ScriptRun> run(new ScriptRun());
    *run->map = map;
    ModRunLinkFill(&run->state->modLink, tool);   // as the mod registry runs a tool
    run->assembled = VmAssemble(source.c_str(), run->program.get());
    if (run->assembled) run->ran = VmRun(run->program.get(), run->map.get(), selBrush, selEntity, run->state.get());
    ModRunLinkRead(&run->state->modLink, tool);
    return run;
}

std::string ScriptLines(const std::string &text)
{
    std::string out = text;
    for (char &c : out)
        if (c == '|') c = '\n';
    return out + "\n";
}

std::unique_ptr<ScriptRun> RunCode(const std::vector<VmInstr> &code)
{
    std::unique_ptr<ScriptRun> run(new ScriptRun());
    for (size_t i = 0; i < code.size() && i < (size_t)kVmMaxCode; i++) run->program->code[i] = code[i];
    run->program->count = (int)code.size();
    run->program->ok = true;
    run->assembled = 1;
    run->ran = VmRun(run->program.get(), run->map.get(), -1, -1, run->state.get());
    return run;
}

std::string RepeatLines(const std::string &line, int count)
{
    std::string out;
    for (int i = 0; i < count; i++) out += line + "\n";
    return out;
}
