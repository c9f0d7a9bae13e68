#!/usr/bin/env bash
# Builds the product, the Windows executable as it is shipped:
#   build-product.sh 32|64 [FOLDER]
# into FOLDER (default build/win32 or build/win64)/Quillfen.exe.
set -euo pipefail
cd "$(dirname "$0")/.."
case "$1" in
  32) toolchain=cmake/mingw-i686.cmake ;;
  64) toolchain=cmake/mingw-x86_64.cmake ;;
  *) echo "usage: build-product.sh 32|64 [FOLDER]" >&2 && exit 2 ;;
esac
folder=${2:-build/win$1}
cmake --no-warn-unused-cli -S . -B "$folder" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=MinSizeRel -DQUILLFEN_TESTS=OFF >/dev/null
cmake --build "$folder" -j "$(nproc)" >/dev/null
