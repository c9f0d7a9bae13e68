#!/usr/bin/env bash
# Builds everything and runs every test: the host engine tests (plain and with
# sanitizers), the Windows engine tests and the end-to-end tests of the real
# executable under Wine, and the window tests in a virtual X display.
#
# Both builds of the product are made, and their files checked, on every
# machine. The Wine tests run the build that scripts/wine-arch.sh names: the
# 32-bit one where Wine starts 32-bit programs (and the 64-bit one once beside
# it), else the 64-bit one.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

choice=$(scripts/wine-arch.sh --why)
read -r QUILLFEN_WINE_ARCH why <<<"$choice"
export QUILLFEN_WINE_ARCH
if [ "$QUILLFEN_WINE_ARCH" = 64 ]; then
  windows_tests=build/win64-tests toolchain=cmake/mingw-x86_64-posix.cmake
else
  windows_tests=build/win32-tests toolchain=cmake/mingw-i686-posix.cmake
fi

jobs=$(nproc)
build() {  # build DIR [CMAKE ARGUMENTS...]
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

bash scripts/build-product.sh 32
bash scripts/build-product.sh 64
build "$windows_tests" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Debug
build build/host -DCMAKE_BUILD_TYPE=Debug -DQUILLFEN_WINE_ARCH="$QUILLFEN_WINE_ARCH"
build build/host-sanitize -DCMAKE_BUILD_TYPE=Debug -DQUILLFEN_SANITIZE=ON \
  -DQUILLFEN_WINE_ARCH="$QUILLFEN_WINE_ARCH"
# The fuzz targets are a project of their own, built with clang; ctest runs
# each for a bounded time on its seed corpus.
cmake -S fuzz -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DQUILLFEN_FUZZ_SECONDS=20 >/dev/null
cmake --build build/fuzz -j "$jobs"

status=0
for dir in build/host-sanitize "$windows_tests" build/host build/fuzz; do
  echo "== tests in $dir"
  (cd "$dir" && ctest --output-on-failure -j "$jobs") || status=1
done
echo "== the Wine tests ran the $QUILLFEN_WINE_ARCH-bit build, build/win$QUILLFEN_WINE_ARCH/Quillfen.exe: $why"
if [ "$QUILLFEN_WINE_ARCH" = 32 ]; then
  echo "== the 64-bit build ran beside it once (e2e.batch.same_as_64)"
fi
exit $status
