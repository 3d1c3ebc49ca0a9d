#!/usr/bin/env bash
# Start-up to the main window under Wine, Windows XP reported, the chip found through the
# stand-in detection driver: from the program's start until its main window "Setup" is shown.
# Beside it, a minimal dialog program showing the same window without the start-up (the dialog
# viewer). Five starts of each, the median printed. Start-up has no fixed wait on this route.
# Usage: tests/bench/startup-bench.sh   (after the win64 build)
set -euo pipefail
cd "$(dirname "$0")/../.."
bin=$PWD/build/win64
export WINEPREFIX=$bin/tests/wineprefix-startup-bench
source tests/wine/wine-env.sh
wine_prefix_ready
trap wine_stop EXIT
wine_version winxp
disc="$WINEPREFIX/drive_c/BenchDisc"
rm -rf "$disc"
mkdir -p "$disc"
cp "$bin/program/Setup.exe" "$disc/SETUP.EXE"
cp "$bin/tests/standin-drivers/orvainfo-maker.sys" "$disc/orvainfo.sys"
cp "$bin/tools/dialog-viewer/dialog-viewer.exe" "$bin/tools/ui-driver/ui-driver.exe" "$disc/"
printf '[InstallOption]\r\n' > "$disc/setup.ini"

# seconds PROGRAM ARGS...: from the program's start until the window "Setup" is shown.
seconds() {
  local start end waiter program
  "$wine" 'C:\BenchDisc\ui-driver.exe' wait Setup 30000 > /dev/null 2>&1 &
  waiter=$!
  sleep 0.5  # the waiter is up and polling
  start=$EPOCHREALTIME
  (cd "$disc" && "$wine" "$@" > /dev/null 2>&1) &
  program=$!
  wait "$waiter"
  end=$EPOCHREALTIME
  "$wine" 'C:\BenchDisc\ui-driver.exe' click Setup 2 > /dev/null 2>&1 || true
  wait "$program" || true
  python3 -c "print(f'{$end - $start:.3f}')"
}

median() { printf '%s\n' "$@" | sort -n | sed -n "$(( ($# + 1) / 2 ))p"; }

"$wine" 'C:\BenchDisc\ui-driver.exe' list nothing > /dev/null 2>&1 || true  # warm the server
setup=() viewer=()
for run in 1 2 3 4 5; do
  setup+=("$(seconds 'C:\BenchDisc\SETUP.EXE')")
  viewer+=("$(seconds 'C:\BenchDisc\dialog-viewer.exe' 102)")
done
s=$(median "${setup[@]}")
v=$(median "${viewer[@]}")
python3 -c "print(f'start-up to the main window under Wine (XP, chip found): {$s:.3f} s, the same window shown by a minimal dialog program: {$v:.3f} s, ratio {$s / $v:.2f}')"
