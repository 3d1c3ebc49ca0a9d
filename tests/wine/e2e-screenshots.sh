#!/usr/bin/env bash
# Photographs the real Setup.exe under Wine in a virtual X display, as the end-to-end scenarios
# meet its windows: the main window on a detected chip (Windows XP, the stand-in detection
# driver answering with the maker's chip), the no-chip notice, the architecture question and
# the restart offer (98 SE, the simulated board), the jack options (the WebSetup route), the
# codec variant's main window (NT 4.0), the About box, and a message box. The pictures go to
# docs/screenshots/run-*.png, which the README shows.
# Usage: tests/wine/e2e-screenshots.sh [OUTPUT-FOLDER]   (after building the win64 preset)
set -uo pipefail
cd "$(dirname "$0")/../.."
out=${1:-docs/screenshots}
bin=$(pwd)/build/win64/tests
source=$(pwd)
setup_exe=$(pwd)/build/win64/program/Setup.exe
board_setup_exe=$bin/simulated_board_setup.exe
standin_exe=$bin/standin_program.exe
ui_driver_exe=$(pwd)/build/win64/tools/ui-driver/ui-driver.exe
drivers=$bin/standin-drivers
for file in "$setup_exe" "$board_setup_exe" "$standin_exe" "$ui_driver_exe" "$drivers/orvainfo-maker.sys"; do
  [ -f "$file" ] || { echo "build the win64 preset first ($file is missing)" >&2; exit 1; }
done
sudo=
[ "$(id -u)" -ne 0 ] && sudo=sudo
need=()
for package in imagemagick xvfb x11-apps; do
  dpkg-query -W -f='${Status}' "$package" 2> /dev/null | grep -q "install ok installed" || need+=("$package")
done
if [ ${#need[@]} -gt 0 ]; then
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${need[@]}" > /dev/null
fi

here=tests/wine
source "$here/e2e/common.sh"
source "$here/e2e/scenarios.sh"
source "$here/e2e/pairs.sh"

# A template of its own, drawn by Wine's X11 driver in a virtual desktop (the scenarios' draws
# nothing), so that dialogs get their frames without a window manager.
template_prefix() { echo "$bin/wineprefix-screens-template"; }
template=$(template_prefix)
if [ ! -f "$template/.orv-ready" ]; then
  rm -rf "$template"
  WINEPREFIX=$template "$wine" wineboot -i > /dev/null 2>&1
  WINEPREFIX=$template "$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f > /dev/null 2>&1
  WINEPREFIX=$template "$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f > /dev/null 2>&1
  WINEPREFIX=$template "$wineserver" -w
  touch "$template/.orv-ready"
fi

display=:96
Xvfb $display -screen 0 1024x768x24 -nolisten tcp > /dev/null 2>&1 &
xvfb=$!
trap 'wine_stop; kill $xvfb 2> /dev/null' EXIT
export DISPLAY=$display
sleep 1
mkdir -p "$out"

# shoot TITLE NAME: the window of that title, once it is idle, as $out/run-NAME.png.
shoot() {
  local left top right bottom
  if ! drive wait "$1" 30000 > /dev/null; then
    echo "no window \"$1\" for $2" >&2
    return 1
  fi
  sleep 1  # drawn
  read -r left top right bottom < <(drive rect "$1")
  /usr/bin/import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage \
    "$out/run-$2.png"
  echo "$out/run-$2.png: \"$1\" ($((right - left))x$((bottom - top)))"
}

# Windows XP with the maker's chip: the main window, then the About box from its system menu.
scenario_begin screens-xp winxp
build_disc "$setup_exe" maker
disc_read_only
start_setup
shoot "$kMain" main-xp
drive syscommand "$kMain" 16
shoot "About Setup" about
drive click "About Setup" 1 gone "About Setup" 5000 click "$kMain" 2
wait_setup
wine_stop

# Windows XP without the chip: the notice.
scenario_begin screens-no-chip winxp
build_disc "$setup_exe" none
disc_read_only
start_setup
shoot "$kNoChip" no-chip
drive click "$kNoChip" 1
wait_setup
wine_stop

# Windows XP, "Install Device Driver" from a disc without its setup program for 2000 and XP.
scenario_begin screens-message winxp
build_disc "$setup_exe" maker
rm -f "$disc/W2KSetup.dat"
disc_read_only
start_setup
drive wait "$kMain" 30000 click "$kMain" 3
sleep 1
shoot Setup message-box
drive click Setup 1
wait_setup
wine_stop

# Windows 98 SE on the simulated board: the architecture question, then the restart offer.
scenario_begin screens-98se win98
build_disc "$board_setup_exe"
disc_read_only
mkdir -p "$prefix_c/windows/system"
pair_machine win98
start_setup
drive wait "$kMain" 30000 click "$kMain" 3
shoot "$kArchitecture" architecture
drive click "$kArchitecture" 1004 click "$kArchitecture" 1
shoot "$kRestart" restart
drive click "$kRestart" 1001 click "$kRestart" 1
wait_setup
wine_stop

# The WebSetup route on Windows XP: the jack options.
scenario_begin screens-websetup winxp
build_disc "$setup_exe" maker
set_option WebSetup 1
set_option InstallWDMDriver 1
disc_read_only
start_setup
shoot "$kJackOptions" jack-options
drive click "$kJackOptions" 2
wait_setup
wine_stop

# NT 4.0 with the ORV5970 behind an Intel controller: the codec variant's main window.
scenario_begin screens-codec nt40
build_disc "$setup_exe" codec
set_option InstallWDMUDACodecDriver 1
disc_read_only
start_setup
shoot "$kMain" main-codec-nt40
drive click "$kMain" 2
wait_setup
wine_stop
rm -rf "$bin/e2e/screens-"*
