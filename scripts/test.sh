#!/usr/bin/env bash
# Installs what is missing, builds kirto with its tests, the fuzzers and the sanitized tests, and
# runs every test.
# End-to-end tests start their own Xvfb servers, so no display is needed.
set -euo pipefail
cd "$(dirname "$0")/.."
DEPS=$(scripts/setup.sh --test | tail -n 1)

step() { echo "== test: $1" >&2; }
fail() { echo "test run failed during step: $1" >&2; exit 1; }

FUZZ_DIR="$PWD/build-fuzz"
step "building the fuzzers and the sanitized tests (clang)"
CC=clang CXX=clang++ cmake -S . -B "$FUZZ_DIR" -DKIRTO_DEPS="$DEPS" -DKIRTO_FUZZ=ON >/dev/null || fail "fuzz configure"
cmake --build "$FUZZ_DIR" -j "$(nproc)" -- --no-print-directory >/dev/null || fail "fuzz build"

step "building kirto and its tests"
# KIRTO_TESTS is set every time: a build folder last configured by the run command has it off.
cmake -S . -B build -DKIRTO_DEPS="$DEPS" -DKIRTO_TESTS=ON -DKIRTO_FUZZ_DIR="$FUZZ_DIR" \
      -DKIRTO_FUZZ_SECONDS="${KIRTO_FUZZ_SECONDS:-60}" >/dev/null || fail "configure"
cmake --build build -j "$(nproc)" -- --no-print-directory >/dev/null || fail "build"

step "running the tests"
cd build
ctest --output-on-failure --no-tests=error -j "$(nproc)" "$@"
