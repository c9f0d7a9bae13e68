#!/usr/bin/env bash
# The executable must run on a bare Windows: it may import only the system's
# own DLLs, and its header asks for the oldest Windows of its kind (4.0 for
# the 32-bit build, 5.2 for the 64-bit one: XP x64 and Server 2003). It is
# hardened (NX, dynamic base with its relocation table, terminal-server aware,
# and high-entropy addresses where the build is 64-bit) and holds no link
# time stamp, so that the same sources give the same bytes.
set -euo pipefail
exe=$1
allowed='^(KERNEL32|USER32|GDI32|COMCTL32|SHELL32|ADVAPI32|msvcrt)\.dll$'
# The 64-bit objdump reads both kinds of executable.
headers=$(TZ=UTC x86_64-w64-mingw32-objdump -p "$exe")
imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$headers")
echo "$imports"
[ -n "$imports" ] || { echo "no import table found"; exit 1; }
if echo "$imports" | grep -Eiv "$allowed"; then
  echo "imports a DLL that is not the system's own"
  exit 1
fi
expect() { grep -Eq "$1" <<<"$headers" || { echo "header lacks: $1"; exit 1; }; }
flags="DYNAMIC_BASE NX_COMPAT TERMINAL_SERVICE_AWARE"
if grep -q 'file format pei-x86-64' <<<"$headers"; then
  major=5 minor=2 flags="$flags HIGH_ENTROPY_VA"
else
  expect 'file format pei-i386'
  major=4 minor=0
fi
echo "$(sed -n 's/^.*file format //p' <<<"$headers" | head -1): $flags, version $major.$minor"
expect '^Subsystem\s+0*2\s' # GUI
for field in OSystem Subsystem; do
  expect "^Major${field}Version\s+$major$"
  expect "^Minor${field}Version\s+$minor$"
done
for flag in $flags; do expect "^\s+$flag$"; done
expect '^Time/Date\s+Thu Jan  1 00:00:00 1970$'
x86_64-w64-mingw32-objdump -h "$exe" | grep -q ' \.reloc ' || { echo "no relocation table"; exit 1; }
