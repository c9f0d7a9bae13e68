#!/usr/bin/env bash
# The main job for a newcomer: installs what is needed, builds the Windows
# executable, and runs it in batch mode under Wine on a demo cookie folder,
# printing the log and what changed on disk.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --no-warn-unused-cli -S . -B build/win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
  -DCMAKE_BUILD_TYPE=MinSizeRel -DQUILLFEN_TESTS=OFF >/dev/null
cmake --build build/win32 >/dev/null
exec python3 scripts/demo.py build/win32/Quillfen.exe build/demo
