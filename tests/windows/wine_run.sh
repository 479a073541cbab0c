#!/usr/bin/env bash
# Runs a Windows program under wine in the prefix $1 and passes on its exit status once the wine
# server of that prefix is gone, so that nothing of wine outlives the test.
# Usage: tests/windows/wine_run.sh <prefix folder> <program.exe> [arguments...]
set -uo pipefail
export WINEPREFIX="$1" WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
shift
unset DISPLAY
[ -f "$WINEPREFIX/system.reg" ] || bash "$(dirname "$0")/wine_prefix.sh" "$WINEPREFIX" || exit 1
wine "$@"
status=$?
wineserver -k 2>/dev/null
wineserver -w
exit "$status"
