#!/usr/bin/env bash
# The executable must run on a bare Windows: it may import only the system's
# own DLLs, and its header asks for Windows 4.0. It is hardened (NX, dynamic
# base with its relocation table, terminal-server aware) and holds no link
# time stamp, so that the same sources give the same bytes.
set -euo pipefail
exe=$1
allowed='^(KERNEL32|USER32|GDI32|COMCTL32|SHELL32|ADVAPI32|msvcrt)\.dll$'
headers=$(TZ=UTC i686-w64-mingw32-objdump -p "$exe")
imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$headers")
echo "$imports"
[ -n "$imports" ] || { echo "no import table found"; exit 1; }
if echo "$imports" | grep -Eiv "$allowed"; then
  echo "imports a DLL that is not the system's own"
  exit 1
fi
expect() { grep -Eq "$1" <<<"$headers" || { echo "header lacks: $1"; exit 1; }; }
expect 'file format pei-i386'
expect '^Subsystem\s+0*2\s' # GUI
for field in OSystem Subsystem; do
  expect "^Major${field}Version\s+4$"
  expect "^Minor${field}Version\s+0$"
done
for flag in DYNAMIC_BASE NX_COMPAT TERMINAL_SERVICE_AWARE; do expect "^\s+$flag$"; done
expect '^Time/Date\s+Thu Jan  1 00:00:00 1970$'
i686-w64-mingw32-objdump -h "$exe" | grep -q ' \.reloc ' || { echo "no relocation table"; exit 1; }
