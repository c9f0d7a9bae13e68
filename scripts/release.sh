#!/usr/bin/env bash
# Builds the product from scratch in a fresh build folder and packs it for
# download: dist/Quillfen-1.03.zip (the executable and a read-me for users)
# and dist/SHA256SUMS. Two runs from clones in any two folders give the same
# bytes, as long as the toolchain is the same.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

version=1.03
build=build/release
rm -rf "$build" dist
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
  -DCMAKE_BUILD_TYPE=MinSizeRel -DQUILLFEN_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" >/dev/null

mkdir dist
zip=Quillfen-$version.zip
python3 scripts/package_release.py "$build/Quillfen.exe" docs/README.txt "dist/$zip"
(cd dist && sha256sum "$zip" >SHA256SUMS)
cat dist/SHA256SUMS
