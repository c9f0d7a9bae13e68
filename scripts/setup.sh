#!/usr/bin/env bash
# Installs everything the project needs on a fresh Debian machine: the host and
# MinGW toolchains, Wine (32-bit), the X tools the window tests use, and the
# fuzzing and tracing tools. Safe to run again; it skips work already done.
set -euo pipefail

packages=(
  build-essential cmake ninja-build git
  googletest libgtest-dev
  g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  mingw-w64-tools
  wine wine32 wine64
  xvfb xdotool x11-utils imagemagick
  clang libclang-rt-dev strace python3 procps
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_if_needed() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  sudo_if_needed dpkg --add-architecture i386
fi
sudo_if_needed apt-get update -q
sudo_if_needed apt-get install -y -q --no-install-recommends "${missing[@]}"
