#!/usr/bin/env bash
# Which way the code depends, checked on the sources. Each folder may include only from the
# folders listed for it; <windows.h> and the real backend's headers appear only in the real
# backend and in the Windows-only programs listed below. The build's libraries carry the same
# direction in their link dependencies; this catches what a shared include path cannot.
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
)
# Windows-only programs: the launcher's entry point and the test programs run under Wine.
windows_programs=(
  platform/win32/WinMain.cpp
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

while IFS= read -r file; do
  folder=${file%%/*}
  case "$file" in
    platform/win32/*) is_windows_program "$file" && continue ;;
  esac
  # The includes of our own folders, and the Windows header.
  while IFS= read -r line; do
    target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^>"]*)[>"].*/\1/' <<< "$line")
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
  done < <(grep -E '^[[:space:]]*#[[:space:]]*include' "$file" || true)
done < <(git ls-files -- '*.cpp' '*.h')

[ $status -eq 0 ] && echo "layering: every include goes the permitted way"
exit $status
