#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need.
# Runs as root (or through sudo) and does nothing when everything is present.
set -euo pipefail
packages=(
  build-essential cmake ninja-build
  qt6-base-dev qt6-svg-dev libgl-dev
  qt6-l10n-tools qt6-tools-dev qt6-translations-l10n
  libgtest-dev googletest libbenchmark-dev
  fonts-wqy-zenhei fonts-dejavu-core
  libzint-dev zbar-tools
  util-linux iproute2
)
if [ "${TAVO_PACKAGE:-0}" = 1 ]; then
  packages+=(dpkg-dev desktop-file-utils appstream lintian help2man)
fi
if [ "${TAVO_WINE:-0}" = 1 ]; then
  packages+=(wine wine64 g++-mingw-w64-x86-64-posix)
fi
if [ "${TAVO_SANITIZERS:-0}" = 1 ] || [ "${TAVO_FUZZ:-0}" = 1 ]; then
  packages+=(clang-14 libclang-rt-14-dev)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
