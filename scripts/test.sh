#!/usr/bin/env bash
# Installs what is missing, builds kirto with its tests, the fuzzers and the sanitized tests, and
# kirto.exe with its unit tests (MinGW-w64), and runs every test: the Windows ones under wine.
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

WINDOWS_DIR="$PWD/build-windows"
step "building kirto.exe and its unit tests (MinGW-w64)"
# KIRTO_TESTS is set every time: build.sh --windows configures the same folder without them.
cmake -S . -B "$WINDOWS_DIR" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
      -DKIRTO_DEPS="$DEPS/windows" -DKIRTO_TESTS=ON >/dev/null || fail "Windows configure"
cmake --build "$WINDOWS_DIR" -j "$(nproc)" -- --no-print-directory >/dev/null || fail "Windows build"

step "building kirto and its tests"
# KIRTO_TESTS is set every time: a build folder last configured by the run command has it off.
cmake -S . -B build -DKIRTO_DEPS="$DEPS" -DKIRTO_TESTS=ON -DKIRTO_FUZZ_DIR="$FUZZ_DIR" \
      -DKIRTO_FUZZ_SECONDS="${KIRTO_FUZZ_SECONDS:-60}" -DKIRTO_WINDOWS_DIR="$WINDOWS_DIR" >/dev/null || fail "configure"
cmake --build build -j "$(nproc)" -- --no-print-directory >/dev/null || fail "build"

step "running the tests"
cd build
ctest --output-on-failure --no-tests=error -j "$(nproc)" "$@"
