#!/usr/bin/env bash
# Runs a command in a Windows build folder's Wine prefix with one persistent wineserver and
# the demo server registered, all inside one X display: Wine's desktop process takes the
# display it first sees, so no Wine program may start before the display is there.
#   scripts/wine-session.sh BUILD_DIR COMMAND...   (run it under xvfb-run or on a display)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "$1")
shift
. "$root/scripts/wine-env.sh" "$build"
"$VELDO_WINESERVER" -k 2>/dev/null || true
"$VELDO_WINESERVER" -w 2>/dev/null || true
# One wineserver for the whole session keeps each program's start at a few milliseconds.
"$VELDO_WINESERVER" -p
trap '"$VELDO_WINESERVER" -k 2>/dev/null || true' EXIT
"$VELDO_WINE" net start rpcss >/dev/null 2>&1 || true
"$root/scripts/register-server.sh" "$build"
"$@"
