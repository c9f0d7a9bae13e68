#!/usr/bin/env bash
# Batch mode of the real Windows executable under Wine, against the least any
# Win32 cleaner must do and against the host build, on the folder shape of the
# host benchmark (mixed files):
#   bench/wine_bench.sh [RUNS]        (default 5; the 5,000-file folder 2*RUNS)
# Each run cleans a fresh copy of the folder in the same cookie folder and is
# timed as a whole process, from start to exit; the figures are medians.
#
# wine_floor_ratio_N: Quillfen.exe a against win32_floor_cleaner.exe, which
# lists the folder, opens, reads and closes every file above 18 bytes, deletes
# and rewrites what the plan written with the folder says, and nothing else.
# The two take turns at going first on folders of N = 5,000 and 20,000 files,
# must leave the same bytes, and the ratio is taken run by run.
#
# Two more runs show where Wine's own cost lies: one over an empty cookie
# folder (starting and ending a process) and one over 20,000 files that are all
# left untouched (no file is created, deleted or renamed). Neither is taken out
# of wine_files_per_s. The Wine and host builds must report the same counts,
# or the benchmark fails. Last, what names outside the code page cost:
# the mixed folder of 2,000 files once as it is and once with "ł" put before
# each name, which code page 1252 lacks, so that each file is reached by its
# short name after a search that checks no other file answers to it. Wine
# gives some of those names one short name; their files are reported and not
# cleaned, and wine_unheld_unnamed_2000 counts them. Prints name: value lines.
#
# Environment: QUILLFEN_EXE (default build/win32/Quillfen.exe, or
# build/win64/Quillfen.exe where scripts/wine-arch.sh answers 64),
# QUILLFEN_BENCH_BUILD (default build/bench, the Release host build with
# quillfen-host, bench/cleaning_bench and bench/win32_floor_cleaner.exe),
# QUILLFEN_BENCH_PREFIX (default build/bench/wineprefix32 or 64).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
arch=${QUILLFEN_WINE_ARCH:-$(scripts/wine-arch.sh)}
export QUILLFEN_WINE_ARCH=$arch
runs=${1:-5}
files=20000
exe=$(realpath -m "${QUILLFEN_EXE:-build/win$arch/Quillfen.exe}")
build=$(realpath -m "${QUILLFEN_BENCH_BUILD:-build/bench}")
prefix=$(realpath -m "${QUILLFEN_BENCH_PREFIX:-build/bench/wineprefix$arch}")
floor=$build/bench/win32_floor_cleaner.exe
[ -f "$exe" ] || { echo "no executable at $exe (bash scripts/build-product.sh $arch builds it)" >&2; exit 1; }
[ -x "$build/quillfen-host" ] && [ -x "$build/bench/cleaning_bench" ] && [ -f "$floor" ] ||
  { echo "no host benchmark build in $build (run scripts/bench.sh first)" >&2; exit 1; }

export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
runner=$root/scripts/wine-run.sh
"$runner" "$prefix" cmd /c exit >/dev/null 2>&1
user=$(id -un)
cookies=$prefix/drive_c/users/$user/AppData/Local/Microsoft/Windows/INetCookies
windows_cookies="C:\\users\\$user\\AppData\\Local\\Microsoft\\Windows\\INetCookies\\"
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
for size in 5000 "$files"; do
  "$build/bench/cleaning_bench" --folder "$work/folder-$size" "$size" --plan "$work/plan-$size"
done
"$build/bench/cleaning_bench" --folder "$work/untouched" "$files" untouched

fresh() {  # fresh TARGET [SOURCE]: TARGET becomes a copy of SOURCE, or empty
  rm -rf "$1"
  mkdir -p "$1"
  [ $# -lt 2 ] || cp -r "$2/." "$1"
}

seconds() {  # seconds COMMAND...: runs it in $work and prints its wall time
  local start end
  start=$(date +%s%N)
  if ! (cd "$work" && "$@" >/dev/null 2>"$work/stderr"); then
    echo "failed: $*" >&2
    cat "$work/stderr" >&2
    return 1
  fi
  end=$(date +%s%N)
  echo "$(((end - start) / 1000))" | awk '{ printf "%.4f\n", $1 / 1e6 }'
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

counts() { grep -aE 'files found with|expired cookies found|files removed' "$1" | tr -d '\r'; }

# What the cookie folder holds: every file's name and checksum.
contents() { (cd "$cookies" && find . -type f -print0 | sort -z | xargs -0 -r md5sum); }

declare -A quillfen_times floor_times floor_ratios
# floor_round SIZE ROUND: Quillfen and the minimal cleaner on fresh copies of
# the folder of SIZE files, in an order that alternates from round to round.
floor_round() {
  local size=$1 round=$2 turn quillfen_s floor_s
  local plan="Z:${work//\//\\}\\plan-$size"
  for turn in $(((round) % 2)) $(((round + 1) % 2)); do
    fresh "$cookies" "$work/folder-$size"
    if [ "$turn" -eq 0 ]; then
      quillfen_s=$(seconds "$runner" "$prefix" "$exe" a wine.log)
      contents >"$work/quillfen.sum"
    else
      floor_s=$(seconds "$runner" "$prefix" "$floor" "$windows_cookies" "$plan")
      contents >"$work/floor.sum"
    fi
  done
  if ! cmp -s "$work/quillfen.sum" "$work/floor.sum"; then
    echo "Quillfen and the minimal cleaner leave different folders of $size files" >&2
    exit 1
  fi
  quillfen_times[$size]+="$quillfen_s "
  floor_times[$size]+="$floor_s "
  floor_ratios[$size]+="$(awk -v q="$quillfen_s" -v f="$floor_s" 'BEGIN { print q / f }') "
}

startup_times=() untouched_times=() host_times=()
for round in $(seq $((2 * runs))); do floor_round 5000 "$round"; done
for round in $(seq "$runs"); do
  floor_round "$files" "$round"
  fresh "$work/host" "$work/folder-$files"
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

held_times=() unheld_times=()
"$build/bench/cleaning_bench" --folder "$work/held-2000" 2000
mkdir -p "$work/unheld-2000"
for file in "$work/held-2000"/*; do cp "$file" "$work/unheld-2000/ł${file##*/}"; done
for round in $(seq "$runs"); do
  fresh "$cookies" "$work/held-2000"
  held_times+=("$(seconds "$runner" "$prefix" "$exe" a held.log)")
  fresh "$cookies" "$work/unheld-2000"
  unheld_times+=("$(seconds "$runner" "$prefix" "$exe" a unheld.log)")
done

median_of() { printf '%s\n' $1 | median; }
for size in 5000 "$files"; do
  awk -v size="$size" -v wine="$(median_of "${quillfen_times[$size]}")" \
    -v floor="$(median_of "${floor_times[$size]}")" \
    -v ratio="$(median_of "${floor_ratios[$size]}")" 'BEGIN {
    printf "wine_run_s_%d: %.3f\n", size, wine
    printf "wine_floor_s_%d: %.3f\n", size, floor
    printf "wine_floor_ratio_%d: %.2f\n", size, ratio
  }'
done
wine_s=$(median_of "${quillfen_times[$files]}")
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
held_s=$(printf '%s\n' "${held_times[@]}" | median)
unheld_s=$(printf '%s\n' "${unheld_times[@]}" | median)
unnamed=$(grep -ac '^Error \[1113\]' "$work/unheld.log" || true)
awk -v held="$held_s" -v unheld="$unheld_s" -v unnamed="$unnamed" 'BEGIN {
  printf "wine_held_names_s_2000: %.3f\n", held
  printf "wine_unheld_names_s_2000: %.3f\n", unheld
  printf "wine_unheld_names_ratio_2000: %.2f\n", unheld / held
  printf "wine_unheld_unnamed_2000: %d\n", unnamed
}'
