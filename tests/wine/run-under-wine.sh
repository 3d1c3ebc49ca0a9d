#!/usr/bin/env bash
# Runs a Windows test program under Wine, in a Wine prefix of its own beside the program.
# Usage: run-under-wine.sh PROGRAM.exe [ARGS...]
set -euo pipefail
program=$1
shift
export WINEPREFIX=${ORV_WINEPREFIX:-$(cd "$(dirname "$program")" && pwd)/wineprefix-$(basename "$program" .exe)}
source "$(dirname "$0")/wine-env.sh"
wine_prefix_ready
status=0
ORV_CONTRACT_SUITE=1 "$wine" "$program" "$@" || status=$?
wine_stop
exit $status
