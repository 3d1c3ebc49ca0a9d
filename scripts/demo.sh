#!/usr/bin/env bash
# Builds the lab tool and shows what the sample disc's setup does: first the matrix, every
# Windows version with each command of the main window on the sample machines, then one run in
# detail: "Install Device Driver" on Windows 98, where the earlier driver is removed, the VxD
# driver staged, the restart accepted, and the restart renames the driver file that was in use.
# Any further arguments go to the detailed run (for example --json).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! { cmake --preset host && cmake --build --preset host --target setup-sim; } > "$log" 2>&1; then
  cat "$log"
  exit 1
fi
tool=build/host/tools/setup-sim/setup-sim
echo "== setup-sim matrix --disc examples/disc --machines examples/machines --commands all"
"$tool" matrix --disc examples/disc --machines examples/machines --commands all
echo
echo "== setup-sim run: Windows 98, Install Device Driver, restart"
exec "$tool" run --machine examples/machines/win98 --disc examples/disc \
  --dialog main=click:3 --dialog restart=click:1000,click:1 --restart "$@"
