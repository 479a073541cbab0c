#!/usr/bin/env bash
# Builds kirto (and its tests) into ./build, after making sure the dependencies are in place.
# With --windows it cross-builds kirto.exe for 64-bit Windows with MinGW-w64 into ./build-windows
# instead (KIRTO_WINDOWS_BUILD_DIR); --test builds the Linux program with its tests.
# Usage: scripts/build.sh [--test|--windows]
set -euo pipefail
cd "$(dirname "$0")/.."
DEPS=$(scripts/setup.sh "$@" | tail -n 1)
if [ "${1:-}" = "--windows" ]; then
    BUILD_DIR="${KIRTO_WINDOWS_BUILD_DIR:-build-windows}"
    echo "== build: configuring $BUILD_DIR (Windows, MinGW-w64)" >&2
    cmake -S . -B "$BUILD_DIR" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
          -DKIRTO_DEPS="$DEPS/windows" -DKIRTO_TESTS=OFF >/dev/null \
        || { echo "build failed during step: cmake configure" >&2; exit 1; }
else
    BUILD_DIR="${KIRTO_BUILD_DIR:-build}"
    echo "== build: configuring $BUILD_DIR" >&2
    TESTS=OFF
    [ "${1:-}" = "--test" ] && TESTS=ON
    cmake -S . -B "$BUILD_DIR" -DKIRTO_DEPS="$DEPS" -DKIRTO_TESTS="$TESTS" >/dev/null \
        || { echo "build failed during step: cmake configure" >&2; exit 1; }
fi
echo "== build: compiling" >&2
cmake --build "$BUILD_DIR" -j "$(nproc)" -- --no-print-directory || { echo "build failed during step: compile" >&2; exit 1; }
