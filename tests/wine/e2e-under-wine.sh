#!/usr/bin/env bash
# End-to-end scenarios: the real Setup.exe under Wine, driven through its dialogs by the UI
# driver, and the same disc with the same answers on the simulated machine; their end states
# are compared. Each scenario runs in a Wine prefix of its own, copied from a template booted
# once ("template" boots it).
# Usage: e2e-under-wine.sh SCENARIO TEST-FOLDER SOURCE-FOLDER Setup.exe simulated_board_setup.exe \
#          standin_program.exe ui-driver.exe DRIVER-FOLDER SETUP-SIM orvdrv.dll
# SCENARIO: template, or a scenario of e2e/scenarios.sh or e2e/routes.sh by its name with "-"
# for "_" (xp-driver for scenario_xp_driver).
set -uo pipefail
name=$1
bin=$(cd "$2" && pwd)
source=$(cd "$3" && pwd)
setup_exe=$4
board_setup_exe=$5
standin_exe=$6
ui_driver_exe=$7
drivers=$8
setup_sim=$9
driver_library=${10}
here=$(dirname "$0")
source "$here/e2e/common.sh"
source "$here/e2e/scenarios.sh"
source "$here/e2e/pairs.sh"
source "$here/e2e/routes.sh"

boot_template
if [ "$name" = template ]; then
  if [ -f "$(template_prefix)/.orv-ready" ] && [ -d "$(template_prefix)/drive_c/windows" ]; then
    echo "1 passed, 0 failed"
    exit 0
  fi
  echo "0 passed, 1 failed: the template prefix did not boot"
  exit 1
fi
started=$SECONDS
if ! declare -F "scenario_${name//-/_}" > /dev/null; then
  echo "no scenario $name"
  exit 2
fi
"scenario_${name//-/_}"
scenario_end
echo "$name: $((SECONDS - started)) s"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
