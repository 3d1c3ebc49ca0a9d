#!/usr/bin/env bash
# Checks a built Setup.exe statically: a Windows 4.0 GUI program (runs on Windows 95 and
# NT 4.0) that imports nothing beyond the system DLLs of those systems. With an allow-list
# (tests/pe/windows4-imports.txt) every imported function must be on it, and with the CRTDLL
# import library the list's CRTDLL.DLL functions must be ones that DLL exports.
# Usage: check-pe.sh OBJDUMP Setup.exe [ALLOW-LIST [libcrtdll.a]]
set -euo pipefail
objdump=$1
program=$2
allow_list=${3:-}
crtdll_library=${4:-}
headers=$("$objdump" -p "$program")
fail() { echo "check-pe: $program: $*" >&2; exit 1; }
grep -Eq 'MajorSubsystemVersion[[:space:]]+4$' <<< "$headers" || fail "subsystem version is not 4"
grep -Eq 'MinorSubsystemVersion[[:space:]]+0$' <<< "$headers" || fail "subsystem minor version is not 0"
grep -Eq 'Subsystem[[:space:]]+0+2[[:space:]]' <<< "$headers" || fail "not a GUI program"
allowed='^(KERNEL32|USER32|GDI32|ADVAPI32|WINMM|COMCTL32|msvcrt|crtdll)\.dll$'
dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<< "$headers")
for dll in $dlls; do
  grep -Eiq "$allowed" <<< "$dll" || fail "imports $dll"
done
if [ -z "$allow_list" ]; then
  echo "check-pe: $program: Windows 4.0 GUI program importing $(echo $dlls | tr '\n' ' ')"
  exit 0
fi

# "DLL FUNCTION" for every function imported by name; an import by ordinal is named "#N".
imports=$(awk '
  /^[[:space:]]*DLL Name:/ { dll = toupper($3); next }
  /^[[:space:]]*vma:/ { next }
  dll != "" && /^\t[0-9a-f]+\t/ {
    if (NF >= 3) { print dll, $3 } else { print dll, "#" $2 }
  }
  /^$/ { if (dll != "") dll = "" }
' <<< "$headers" | LC_ALL=C sort -u)
[ -n "$imports" ] || fail "no imported function found (objdump's import table not read)"
listed=$(grep -Ev '^[[:space:]]*(#|$)' "$allow_list" | awk '{ print toupper($1), $2 }' | LC_ALL=C sort -u)
unlisted=$(LC_ALL=C comm -23 <(echo "$imports") <(echo "$listed"))
if [ -n "$unlisted" ]; then
  fail "imports functions that are not on $allow_list:
$unlisted"
fi
if [ -n "$crtdll_library" ]; then
  exported=$("$objdump" -t "$crtdll_library" | grep -o '__imp__[A-Za-z0-9_]*' | sed 's/^__imp__//' |
    LC_ALL=C sort -u)
  missing=$(grep -E '^CRTDLL\.DLL ' <<< "$listed" | cut -d' ' -f2 | LC_ALL=C comm -23 - <(echo "$exported"))
  [ -z "$missing" ] || fail "$allow_list lists functions CRTDLL.DLL does not export: $missing"
  grep -q '^CRTDLL\.DLL ' <<< "$imports" || fail "does not take its C runtime from CRTDLL.DLL"
fi
echo "check-pe: $program: Windows 4.0 GUI program; $(wc -l <<< "$imports") functions imported" \
  "from $(echo $dlls), every one on the list of Windows 95 and NT 4.0"
