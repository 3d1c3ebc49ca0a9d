#!/usr/bin/env bash
# The shipped Setup.exe never contains the simulated board: no trace of the machine-description
# reader or of the variable that names the description. The test-only build of the same entry
# point must have every trace, so that the check looks for what is really there.
# Usage: check-shipped-board.sh SHIPPED-Setup.exe simulated_board_setup.exe
set -euo pipefail
shipped=$1
flavour=$2
traces=(
  "ORV_SIM_MACHINE"                # the board's variable
  "machine.ini: [PCI] "            # the description reader's messages
  "is not BUS:DEVICE.FUNCTION in hex"
  "does not start with VENDOR:DEVICE in hex"
)
status=0
for trace in "${traces[@]}"; do
  if ! grep -qaF -- "$trace" "$flavour"; then
    echo "check-shipped-board: the test-only build has no \"$trace\": the check would prove nothing" >&2
    status=1
  fi
  if grep -qaF -- "$trace" "$shipped"; then
    echo "check-shipped-board: $shipped contains \"$trace\"" >&2
    status=1
  fi
done
[ $status -eq 0 ] && echo "check-shipped-board: $shipped has none of the ${#traces[@]} traces of the simulated board"
exit $status
