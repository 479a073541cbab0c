#!/usr/bin/env bash
# Makes a fresh wine prefix at $1 for one run of the Windows tests; they all share it, since
# wineboot takes seconds that each test would otherwise pay again.
# Usage: tests/windows/wine_prefix.sh <prefix folder>
set -euo pipefail
prefix="$1"
rm -rf "$prefix"
# No Mono or Gecko (their install prompts would wait for a click), no debug channels, and no
# display: wineboot needs none, and any window it opened would wait for nobody.
export WINEPREFIX="$prefix" WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
unset DISPLAY
wineboot -i >/dev/null 2>&1
wineserver -w
[ -f "$prefix/system.reg" ] || { echo "wineboot made no prefix at $prefix" >&2; exit 1; }
# Windows keeps Tahoma in its font folder, where kirto.exe looks for it; wine's own Tahoma (package
# fonts-wine) is the one the Linux program uses, so both draw the same text.
if [ -f /usr/share/wine/fonts/tahoma.ttf ]; then
    cp /usr/share/wine/fonts/tahoma.ttf "$prefix/drive_c/windows/Fonts/tahoma.ttf"
fi
