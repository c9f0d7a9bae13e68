#!/usr/bin/env bash
# Runs a Windows program under Wine in a private prefix:
#   wine-run.sh PREFIX PROGRAM [ARGUMENTS...]
# The prefix is made on first use (about 10 s), under a lock so that tests
# started together make it once. Wine's own messages are kept quiet, and no
# extra installers (Mono, Gecko) are asked for. WINEDEBUG, where set, picks
# what Wine traces instead.
#
# The loader follows scripts/wine-arch.sh, or QUILLFEN_WINE_ARCH, which the
# scripts that ask it once pass on: wine where 32-bit programs run, else
# wine64 with a 64-bit prefix, which runs the 64-bit build only. A loader
# that cannot start is named in one line, with what to install, and the exit
# status is 127.
set -euo pipefail
here=$(dirname "$(realpath "$0")")
prefix=$1
shift
arch=${QUILLFEN_WINE_ARCH:-$("$here/wine-arch.sh")}
export WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree=;mshtml="
if [ "$arch" = 64 ]; then
  # Debian installs wine64 beside the 32-bit loader, not on the PATH.
  loader=$(command -v wine64 || echo /usr/lib/wine/wine64)
  advice="install Wine's 64-bit loader, Debian's wine64 package (bash scripts/setup.sh)"
  export WINEARCH=win64
else
  loader=wine
  advice="install Debian's wine32:i386 package (bash scripts/setup.sh), or, where this machine runs 64-bit code only, run the 64-bit build (QUILLFEN_WINE_ARCH=64)"
fi
if ! error=$("$loader" --version 2>&1 >/dev/null); then
  echo "$(basename "$loader") cannot start (${error##*: }): $advice" >&2
  exit 127
fi
mkdir -p "$(dirname "$prefix")"
(
  flock 9
  if [ ! -f "$prefix/.made" ]; then
    "$loader" wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    touch "$prefix/.made"
  fi
) 9>"$prefix.lock"
exec "$loader" "$@"
