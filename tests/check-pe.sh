#!/usr/bin/env bash
# Checks a built Setup.exe statically: a Windows 4.0 GUI program (runs on Windows 95 and
# NT 4.0) that imports nothing beyond the system DLLs of those systems.
set -euo pipefail
objdump=$1
program=$2
headers=$("$objdump" -p "$program")
fail() { echo "check-pe: $program: $*" >&2; exit 1; }
grep -Eq 'MajorSubsystemVersion[[:space:]]+4$' <<< "$headers" || fail "subsystem version is not 4"
grep -Eq 'MinorSubsystemVersion[[:space:]]+0$' <<< "$headers" || fail "subsystem minor version is not 0"
grep -Eq 'Subsystem[[:space:]]+0+2[[:space:]]' <<< "$headers" || fail "not a GUI program"
allowed='^(KERNEL32|USER32|GDI32|ADVAPI32|WINMM|COMCTL32|msvcrt)\.dll$'
dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<< "$headers")
for dll in $dlls; do
  grep -Eiq "$allowed" <<< "$dll" || fail "imports $dll"
done
echo "check-pe: $program: Windows 4.0 GUI program importing $(echo $dlls | tr '\n' ' ')"
