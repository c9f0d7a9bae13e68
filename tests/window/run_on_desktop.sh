#!/usr/bin/env bash
# Runs a Windows program under Wine on a virtual desktop of its own, in an X
# display of its own, and ends with the program's exit status:
#   run_on_desktop.sh PREFIX PROGRAM [ARGUMENTS...]
# The arguments pass through a batch file, so they must not hold blanks or any
# of cmd's special characters.
#
# The desktop is the program's own because another program of the same prefix
# may have started Wine's default desktop without a display, where no window
# can be made. Wine's desktop also draws the caption and keeps activation and
# focus inside Wine, as no window manager runs.
set -euo pipefail
runner=$(cd "$(dirname "$0")/../../scripts" && pwd)/wine-run.sh
prefix=$1
program=$2
shift 2

work=$(mktemp -d)
source "$(dirname "$0")/../../scripts/xvfb.sh"
cleanup() {
  stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
start_xvfb "$work"

windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# Wine's explorer does not hand on the program's exit status; the batch file
# writes it down (cmd waits for a program started from a batch file).
printf '@"%s" %s\r\n@echo %%ERRORLEVEL%% >"%s"\r\n' "$(windows_path "$program")" "$*" \
  "$(windows_path "$work/status")" >"$work/run.bat"
"$runner" "$prefix" explorer "/desktop=quillfen-$$,1024x768" cmd /c "$(windows_path "$work/run.bat")"

status=$(tr -dc '0-9-' <"$work/status" 2>/dev/null || true)
echo "exit status: ${status:-none}"
[ "$status" = 0 ]
