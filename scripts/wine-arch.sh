#!/usr/bin/env bash
# Prints 32 or 64: which build of the product Wine runs on this machine.
#   wine-arch.sh          the answer
#   wine-arch.sh --why    the answer, a blank and the reason for it
#
# 32 where Wine's 32-bit loader starts, else 64: a kernel without 32-bit
# support, or a system without the 32-bit libraries, answers "Exec format
# error" or nothing at all, and there only the 64-bit build runs, under
# wine64 in a 64-bit prefix. QUILLFEN_WINE_ARCH=32 or 64 forces the answer,
# so that either path can be tried wherever it can run.
set -euo pipefail
# Debian's wine32 package puts the 32-bit loader here; /usr/bin/wine only
# chooses between the two loaders.
loader32=/usr/lib/wine/wine
case "${QUILLFEN_WINE_ARCH:-}" in
  32 | 64)
    arch=$QUILLFEN_WINE_ARCH
    why="QUILLFEN_WINE_ARCH=$arch asks for it"
    ;;
  "")
    if error=$("$loader32" --version 2>&1 >/dev/null); then
      arch=32
      why="Wine starts 32-bit programs here"
    else
      arch=64
      why="Wine cannot start 32-bit programs on this machine ($loader32: ${error##*: })"
      [ -e "$loader32" ] || why="Wine cannot start 32-bit programs on this machine (no $loader32)"
    fi
    ;;
  *)
    echo "QUILLFEN_WINE_ARCH must be 32 or 64, not '$QUILLFEN_WINE_ARCH'" >&2
    exit 2
    ;;
esac
if [ "${1:-}" = --why ]; then echo "$arch $why"; else echo "$arch"; fi
