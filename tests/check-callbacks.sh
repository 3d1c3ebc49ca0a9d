#!/usr/bin/env bash
# No function is cast to a procedure type of Windows (window, dialog, enumeration, timer, hook,
# thread, fault filter or handler, installable driver), nor to void*, from which it could become
# one: a procedure handed to Windows is handed over as it is declared, so that the i686 compiler
# checks its calling convention (the callback_convention tests show that it refuses a procedure
# declared without one). Reads every C and C++ source of the project.
set -euo pipefail
cd "$(dirname "$0")/.."
procedure='(WNDPROC|DLGPROC|[A-Z]*ENUMPROC[AW]?|PROPENUMPROC[AW]?|TIMERPROC|HOOKPROC|SENDASYNCPROC|GRAYSTRINGPROC|DRAWSTATEPROC|LPTOP_LEVEL_EXCEPTION_FILTER|PTOP_LEVEL_EXCEPTION_FILTER|PVECTORED_EXCEPTION_HANDLER|LPTHREAD_START_ROUTINE|PTHREAD_START_ROUTINE|PAPCFUNC|DRIVERPROC|LPDRIVERPROC)'
casts="(_cast[[:space:]]*<[[:space:]]*${procedure}[[:space:]]*>|\\([[:space:]]*${procedure}[[:space:]]*\\)[[:space:]]*&?[[:space:]]*[A-Za-z_(]|reinterpret_cast[[:space:]]*<[[:space:]]*(const[[:space:]]+)?void[[:space:]]*\\*[[:space:]]*>)"
found=$(git ls-files -- '*.cpp' '*.h' '*.c' | xargs grep -nE "$casts" || true)
if [ -n "$found" ]; then
  echo "check-callbacks: a function cast to a procedure type, or to void*:" >&2
  echo "$found" >&2
  exit 1
fi
echo "check-callbacks: no cast to a procedure type or to void* in $(git ls-files -- '*.cpp' '*.h' '*.c' | wc -l) sources"
