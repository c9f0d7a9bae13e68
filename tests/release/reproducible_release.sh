#!/usr/bin/env bash
# The release, built twice from copies of the tree in two different folders,
# must come out byte for byte the same, hold the executable that was built,
# and pass its own sums.
#   reproducible_release.sh SOURCE_TREE
set -euo pipefail
source_tree=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

release() {  # release FOLDER
  mkdir -p "$1"
  tar -C "$source_tree" --exclude=./build --exclude=./dist --exclude=./.git -cf - . |
    tar -C "$1" -xf -
  (cd "$1" && bash scripts/release.sh >release.out 2>&1) || { cat "$1/release.out"; exit 1; }
}

first=$work/a
second="$work/a much longer folder name/b"
release "$first"
release "$second"
for output in build/release/win32/Quillfen.exe build/release/win64/Quillfen.exe \
  dist/Quillfen-1.03.zip dist/SHA256SUMS; do
  cmp "$first/$output" "$second/$output" || { echo "FAIL: $output differs"; exit 1; }
done
(cd "$first/dist" && sha256sum --quiet -c SHA256SUMS)
mkdir "$work/unpacked"
python3 -m zipfile -e "$first/dist/Quillfen-1.03.zip" "$work/unpacked"
held=$(cd "$work/unpacked" && find . -type f | sort)
[ "$held" = "$(printf './Quillfen.exe\n./README.txt\n./x64/Quillfen.exe')" ] || { echo "FAIL: zip holds $held"; exit 1; }
cmp "$work/unpacked/Quillfen.exe" "$first/build/release/win32/Quillfen.exe"
cmp "$work/unpacked/x64/Quillfen.exe" "$first/build/release/win64/Quillfen.exe"
echo "PASS: the same bytes from both folders"
