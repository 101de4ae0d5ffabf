# Sourced by the scripts: the environment of a Windows build folder's Wine prefix.
#   . scripts/wine-env.sh BUILD_DIR
# build/win32 runs in a 32-bit prefix with the 32-bit loader, build/win64 in a 64-bit one.
veldo_build=$(realpath "$1")
case "$(basename "$veldo_build")" in
  win64) export WINEARCH=win64 VELDO_WINE=/usr/lib/wine/wine64 ;;
  *)     export WINEARCH=win32 VELDO_WINE=/usr/lib/wine/wine ;;
esac
export VELDO_WINESERVER=/usr/lib/wine/wineserver64
[ -x "$VELDO_WINESERVER" ] || VELDO_WINESERVER=/usr/lib/wine/wineserver32
export WINEPREFIX="$veldo_build/wineprefix" WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml="
export WINESERVER="$VELDO_WINESERVER"
export LOCPATH="$veldo_build/locale"
{ export LC_ALL=zh_CN.UTF-8; } 2>/dev/null  # the shell itself may not know the private locale
