#!/usr/bin/env bash
# Window mode against batch mode on long logs, under Wine:
#   bench/window_bench.sh [N...]        (default: 10000 100000)
# For each N the cookie folder of a Wine prefix of its own is filled with N
# expired cookies (250 to a file), Quillfen.exe is started with no argument on
# a virtual desktop in a private Xvfb display, "Process" is clicked and Escape
# pressed at once; the window remembers the key and closes once the run has
# ended and every line is in its log box, so the time from the click until
# the process has ended is the run in window mode (plus the close, well under
# a second). The same folder is then cleaned in batch mode, whose own
# "Working time" line gives its time. Prints name: value lines, each group
# after an "n: N" line.
#
# Environment: QUILLFEN_EXE (default build/win32/Quillfen.exe, or
# build/win64/Quillfen.exe where scripts/wine-arch.sh answers 64),
# QUILLFEN_BENCH_PREFIX (default build/window-bench/wineprefix32 or 64).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
arch=${QUILLFEN_WINE_ARCH:-$(scripts/wine-arch.sh)}
export QUILLFEN_WINE_ARCH=$arch
exe=$(realpath -m "${QUILLFEN_EXE:-build/win$arch/Quillfen.exe}")
prefix=$(realpath -m "${QUILLFEN_BENCH_PREFIX:-build/window-bench/wineprefix$arch}")
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(10000 100000)
[ -f "$exe" ] || { echo "no executable at $exe (bash scripts/build-product.sh $arch builds it)" >&2; exit 1; }

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

windows_path() { printf 'Z:%s' "${1//\//\\}"; }

seed() {  # seed N: N expired cookies, 250 to a file
  rm -rf "$cookies"
  python3 - "$cookies" "$1" <<'EOF'
import os, sys
folder, total = sys.argv[1], int(sys.argv[2])
os.makedirs(folder)
for start in range(0, total, 250):
    with open(os.path.join(folder, "site%d.txt" % (start // 250)), "w", newline="\n") as f:
        for i in range(start, min(start + 250, total)):
            f.write("c%d\nvalue\nsite.example/\n1536\n0\n0\n0\n0\n*\n" % i)
EOF
}

now() { date +%s.%N; }

window_run() {  # prints the seconds from the click on Process to the end
  rm -f "$work/status"
  printf '@"%s"\r\n@echo %%ERRORLEVEL%% >"%s"\r\n' "$(windows_path "$exe")" \
    "$(windows_path "$work/status")" >"$work/run.bat"
  "$runner" "$prefix" explorer "/desktop=quillfen-bench,1024x768" cmd /c \
    "$(windows_path "$work/run.bat")" >/dev/null 2>&1 &
  local desktop=$! window=
  for _ in $(seq 600); do
    window=$(xdotool search --name '^Quillfen v\.1\.03$' 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { echo "no window" >&2; exit 1; }
  sleep 1
  # The centre of "Process" (73, 148, 78 x 19 dialog units) in a dialog of
  # 311 x 225 units with a 3-pixel border and a caption of about 20 pixels.
  local width height
  width=$(xwininfo -id "$window" | sed -n 's/^ *Width: //p')
  height=$(xwininfo -id "$window" | sed -n 's/^ *Height: //p')
  local x=$(((width - 6) * 112 / 311 + 3)) y=$(((height - 26) * 315 / 450 + 23))
  local start end
  start=$(now)
  xdotool mousemove --window "$window" "$x" "$y" click 1 key Escape
  until [ -s "$work/status" ]; do sleep 0.05; done
  end=$(now)
  wait "$desktop"
  [ "$(tr -dc 0-9 <"$work/status")" = 0 ] || { echo "window mode ended with a failure" >&2; exit 1; }
  [ -z "$(ls -A "$cookies")" ] || { echo "the window run left cookie files" >&2; exit 1; }
  awk "BEGIN { print $end - $start }"
}

batch_run() {  # prints the run's own working time in seconds
  "$runner" "$prefix" "$exe" a "$(windows_path "$work/batch.log")" >/dev/null 2>&1
  sed -n 's/^Working time: \([0-9.]*\) sec\.\r$/\1/p' "$work/batch.log"
}

for n in "${sizes[@]}"; do
  seed "$n"
  window_s=$(window_run)
  seed "$n"
  batch_s=$(batch_run)
  lines=$(grep -c '' "$work/batch.log")
  echo "n: $n"
  echo "log_lines: $lines"
  awk -v w="$window_s" -v b="$batch_s" -v lines="$lines" 'BEGIN {
    printf "window_s: %.2f\nwindow_s_per_1k_lines: %.4f\n", w, w * 1000 / lines
    printf "batch_s: %.3f\nbatch_s_per_1k_lines: %.4f\n", b, b * 1000 / lines
    # The batch time is in whole milliseconds and may read 0.
    printf "window_batch_ratio: %.0f\n", w / (b > 0 ? b : 0.001)
  }'
done
