#!/usr/bin/env bash
# Builds the lab tool and runs it on the sample disc, on a simulated Windows 98 SE machine with
# the ORV6490 installed: the user opens the About box, presses "Install Device Driver", then
# "Exit".
# Any further arguments go to setup-sim (for example --args "/DRIVER").
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build
cmake --preset host > /dev/null
cmake --build --preset host --target setup-sim > /dev/null
exec build/host/tools/setup-sim/setup-sim --machine examples/machines/win98se --disc examples/disc \
  --dialog 102=syscommand:0x10,click:3,click:2 --dialog 100=click:1 "$@"
