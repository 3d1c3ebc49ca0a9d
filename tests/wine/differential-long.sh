#!/usr/bin/env bash
# A long differential run under Wine: generated profile files and wildcard searches asked of the
# simulated machine and of Wine (build/win64 must be built). A new seed each run unless given.
# Usage: differential-long.sh [SEED [PROFILES [FOLDERS]]]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
seed=${1:-$(date +%s)}
exec "$root/tests/wine/run-under-wine.sh" "$root/build/win64/tests/differential_under_wine.exe" \
  --seed "$seed" --profiles "${2:-20000}" --folders "${3:-4000}"
