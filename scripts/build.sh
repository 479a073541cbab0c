#!/usr/bin/env bash
# Builds kirto (and its tests) into ./build, after making sure the dependencies are in place.
# Usage: scripts/build.sh [--test]
set -euo pipefail
cd "$(dirname "$0")/.."
DEPS=$(scripts/setup.sh "$@" | tail -n 1)
BUILD_DIR="${KIRTO_BUILD_DIR:-build}"
echo "== build: configuring $BUILD_DIR" >&2
TESTS=OFF
[ "${1:-}" = "--test" ] && TESTS=ON
cmake -S . -B "$BUILD_DIR" -DKIRTO_DEPS="$DEPS" -DKIRTO_TESTS="$TESTS" >/dev/null || { echo "build failed during step: cmake configure" >&2; exit 1; }
echo "== build: compiling" >&2
cmake --build "$BUILD_DIR" -j "$(nproc)" -- --no-print-directory || { echo "build failed during step: compile" >&2; exit 1; }
