#!/usr/bin/env bash
# The executable must run on a bare Windows: it may import only the system's
# own DLLs.
set -euo pipefail
exe=$1
allowed='^(KERNEL32|USER32|GDI32|COMCTL32|SHELL32|ADVAPI32|msvcrt)\.dll$'
headers=$(i686-w64-mingw32-objdump -p "$exe")
imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$headers")
echo "$imports"
[ -n "$imports" ] || { echo "no import table found"; exit 1; }
if echo "$imports" | grep -Eiv "$allowed"; then
  echo "imports a DLL that is not the system's own"
  exit 1
fi
grep -q 'file format pei-i386' <<<"$headers" || { echo "not a 32-bit executable"; exit 1; }
grep -Eq '^Subsystem\s+0*2\s' <<<"$headers" || { echo "not a GUI-subsystem executable"; exit 1; }
