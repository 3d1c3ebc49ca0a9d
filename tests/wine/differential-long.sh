#!/usr/bin/env bash
# A long differential run under Wine: generated profile files, wildcard searches and driver INF
# files in every encoding a disc may hold (ANSI, UTF-16, UTF-8 with and without its byte order
# mark), read and written, asked of the simulated machine and of Wine (build/win64 must be
# built). A new seed each run unless given.
# Usage: differential-long.sh [SEED [PROFILES [FOLDERS [INFS]]]]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
seed=${1:-$(date +%s)}
exec "$root/tests/wine/run-under-wine.sh" "$root/build/win64/tests/differential_under_wine.exe" \
  --seed "$seed" --profiles "${2:-20000}" --folders "${3:-4000}" --infs "${4:-5000}"
