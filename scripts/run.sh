#!/usr/bin/env bash
# Installs what is missing, builds kirto and starts it with the repository as its working folder
# (it reads resources/ from there and creates assets/ and projects/ beside it).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ]; then
    echo "kirto needs a graphical display, and DISPLAY is not set." >&2
    echo "Start it from a desktop session, or under a virtual X server:" >&2
    echo "    xvfb-run -s '-screen 0 1920x1080x24' bash scripts/run.sh" >&2
    exit 1
fi
bash scripts/build.sh
exec ./build/kirto
