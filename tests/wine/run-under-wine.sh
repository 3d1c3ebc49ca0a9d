#!/usr/bin/env bash
# Runs a Windows test program under Wine (64-bit), in a Wine prefix of its own beside the
# program, headless. Usage: run-under-wine.sh PROGRAM.exe [ARGS...]
set -euo pipefail
program=$1
shift
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
export WINEPREFIX=${ORV_WINEPREFIX:-$(cd "$(dirname "$program")" && pwd)/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/.orv-ready" ]; then
  rm -rf "$WINEPREFIX"
  "$wine" wineboot -i > /dev/null 2>&1
  # No display here: Wine's null graphics driver runs windows without pixels.
  "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f > /dev/null 2>&1
  "$wineserver" -w
  touch "$WINEPREFIX/.orv-ready"
fi
status=0
ORV_CONTRACT_SUITE=1 "$wine" "$program" "$@" || status=$?
"$wineserver" -k > /dev/null 2>&1 || true
exit $status
