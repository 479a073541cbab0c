#!/usr/bin/env bash
# Runs the end-to-end tests again and again on a loaded machine, to show they do not depend on
# timing. Not part of CI. Two kinds of run:
#   busy       a parallel build of the project (in a build folder of its own) runs beside the
#              tests, over and over;
#   two-cores  the tests, the program and its Xvfb are held to two cores (0 and 1, or the two in
#              KIRTO_LOAD_CORES, e.g. "2,3"), where two busy loops compete with them.
# Each run is one `ctest -R '^e2e\.'` in the given build folder (built with KIRTO_TESTS=ON);
# its logs (ctest's and the full one) are kept in the results folder. A run must leave nothing
# behind, or the next one would be measured on a machine it made busier: each run gets a temporary
# folder of its own and a mark in its environment, and its summary line counts the processes
# (ended then) and the temporary files that outlived it.
#
# Usage: tests/e2e/load_runs.sh <build folder> [busy runs] [two-cores runs] [results folder]
set -uo pipefail

BUILD=$(cd "${1:?usage: $0 <build folder> [busy runs] [two-cores runs] [results folder]}" && pwd)
BUSY_RUNS=${2:-5}
TWO_CORE_RUNS=${3:-5}
RESULTS=${4:-$BUILD/load-runs}
SOURCE=$(cd "$(dirname "$0")/../.." && pwd)
LOAD_BUILD="$BUILD/../build-load"
CORES=${KIRTO_LOAD_CORES:-0,1}
DEPS=$(sed -n 's/^KIRTO_DEPS:[A-Z]*=//p' "$BUILD/CMakeCache.txt")

mkdir -p "$RESULTS"
LOAD_PIDS=()

stop_load() {
    for pid in "${LOAD_PIDS[@]}"; do
        kill -- "-$pid" 2>/dev/null || kill "$pid" 2>/dev/null
    done
    for pid in "${LOAD_PIDS[@]}"; do wait "$pid" 2>/dev/null; done
    LOAD_PIDS=()
}
trap stop_load EXIT

# Each load runs in a process group of its own, so that stopping it ends its compilers too.
start_busy_build() {
    cmake -S "$SOURCE" -B "$LOAD_BUILD" -DKIRTO_DEPS="$DEPS" -DKIRTO_TESTS=ON >/dev/null
    setsid bash -c "while :; do cmake --build '$LOAD_BUILD' --clean-first -j$(nproc) >/dev/null 2>&1; done" &
    LOAD_PIDS+=($!)
}

start_hogs() {
    for core in ${CORES//,/ }; do
        setsid taskset -c "$core" bash -c 'while :; do :; done' &
        LOAD_PIDS+=($!)
    done
}

# Processes whose environment carries the mark, as "pid name" lines.
marked_processes() {   # mark
    local environ pid
    for environ in /proc/[0-9]*/environ; do
        pid=${environ#/proc/}
        pid=${pid%/environ}
        if grep -qzx "KIRTO_LOAD_RUN=$1" "$environ" 2>/dev/null; then
            echo "$pid $(cat "/proc/$pid/comm" 2>/dev/null)"
        fi
    done
}

run_once() {   # mode, index
    local mode=$1 index=$2 log="$RESULTS/$1-$2.log" start end status
    local prefix=()
    [ "$mode" = two-cores ] && prefix=(taskset -c "$CORES")
    local mark="$mode-$index-$$" tmp="$RESULTS/tmp-$mode-$index"
    rm -rf "$tmp"
    mkdir -p "$tmp"
    start=$(date +%s)
    (cd "$BUILD" && KIRTO_LOAD_RUN=$mark TMPDIR=$tmp "${prefix[@]}" ctest -R '^e2e\.' --output-on-failure) >"$log" 2>&1
    status=$?
    end=$(date +%s)
    cp "$BUILD/Testing/Temporary/LastTest.log" "$RESULTS/$mode-$index.full.log" 2>/dev/null
    local retyped
    retyped=$(grep -c 'typing it again' "$RESULTS/$mode-$index.full.log" 2>/dev/null)
    local failed
    failed=$(grep -oE 'e2e\.[a-z_0-9]+ \([A-Za-z]+\)' "$log" | tr '\n' ' ')
    local stray stray_count stray_names temps
    stray=$(marked_processes "$mark")
    stray_count=$(printf '%s' "$stray" | grep -c .)
    stray_names=$(printf '%s' "$stray" | awk '{printf " %s(%s)", $2, $1}')
    temps=$(find "$tmp" -mindepth 1 -maxdepth 1 | wc -l)
    printf '%-9s run %d: %s in %4d s  load %s  text boxes re-typed: %s  left behind: %d processes%s, %d temporary files  %s\n' \
        "$mode" "$index" "$([ $status -eq 0 ] && echo PASS || echo FAIL)" $((end - start)) \
        "$(cut -d' ' -f1 /proc/loadavg)" "${retyped:-?}" "$stray_count" "$stray_names" "$temps" "$failed" |
        tee -a "$RESULTS/summary.txt"
    # What a run left would load the next one: end it (the line above has named it).
    printf '%s' "$stray" | awk '{print $1}' | xargs -r kill -9 2>/dev/null
    [ "$temps" -eq 0 ] && rmdir "$tmp"
    [ $status -eq 0 ] && [ "$stray_count" -eq 0 ] && [ "$temps" -eq 0 ]
}

failures=0
if [ "$BUSY_RUNS" -gt 0 ]; then
    start_busy_build
    sleep 20   # let the build get going
    for i in $(seq 1 "$BUSY_RUNS"); do run_once busy "$i" || failures=$((failures + 1)); done
    stop_load
fi
if [ "$TWO_CORE_RUNS" -gt 0 ]; then
    start_hogs
    for i in $(seq 1 "$TWO_CORE_RUNS"); do run_once two-cores "$i" || failures=$((failures + 1)); done
    stop_load
fi
echo "$failures of $((BUSY_RUNS + TWO_CORE_RUNS)) runs failed; logs in $RESULTS" | tee -a "$RESULTS/summary.txt"
[ "$failures" -eq 0 ]
