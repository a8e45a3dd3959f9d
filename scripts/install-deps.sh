#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need, when missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ googletest libgtest-dev python3
  g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32
  wine wine64 fonts-wine xvfb xdotool imagemagick
  fp-utils libchm-bin
  python3-pefile clang libclang-rt-dev
  qemu-system-x86 linux-image-amd64 busybox-static cpio sg3-utils
  dpkg-dev lintian man-db
  ccache
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
fi
