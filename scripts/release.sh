#!/usr/bin/env bash
# Builds the product from scratch in fresh build folders, the 32-bit and the
# 64-bit executable, and packs them for download: dist/Quillfen-1.03.zip
# (both executables and a read-me for users) and dist/SHA256SUMS. Two runs
# from clones in any two folders give the same bytes, as long as the
# toolchain is the same.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

version=1.03
build=build/release
rm -rf "$build" dist
bash scripts/build-product.sh 32 "$build/win32"
bash scripts/build-product.sh 64 "$build/win64"

mkdir dist
zip=Quillfen-$version.zip
python3 scripts/package_release.py "$build/win32/Quillfen.exe" "$build/win64/Quillfen.exe" \
  docs/README.txt "dist/$zip"
(cd dist && sha256sum "$zip" >SHA256SUMS)
cat dist/SHA256SUMS
