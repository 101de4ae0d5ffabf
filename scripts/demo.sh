#!/usr/bin/env bash
# The main job: the demo host calls showdll against the demo application server.
# With a display the host's window comes up and waits for you; without one the demo runs
# under Xvfb and writes a screenshot of the query window into the build folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
. "$root/scripts/wine-arch.sh"
win="$root/build/$VELDO_RUN_BUILD"
"$root/scripts/wine-prefix.sh" "$win"
. "$root/scripts/wine-env.sh" "$win"
cd "$win/bin"
if [ -n "${DISPLAY:-}" ]; then
  "$root/scripts/wine-session.sh" "$win" "$VELDO_WINE" mis_host.exe "$@"
else
  rm -f "$win/demo.bmp" "$win/demo-error.bmp" "$win/demo.png" "$win/demo-error.png"
  xvfb-run -a -s "-screen 0 1024x768x24" "$root/scripts/wine-session.sh" "$win" \
    "$VELDO_WINE" mis_host.exe --screenshot "Z:${win//\//\\}\\demo.bmp" "$@"
  if [ -f "$win/demo-error.bmp" ]; then
    convert "$win/demo-error.bmp" "$win/demo-error.png"
    echo "The window showed an error box first: $win/demo-error.png"
  fi
  convert "$win/demo.bmp" "$win/demo.png"
  echo "Screenshot of the query window: $win/demo.png"
fi
