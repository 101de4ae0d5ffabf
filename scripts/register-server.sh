#!/usr/bin/env bash
# Registers the demo application server of a Windows build folder in that build's Wine
# prefix (class, ProgID, program path, type library). Safe to run again.
#   scripts/register-server.sh BUILD_DIR
set -euo pipefail
build=$(realpath "$1")
. "$(dirname "$0")/wine-env.sh" "$build"
"$VELDO_WINE" "$build/bin/veldo_server.exe" /regserver
