#!/usr/bin/env bash
# Prepares the Wine prefix of a Windows build folder: Chinese locale (code page 936),
# Chinese fonts behind the faces the windows ask for, and X11 settings that let windows
# keep their designed place under Xvfb. Does nothing when the prefix is already prepared.
#   scripts/wine-prefix.sh BUILD_DIR
set -euo pipefail
build=$(realpath "$1")
prefix="$build/wineprefix"
[ -f "$prefix/.veldo-ready" ] && exit 0

# The glibc locale that makes Wine pick code page 936 and read Chinese arguments.
mkdir -p "$build/locale"
if [ ! -d "$build/locale/zh_CN.UTF-8" ]; then
  localedef -i zh_CN -f UTF-8 "$build/locale/zh_CN.UTF-8" 2>/dev/null || true
fi

. "$(dirname "$0")/wine-env.sh" "$build"
rm -rf "$prefix"
"$VELDO_WINE" wineboot -i >/dev/null 2>&1
"$VELDO_WINESERVER" -w

# Wine's own fonts, except the bold Tahoma that loses the Chinese fallback in bold captions.
fonts="$prefix/drive_c/windows/Fonts"
mkdir -p "$fonts"
for f in /usr/share/wine/fonts/*.ttf; do
  [ "$(basename "$f")" = tahomabd.ttf ] || cp -f "$f" "$fonts/"
done

reg="$build/veldo-prefix.reg"
{
  printf '\xff\xfe'
  iconv -f UTF-8 -t UTF-16LE <<'REG'
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"宋体"="AR PL UMing CN"
"SimSun"="AR PL UMing CN"
"新宋体"="AR PL UMing CN"
"NSimSun"="AR PL UMing CN"
"隶书"="AR PL UKai CN"
"LiSu"="AR PL UKai CN"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Decorated"="N"
"Managed"="N"

REG
} > "$reg"
"$VELDO_WINE" regedit /S "Z:${reg//\//\\}" >/dev/null 2>&1
"$VELDO_WINESERVER" -w
touch "$prefix/.veldo-ready"
