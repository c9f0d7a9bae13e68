#!/usr/bin/env bash
# Window mode against batch mode, under Wine:
#   bench/window_bench.sh [FOLDER...]   (default: lines:10000 lines:100000 files:3000)
# FOLDER is the cookie folder of one round:
#   lines:N          N expired cookies, 250 to a file
#   files:N[:BYTES]  N files of one expired cookie each, its name BYTES long
#                    (default 1); files:3000:4000 is the log of long lines
# Each round seeds the cookie folder of a Wine prefix of its own anew for
# every run; the executables take turns, each with a window run and then a
# batch run of the same folder. A window run starts Quillfen.exe with no argument on a virtual
# desktop in a private Xvfb display, beside bench/window_probe.exe, which
# clicks "Process", asks the window every 300 ms whether it answers (WM_NULL,
# as Windows asks whether a window hangs), times the click to "Done" and,
# pressed then, Escape to the window's close. Meanwhile the process's peak
# memory is read from /proc. The batch run of the same folder gives its time
# by its own "Working time" line. Prints a run: line per run and then, per
# executable, medians as name: value lines.
#
# Environment:
#   QUILLFEN_EXE           the executables, blank-separated (default
#                          build/win32/Quillfen.exe, or build/win64/Quillfen.exe
#                          where scripts/wine-arch.sh answers 64)
#   QUILLFEN_BENCH_RUNS    runs of each per folder (default 3)
#   QUILLFEN_BENCH_WHOLE   1: after "Done", wait until the box holds the whole
#                          log (whole_log_s) and check its summary lines
#                          against the batch log's
#   QUILLFEN_BENCH_PREFIX  the prefix (default build/window-bench/wineprefix32 or 64)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
arch=${QUILLFEN_WINE_ARCH:-$(scripts/wine-arch.sh)}
export QUILLFEN_WINE_ARCH=$arch
read -r -a exes <<<"${QUILLFEN_EXE:-build/win$arch/Quillfen.exe}"
runs=${QUILLFEN_BENCH_RUNS:-3}
whole=${QUILLFEN_BENCH_WHOLE:-0}
prefix=$(realpath -m "${QUILLFEN_BENCH_PREFIX:-build/window-bench/wineprefix$arch}")
folders=("$@")
[ ${#folders[@]} -gt 0 ] || folders=(lines:10000 lines:100000 files:3000)
for i in "${!exes[@]}"; do
  exes[$i]=$(realpath -m "${exes[$i]}")
  [ -f "${exes[$i]}" ] ||
    { echo "no executable at ${exes[$i]} (bash scripts/build-product.sh $arch builds it)" >&2; exit 1; }
done

export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
runner=$root/scripts/wine-run.sh
"$runner" "$prefix" cmd /c exit >/dev/null 2>&1
cookies=$prefix/drive_c/users/$(id -un)/AppData/Local/Microsoft/Windows/INetCookies

work=$(mktemp -d)
source "$root/scripts/xvfb.sh"
cleanup() {
  stop_xvfb
  rm -rf "$work" "$cookies"
}
trap cleanup EXIT
start_xvfb "$work"

# The probe is built for the processor of the build Wine runs.
if [ "$arch" = 64 ]; then gcc=x86_64-w64-mingw32-gcc; else gcc=i686-w64-mingw32-gcc; fi
"$gcc" -O2 -Wall -Wextra -Werror -static -o "$work/window_probe.exe" bench/window_probe.c

windows_path() { printf 'Z:%s' "${1//\//\\}"; }

seed() {  # seed FOLDER
  rm -rf "$cookies"
  python3 - "$cookies" "$1" <<'EOF'
import os, sys
folder, shape = sys.argv[1], sys.argv[2].split(":")
os.makedirs(folder)
def cookie(name):
    return b"%s\nvalue\nsite.example/\n1536\n0\n0\n0\n0\n*\n" % name
if shape[0] == "lines":
    total = int(shape[1])
    for start in range(0, total, 250):
        with open(os.path.join(folder, "site%d.txt" % (start // 250)), "wb") as f:
            for i in range(start, min(start + 250, total)):
                f.write(cookie(b"c%d" % i))
else:
    size = int(shape[2]) if len(shape) > 2 else 1
    name = b"n" * size
    for number in range(int(shape[1])):
        with open(os.path.join(folder, "site%d.txt" % number), "wb") as f:
            f.write(cookie(name))
EOF
}

# The process's peak resident size, read until it ends.
watch_memory() {  # watch_memory PATTERN OUTPUT
  local pid= rss=0 now
  for _ in $(seq 600); do
    pid=$(pgrep -f "$1" | head -1) && [ -n "$pid" ] && break
    sleep 0.1
  done
  while [ -n "$pid" ] && now=$(awk '/^VmHWM/ { print $2 }' "/proc/$pid/status" 2>/dev/null); do
    [ -n "$now" ] && rss=$now
    sleep 0.1
  done
  echo "peak_rss_kib: $rss" >"$2"
}

window_failed() {  # window_failed MESSAGE: ends the benchmark, with what the probe saw
  { echo "$1"; tr -d '\r' <"$work/probe.out"; } >&2
  exit 1
}

window_run() {  # window_run EXE: the probe's lines, and the peak memory's
  local copy=$work/run-$RANDOM
  mkdir -p "$copy"
  cp "$1" "$copy/Quillfen.exe"
  rm -f "$work/status" "$work/probe.out"
  printf '@"%s"\r\n@echo %%ERRORLEVEL%% >"%s"\r\n' "$(windows_path "$copy/Quillfen.exe")" \
    "$(windows_path "$work/status")" >"$work/run.bat"
  printf '@"%s" %s >"%s"\r\n' "$(windows_path "$work/window_probe.exe")" \
    "$([ "$whole" = 1 ] && echo whole)" "$(windows_path "$work/probe.out")" >"$work/probe.bat"
  "$runner" "$prefix" explorer "/desktop=quillfen-bench,1024x768" cmd /c \
    "$(windows_path "$work/run.bat")" >/dev/null 2>&1 &
  local desktop=$!
  watch_memory "$(basename "$copy")" "$work/memory" &
  local watcher=$!
  "$runner" "$prefix" explorer "/desktop=quillfen-bench,1024x768" cmd /c \
    "$(windows_path "$work/probe.bat")" >/dev/null 2>&1
  wait "$desktop"
  wait "$watcher"
  rm -rf "$copy"
  [ "$(tr -dc 0-9 <"$work/status")" = 0 ] || window_failed "window mode ended with status $(cat "$work/status")"
  [ -z "$(ls -A "$cookies")" ] || window_failed "the window run left $(ls "$cookies" | wc -l) cookie files"
  tr -d '\r' <"$work/probe.out"
  cat "$work/memory"
}

batch_run() {  # batch_run EXE: prints the run's own working time in seconds
  "$runner" "$prefix" "$1" a "$(windows_path "$work/batch.log")" >/dev/null 2>&1
  [ -z "$(ls -A "$cookies")" ] || { echo "the batch run left cookie files" >&2; exit 1; }
  sed -n 's/^Working time: \([0-9.]*\) sec\.\r$/\1/p' "$work/batch.log"
}

value() { sed -n "s/^$1: //p" "$2"; }

echo "date: $(date -u +%Y-%m-%d)"
echo "wine_build: $arch"
for folder in "${folders[@]}"; do
  for exe in "${exes[@]}"; do : >"$work/runs-$(echo "$exe" | md5sum | cut -c1-8)"; done
  for run in $(seq "$runs"); do
    for exe in "${exes[@]}"; do
      seed "$folder"
      window_run "$exe" >"$work/window.out"
      seed "$folder"
      batch_s=$(batch_run "$exe")
      if [ "$whole" = 1 ]; then
        grep -E '^([0-9]+ files |No expired|I/O|Incorrect files)' "$work/batch.log" | tr -d '\r' |
          sed 's/^/summary: /' >"$work/batch.summary"
        diff <(grep '^summary: ' "$work/window.out") "$work/batch.summary" >&2 ||
          { echo "the window's summary differs from the batch log's" >&2; exit 1; }
      fi
      line=$(awk -v b="$batch_s" -F': ' '
        { v[$1] = $2 }
        END {
          printf "window_s %s batch_s %s ratio %.2f working_s %s slowest_answer_ms %s answers_over_250_ms %s/%s close_ms %s peak_rss_kib %s",
            v["done_s"], b, v["done_s"] / (b > 0 ? b : 0.001), v["working_s"], v["slowest_answer_ms"],
            v["answers_over_250_ms"], v["answers"], v["close_ms"], v["peak_rss_kib"]
          if ("whole_log_s" in v) printf " whole_log_s %s window_working_s %s", v["whole_log_s"], v["window_working_s"]
        }' "$work/window.out")
      echo "run: $folder $run $exe $line"
      echo "$line" >>"$work/runs-$(echo "$exe" | md5sum | cut -c1-8)"
    done
  done
  for exe in "${exes[@]}"; do
    echo "folder: $folder"
    echo "exe: $exe"
    awk '{ for (i = 1; i < NF; i += 2) { n[$i]++; x[$i, n[$i]] = $(i + 1) } }
      END {
        split("window_s batch_s ratio close_ms peak_rss_kib whole_log_s window_working_s", names, " ")
        for (k = 1; k in names; k++) {
          name = names[k]; c = n[name]
          if (c == 0) continue
          for (i = 1; i <= c; i++) v[i] = x[name, i] + 0
          for (i = 1; i <= c; i++) for (j = i + 1; j <= c; j++) if (v[j] < v[i]) { t = v[i]; v[i] = v[j]; v[j] = t }
          printf "median_%s: %s\n", name, (c % 2 ? v[(c + 1) / 2] : (v[c / 2] + v[c / 2 + 1]) / 2)
        }
        slowest = 0
        for (i = 1; i <= n["slowest_answer_ms"]; i++) if (x["slowest_answer_ms", i] + 0 > slowest) slowest = x["slowest_answer_ms", i] + 0
        printf "slowest_answer_ms: %s\n", slowest
      }' "$work/runs-$(echo "$exe" | md5sum | cut -c1-8)"
  done
done
