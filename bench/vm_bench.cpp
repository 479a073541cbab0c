// vm_bench.cpp: the script VM against Lua 5.4 on the same counting loop.
//
// The loop multiplies, accumulates into a variable, counts and branches; it runs to just under the
// VM's step limit, many times. The same loop in Lua runs as a child process that times itself, so
// neither side's start-up is counted. Prints instructions per second and the ratio of run times
// (Lua's time over the VM's: above 1 the VM is faster).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "bench/bench_clock.h"
#include "script/assembler.h"
#include "script/vm.h"

static const int kIterations = 249999;   // 8 instructions each: 1,999,992 steps per run
static const int kRuns = 200;

static const char *kScript =
    "loop: LOAD i\n"
    "      PUSH 0.5\n"
    "      MUL\n"
    "      ADDV sum\n"
    "      INC i\n"
    "      LOAD i\n"
    "      PUSH 249999\n"
    "      JLT loop\n";

static const char *kLuaScript =
    "local n, runs = 249999, %d\n"
    "local t0 = os.clock()\n"
    "local total = 0.0\n"
    "for r = 1, runs do\n"
    "  local i, sum = 0.0, 0.0\n"
    "  while i < n do\n"
    "    sum = sum + i * 0.5\n"
    "    i = i + 1\n"
    "  end\n"
    "  total = total + sum\n"
    "end\n"
    "io.write(string.format('%%.6f %%.17g\\n', os.clock() - t0, total))\n";

int main()
{
    std::unique_ptr<VmProgram> program(new VmProgram());
    std::unique_ptr<VmState> state(new VmState());
    std::unique_ptr<MapDoc> map(new MapDoc());
    if (!VmAssemble(kScript, program.get())) {
        printf("assembly failed: %s\n", program->error);
        return 1;
    }

    // Warm-up run, which also checks that the loop ends just under the step limit.
    memset(state.get(), 0, sizeof(VmState));
    if (!VmRun(program.get(), map.get(), -1, -1, state.get())) {
        printf("run failed: %s\n", state->error);
        return 1;
    }
    double check = state->vars[1];

    double t0 = NowMs();
    for (int r = 0; r < kRuns; r++) VmRun(program.get(), map.get(), -1, -1, state.get());
    double vmSeconds = (NowMs() - t0) / 1000.0;
    double instructions = (double)kIterations * 8.0 * kRuns;

    char path[] = "/tmp/kirto_vm_bench_XXXXXX.lua";
    int fd = mkstemps(path, 4);
    if (fd < 0) { printf("cannot write the Lua script\n"); return 1; }
    FILE *f = fdopen(fd, "w");
    fprintf(f, kLuaScript, kRuns);
    fclose(f);
    char command[128];
    snprintf(command, sizeof(command), "lua5.4 %s", path);
    FILE *lua = popen(command, "r");
    double luaSeconds = 0.0, luaTotal = 0.0;
    int got = lua ? fscanf(lua, "%lf %lf", &luaSeconds, &luaTotal) : 0;
    if (lua) pclose(lua);
    remove(path);

    printf("vm:   %d runs of %d steps in %.3f s, %.1f M instructions/s (sum %.6g per run)\n", kRuns,
           kIterations * 8, vmSeconds, instructions / vmSeconds / 1e6, check);
    if (got != 2 || luaSeconds <= 0.0) {
        printf("lua5.4: not available, no ratio\n");
        return 1;
    }
    printf("lua:  %d runs in %.3f s (sum %.6g per run)\n", kRuns, luaSeconds, luaTotal / kRuns);
    printf("ratio (lua time / vm time): %.2f\n", luaSeconds / vmSeconds);
    return 0;
}
