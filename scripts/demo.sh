#!/usr/bin/env bash
# The main job for a newcomer: installs what is needed, builds the Windows
# executable, and runs it in batch mode under Wine on a demo cookie folder,
# printing the log and what changed on disk.
#
# It runs the 32-bit build where Wine starts 32-bit programs, else the 64-bit
# one (scripts/wine-arch.sh; QUILLFEN_WINE_ARCH=32 or 64 forces a choice).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
choice=$(scripts/wine-arch.sh --why)
read -r QUILLFEN_WINE_ARCH why <<<"$choice"
export QUILLFEN_WINE_ARCH
bash scripts/build-product.sh "$QUILLFEN_WINE_ARCH"
if [ "$QUILLFEN_WINE_ARCH" = 64 ]; then
  echo "Running the 64-bit build, build/win64/Quillfen.exe, with wine64: $why."
fi
exec python3 scripts/demo.py "build/win$QUILLFEN_WINE_ARCH/Quillfen.exe" "build/demo$QUILLFEN_WINE_ARCH"
