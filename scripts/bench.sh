#!/usr/bin/env bash
# Speed and memory benchmarks; not part of the tests.
#   scripts/bench.sh [RUNS]         host figures, medians of RUNS (default 9)
#   scripts/bench.sh all [RUNS]     the same, then Wine (bench/wine_bench.sh)
#                                   and window mode (bench/window_bench.sh)
# Builds the Release host build in build/bench first. The Wine and window
# benchmarks drive the build that scripts/wine-arch.sh names, the 32-bit
# build/win32/Quillfen.exe where Wine starts 32-bit programs, else the 64-bit
# build/win64/Quillfen.exe (or QUILLFEN_EXE), and print which.
#
# QUILLFEN_BENCH_WORK names the scratch folder for the synthetic cookie
# folders (default build/bench/work). The figures depend on its file system,
# which is printed with them.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

everything=false
if [ "${1:-}" = all ]; then
  everything=true
  shift
fi
runs=${1:-9}

choice=$(scripts/wine-arch.sh --why)
read -r QUILLFEN_WINE_ARCH why <<<"$choice"
export QUILLFEN_WINE_ARCH
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLFEN_TESTS=OFF \
  -DQUILLFEN_WINE_ARCH="$QUILLFEN_WINE_ARCH" >/dev/null
cmake --build build/bench -j 2 >/dev/null

work=$(realpath -m "${QUILLFEN_BENCH_WORK:-build/bench/work}")
mkdir -p "$work"
echo "date: $(date -u +%Y-%m-%d)"
echo "cpus: $(nproc)"
echo "work_file_system: $(findmnt -n -o FSTYPE -T "$work" | head -1)"
build/bench/bench/cleaning_bench "$work" "$PWD/build/bench/quillfen-host" "$runs"

if $everything; then
  bash scripts/build-product.sh "$QUILLFEN_WINE_ARCH"
  echo "wine_build: ${QUILLFEN_EXE:-build/win$QUILLFEN_WINE_ARCH/Quillfen.exe} ($why)"
  bench/wine_bench.sh
  if [ -x bench/window_bench.sh ]; then bench/window_bench.sh; fi
fi
