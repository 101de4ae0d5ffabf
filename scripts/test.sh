#!/usr/bin/env bash
# Everything from a fresh machine: set-up, the builds, the native tests, then the Windows
# tests under Wine inside Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
. "$root/scripts/wine-arch.sh"

echo "== native tests"
ctest --test-dir "$root/build/native" --output-on-failure -j "$(nproc)"

echo "== Windows tests under Wine ($VELDO_RUN_BUILD)"
win="$root/build/$VELDO_RUN_BUILD"
"$root/scripts/wine-prefix.sh" "$win"
xvfb-run -a -s "-screen 0 1024x768x24" "$root/scripts/wine-session.sh" "$win" \
  ctest --test-dir "$win" --output-on-failure --timeout 120
