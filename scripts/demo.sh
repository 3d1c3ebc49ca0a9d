#!/usr/bin/env bash
# Builds the lab tool and runs it on the sample disc, on a simulated Windows 98 SE machine with
# the ORV6490 installed: the user opens the About box, presses "Install Device Driver", chooses
# the WDM driver; the launcher stages it below Program Files, points the INF files in the
# Windows INF folders at it, and starts the staged driver setup program.
# Any further arguments go to setup-sim (for example --args "/DRIVER").
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build
cmake --preset host > /dev/null
cmake --build --preset host --target setup-sim > /dev/null
exec build/host/tools/setup-sim/setup-sim --machine examples/machines/win98se --disc examples/disc \
  --dialog 102=syscommand:0x10,click:3 --dialog 100=click:1 --dialog 130=click:1005,click:1 "$@"
