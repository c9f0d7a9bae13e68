#!/usr/bin/env bash
# Batch mode of the real Windows executable under Wine against the host build,
# on the folder shape of the host benchmark (20,000 files, mixed):
#   bench/wine_bench.sh [RUNS]        (default 3)
# Each run cleans a fresh copy of the folder and is timed as a whole process,
# from start to exit; the figures are medians. Two more runs show where Wine's
# own cost lies: one over an empty cookie folder (starting and ending a
# process) and one over as many files that are all left untouched (no file is
# created, deleted or renamed). Neither is taken out of wine_files_per_s. Both
# builds must report the same counts, or the benchmark fails. Prints
# name: value lines.
#
# Environment: QUILLFEN_EXE (default build/win32/Quillfen.exe),
# QUILLFEN_BENCH_BUILD (default build/bench, the Release host build with
# quillfen-host and bench/cleaning_bench), QUILLFEN_BENCH_PREFIX (default
# build/bench/wineprefix).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
runs=${1:-3}
files=20000
exe=$(realpath -m "${QUILLFEN_EXE:-build/win32/Quillfen.exe}")
build=$(realpath -m "${QUILLFEN_BENCH_BUILD:-build/bench}")
prefix=$(realpath -m "${QUILLFEN_BENCH_PREFIX:-build/bench/wineprefix}")
[ -f "$exe" ] || { echo "no executable at $exe (build build/win32 first)" >&2; exit 1; }
[ -x "$build/quillfen-host" ] && [ -x "$build/bench/cleaning_bench" ] ||
  { echo "no host benchmark build in $build (run scripts/bench.sh first)" >&2; exit 1; }

export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
runner=$root/scripts/wine-run.sh
"$runner" "$prefix" cmd /c exit >/dev/null 2>&1
cookies=$prefix/drive_c/users/$(id -un)/AppData/Local/Microsoft/Windows/INetCookies
work=$build/wine-work

# The server stays up for the whole benchmark, as it does on a desktop where
# other Windows programs run; its start is not what is being measured. The
# one left from making the prefix is ended first, as it cannot be kept.
wineserver -k 2>/dev/null || true
wineserver -w
wineserver -p
cleanup() {
  wineserver -k 2>/dev/null || true
  rm -rf "$work" "$cookies"
  mkdir -p "$cookies"
}
trap cleanup EXIT

rm -rf "$work"
mkdir -p "$work"
"$build/bench/cleaning_bench" --folder "$work/folder" "$files"
"$build/bench/cleaning_bench" --folder "$work/untouched" "$files" untouched

fresh() {  # fresh TARGET [SOURCE]: TARGET becomes a copy of SOURCE, or empty
  rm -rf "$1"
  mkdir -p "$1"
  [ $# -lt 2 ] || cp -r "$2/." "$1"
}

seconds() {  # seconds COMMAND...: runs it in $work and prints its wall time
  local start end
  start=$(date +%s%N)
  (cd "$work" && "$@" >/dev/null 2>&1)
  end=$(date +%s%N)
  echo "$(((end - start) / 1000))" | awk '{ printf "%.4f\n", $1 / 1e6 }'
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

counts() { grep -aE 'files found with|expired cookies found|files removed' "$1" | tr -d '\r'; }

wine_times=() startup_times=() untouched_times=() host_times=()
for _ in $(seq "$runs"); do
  fresh "$cookies" "$work/folder"
  wine_times+=("$(seconds "$runner" "$prefix" "$exe" a wine.log)")
  fresh "$work/host" "$work/folder"
  host_times+=("$(seconds env QUILLFEN_COOKIES="$work/host" "$build/quillfen-host" a host.log)")
  if [ "$(counts "$work/wine.log")" != "$(counts "$work/host.log")" ] ||
    ! grep -aq "^$files files found with" "$work/host.log"; then
    echo "the Wine and host runs report different counts" >&2
    exit 1
  fi
  fresh "$cookies"
  startup_times+=("$(seconds "$runner" "$prefix" "$exe" a empty.log)")
  fresh "$cookies" "$work/untouched"
  untouched_times+=("$(seconds "$runner" "$prefix" "$exe" a untouched.log)")
done

wine_s=$(printf '%s\n' "${wine_times[@]}" | median)
startup_s=$(printf '%s\n' "${startup_times[@]}" | median)
untouched_s=$(printf '%s\n' "${untouched_times[@]}" | median)
host_s=$(printf '%s\n' "${host_times[@]}" | median)
awk -v files="$files" -v wine="$wine_s" -v startup="$startup_s" -v untouched="$untouched_s" \
  -v host="$host_s" 'BEGIN {
  printf "wine_files: %d\n", files
  printf "wine_run_s: %.3f\n", wine
  printf "wine_files_per_s: %.0f\n", files / wine
  printf "wine_startup_s: %.3f\n", startup
  printf "wine_files_per_s_after_startup: %.0f\n", files / (wine - startup)
  printf "wine_untouched_files_per_s: %.0f\n", files / untouched
  printf "host_process_run_s: %.3f\n", host
  printf "host_process_files_per_s: %.0f\n", files / host
  printf "wine_to_host_ratio: %.2f\n", wine / host
}'
