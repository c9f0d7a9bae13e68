#!/usr/bin/env bash
# Builds everything and runs every test: the host engine tests (plain and with
# sanitizers), the Windows engine tests and the end-to-end tests of the real
# executable under Wine, and the window tests in a virtual X display.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

jobs=$(nproc)
build() {  # build DIR [CMAKE ARGUMENTS...]
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

build build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=MinSizeRel \
  -DQUILLFEN_TESTS=OFF
build build/win32-tests -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686-posix.cmake \
  -DCMAKE_BUILD_TYPE=Debug
build build/host -DCMAKE_BUILD_TYPE=Debug
build build/host-sanitize -DCMAKE_BUILD_TYPE=Debug -DQUILLFEN_SANITIZE=ON
# The fuzz targets are a project of their own, built with clang; ctest runs
# each for a bounded time on its seed corpus.
cmake -S fuzz -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DQUILLFEN_FUZZ_SECONDS=20 >/dev/null
cmake --build build/fuzz -j "$jobs"

status=0
for dir in build/host-sanitize build/win32-tests build/host build/fuzz; do
  echo "== tests in $dir"
  (cd "$dir" && ctest --output-on-failure -j "$jobs") || status=1
done
exit $status
