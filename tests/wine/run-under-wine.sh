#!/usr/bin/env bash
# Runs a Windows test program under Wine, in a Wine prefix of its own beside the program; with
# ORV_WINE_VERSIONS (win98,winxp...), once as Wine reports each of those Windows versions.
# Usage: run-under-wine.sh PROGRAM.exe [ARGS...]
set -euo pipefail
program=$1
shift
export WINEPREFIX=${ORV_WINEPREFIX:-$(cd "$(dirname "$program")" && pwd)/wineprefix-$(basename "$program" .exe)}
source "$(dirname "$0")/wine-env.sh"
wine_prefix_ready
status=0
if [ -z "${ORV_WINE_VERSIONS:-}" ]; then
  ORV_CONTRACT_SUITE=1 "$wine" "$program" "$@" || status=$?
else
  for version in ${ORV_WINE_VERSIONS//,/ }; do
    echo "== as Windows reports itself: $version"
    wine_version "$version"
    ORV_CONTRACT_SUITE=1 "$wine" "$program" "$@" || status=$?
  done
  "$wine" reg delete 'HKCU\Software\Wine' /v Version /f > /dev/null 2>&1 || true
fi
wine_stop
exit $status
