#!/usr/bin/env bash
# Runs one libFuzzer target for a fixed time on a scratch copy of its seed corpus.
# Usage: run_fuzz.sh <fuzzer> <seed corpus folder> <seconds>; fails when the fuzzer finds a crash.
set -euo pipefail
fuzzer=$(realpath -m "$1"); seeds="$2"; seconds="${3:-60}"
[ -x "$fuzzer" ] || { echo "fuzzer not built: $fuzzer" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus"
[ -d "$seeds" ] && cp -r "$seeds"/. "$work/corpus/" 2>/dev/null || true
cd "$work"
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 corpus
