#!/usr/bin/env bash
# Which way the code depends, checked on the sources. Each folder may include only from the
# folders listed for it; <windows.h> and the real backend's headers appear only in the real
# backend and in the Windows-only programs listed below. Nothing in platform/ reaches above it:
# the program that composes the real backend with the launcher stands in program/. The build's
# libraries carry the same direction in their link dependencies; this catches what a shared
# include path cannot.
# Usage: check-layering.sh [--as PATH FILE]   (--as: check FILE as if it stood at PATH)
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A allowed=(
  [platform]="platform"
  [app]="app platform"
  [detect]="detect app platform"
  [cleanup]="cleanup app platform"
  [apps]="apps app platform"
  [install]="install apps cleanup app platform"
  [ui]="ui install apps cleanup detect app platform"
  [program]="program ui install apps cleanup detect app platform"
)
# Windows-only programs: Setup.exe and the test programs run under Wine. None stands in platform/.
windows_programs=(
  program/BoardPlatform.cpp
  program/CrtdllRuntime.cpp
  program/WinMain.cpp
  tests/callbacks/ProcedureConventions.cpp
  tests/contract/TestDriverLibrary.cpp
  tests/contract/Win32Main.cpp
  tests/differential/DifferentialMain.cpp
  tests/bench/ProfileBench.cpp
  tests/bench/StagingBench.cpp
  tests/wine/SimulatedBoard.cpp
  tests/wine/StandIn.cpp
  tests/wine/StartupProbe.cpp
  tools/dialog-viewer/main.cpp
  tools/ui-driver/main.cpp
)

status=0
complain() {
  echo "layering: $*" >&2
  status=1
}

is_windows_program() {
  local file=$1 program
  for program in "${windows_programs[@]}"; do
    [ "$file" = "$program" ] && return 0
  done
  return 1
}

include_pattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^>"]*)[>"]'

# check PATH FILE: the includes of FILE, standing at PATH.
check() {
  local file=$1 source=$2 folder=${1%%/*} line target top
  while IFS= read -r line; do
    [[ $line =~ $include_pattern ]] || continue
    target=${BASH_REMATCH[1]}
    if [[ "${target,,}" == "windows.h" || "$target" == platform/win32/* ]]; then
      case "$file" in
        platform/win32/*) ;;
        *) is_windows_program "$file" || complain "$file includes $target (Windows only)" ;;
      esac
      continue
    fi
    [ -n "${allowed[$folder]+x}" ] || continue  # tools and tests sit on top of everything
    top=${target%%/*}
    [ "$top" = "$target" ] && continue  # a system or standard header
    [ -n "${allowed[$top]+x}" ] || [ "$top" = tests ] || continue
    # The simulated machine is a backend: only tests and tools reach it.
    if [[ "$target" == platform/sim/* && "$file" != platform/sim/* ]]; then
      complain "$file includes $target (the simulated machine is for tests and tools)"
      continue
    fi
    [[ " ${allowed[$folder]} " == *" $top "* ]] ||
      complain "$file includes $target ($folder/ may include only: ${allowed[$folder]})"
  done < "$source"
}

for program in "${windows_programs[@]}"; do
  [[ "$program" == platform/* ]] && complain "$program: no program stands in platform/"
done

if [ "${1:-}" = "--as" ]; then
  check "$2" "$3"
else
  while IFS= read -r file; do
    [ -f "$file" ] && check "$file" "$file"
  done < <(git ls-files -- '*.cpp' '*.h' '*.c')
fi

[ $status -eq 0 ] && echo "layering: every include goes the permitted way"
exit $status
