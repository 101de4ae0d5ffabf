#!/usr/bin/env bash
# Installs, as root and idempotently, everything the build, the demo and the tests need
# from Debian's packages. Safe to run again: it skips what is already there.
set -euo pipefail

packages=(
  cmake make g++ googletest libbenchmark-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools libwine-dev
  wine wine32:i386 wine64
  xvfb xauth imagemagick locales
  fonts-arphic-uming fonts-arphic-ukai fonts-wine
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: these packages are missing and installing them needs root: ${missing[*]}" >&2
    exit 1
  fi
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
