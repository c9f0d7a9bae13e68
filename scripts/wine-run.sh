#!/usr/bin/env bash
# Runs a Windows program under Wine in a private prefix:
#   wine-run.sh PREFIX PROGRAM [ARGUMENTS...]
# The prefix is made on first use (about 10 s), under a lock so that tests
# started together make it once. Wine's own messages are kept quiet, and no
# extra installers (Mono, Gecko) are asked for.
set -euo pipefail
prefix=$1
shift
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
mkdir -p "$(dirname "$prefix")"
(
  flock 9
  if [ ! -f "$prefix/.made" ]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    touch "$prefix/.made"
  fi
) 9>"$prefix.lock"
exec wine "$@"
