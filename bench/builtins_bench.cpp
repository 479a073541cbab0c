// builtins_bench.cpp: the cost of the builtin call path beside the plain VM loop.
//
// Three scripts run many times against a map of a few brushes: a plain counting loop (no CALL),
// the same loop calling a cheap getter (map.brushcount) once per pass, and a loop that adds a
// cube, clips it in two keeping both parts and deletes both (four builtin calls per pass). Prints
// instructions per second for the plain loop, builtin calls per second for the other two, and the
// time one call adds over a plain instruction, so a slow builtin path shows.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "bench/bench_clock.h"
#include "document/primitives.h"
#include "script/assembler.h"
#include "script/vm.h"

static const int kPasses = 20000;        // loop passes per run
static const int kRuns = 50;
static const int kStartBrushes = 16;

static const char *kPlainLoop =
    "loop: LOAD i\n"
    "      PUSH 0.5\n"
    "      MUL\n"
    "      ADDV sum\n"
    "      INC i\n"
    "      LOAD i\n"
    "      PUSH 20000\n"
    "      JLT loop\n";

static const char *kGetterLoop =
    "loop: CALL map.brushcount\n"
    "      ADDV sum\n"
    "      INC i\n"
    "      LOAD i\n"
    "      PUSH 20000\n"
    "      JLT loop\n";

// brush.add (7 arguments), brush.clip keeping both (6), two brush.delete: the back part, then the front.
// One add and clip of the edit loop, leaving the clip's answer: 2 when both parts were kept.
static const char *kEditCheck =
    "PUSH 0\nPUSH 0\nPUSH 0\nPUSH 0\nPUSH 2\nPUSH 2\nPUSH 2\nCALL brush.add\n"
    "PUSH 1\nPUSH 0\nPUSH 0.25\nPUSH 0.1\nPUSH 2\nCALL brush.clip\n";

static const char *kEditLoop =
    "loop: PUSH 0\nPUSH 0\nPUSH 0\nPUSH 0\nPUSH 2\nPUSH 2\nPUSH 2\nCALL brush.add\nSTORE b\n"
    "      LOAD b\nPUSH 1\nPUSH 0\nPUSH 0.25\nPUSH 0.1\nPUSH 2\nCALL brush.clip\nPOP\n"
    "      LOAD b\nPUSH 1\nADD\nCALL brush.delete\nPOP\n"
    "      LOAD b\nCALL brush.delete\nPOP\n"
    "      INC i\nLOAD i\nPUSH 20000\nJLT loop\n";

// Seconds for kRuns runs of the script; the map is restored before each run. -1 when it fails.
static double TimeRuns(const char *script, const MapDoc &start, MapDoc *map, VmProgram *program, VmState *state)
{
    if (!VmAssemble(script, program)) {
        printf("assembly failed: %s\n", program->error);
        return -1.0;
    }
    double total = 0.0;
    for (int r = 0; r < kRuns; r++) {
        memcpy(map, &start, sizeof(MapDoc));
        double t0 = NowMs();
        int ok = VmRun(program, map, -1, -1, state);
        total += NowMs() - t0;
        if (!ok) {
            printf("run failed: %s\n", state->error);
            return -1.0;
        }
    }
    return total / 1000.0;
}

int main()
{
    std::unique_ptr<VmProgram> program(new VmProgram());
    std::unique_ptr<VmState> state(new VmState());
    std::unique_ptr<MapDoc> start(new MapDoc()), map(new MapDoc());
    memset(start.get(), 0, sizeof(MapDoc));
    for (int i = 0; i < kStartBrushes; i++)
        BrushInit(&start->brushes[i], i % 5, Vector3{ (float)i * 3.0f, 0, 0 }, Vector3{ 2, 2, 2 }, -1);
    start->brushCount = kStartBrushes;

    memcpy(map.get(), start.get(), sizeof(MapDoc));
    if (!VmAssemble(kEditCheck, program.get()) || !VmRun(program.get(), map.get(), -1, -1, state.get()) ||
        state->sp != 1 || state->stack[0] != 2.0f) {
        printf("the edit loop's clip does not cut the new cube in two\n");
        return 1;
    }

    double plain = TimeRuns(kPlainLoop, *start, map.get(), program.get(), state.get());
    double getter = TimeRuns(kGetterLoop, *start, map.get(), program.get(), state.get());
    double edit = TimeRuns(kEditLoop, *start, map.get(), program.get(), state.get());
    if (plain <= 0.0 || getter <= 0.0 || edit <= 0.0) return 1;
    if (map->brushCount != kStartBrushes) {
        printf("the edit loop left %d brushes, not %d\n", map->brushCount, kStartBrushes);
        return 1;
    }

    const double passes = (double)kPasses * kRuns;
    const double plainNs = plain * 1e9 / (passes * 8.0);     // per instruction
    const double getterNs = getter * 1e9 / (passes * 6.0);   // per instruction, one of six a CALL
    printf("plain loop:        %.1f M instructions/s (%.2f ns each)\n", passes * 8.0 / plain / 1e6, plainNs);
    printf("getter loop:       %.2f M builtin calls/s; a call costs %.1f ns more than a plain instruction\n",
           passes / getter / 1e6, getterNs * 6.0 - plainNs * 6.0);
    printf("add/clip/delete:   %.3f M builtin calls/s (%.2f us per call, %.2f us per add+clip+2 deletes)\n",
           passes * 4.0 / edit / 1e6, edit * 1e6 / (passes * 4.0), edit * 1e6 / passes);
    return 0;
}
