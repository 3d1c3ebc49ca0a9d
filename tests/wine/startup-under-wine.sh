#!/usr/bin/env bash
# Runs the launcher's start-up on the real Win32 backend under Wine, once for every Windows
# version Wine can report, from a disc folder on drive C:, and checks what it did: the Windows
# class, the folder and options it found, the command line, and the audio settings.
# Then the real Setup.exe starts and ends on every version without a window when told NO_MSG.
# Usage: startup-under-wine.sh startup_probe.exe Setup.exe
set -euo pipefail
probe=$1
setup=$2
export WINEPREFIX=${ORV_WINEPREFIX:-$(cd "$(dirname "$probe")" && pwd)/wineprefix-startup}
source "$(dirname "$0")/wine-env.sh"
wine_prefix_ready
trap wine_stop EXIT

disc="$WINEPREFIX/drive_c/Orvanta Disc"
windows="$WINEPREFIX/drive_c/windows"
rm -rf "$disc"
mkdir -p "$disc"
cp "$probe" "$disc/SETUP.EXE"
printf '[InstallOption]\r\nDriverOnly=1\r\nInstallWDMUDACodecDriver=1\r\nWindowsMEDriverAskUser=1\r\n[Default]\r\nUsingCDDA=1\r\n' > "$disc/setup.ini"

failures=0
check() {  # check VERSION EXPECTED-CLASS
  local version=$1 expected=$2 output before=$failures
  wine_version "$version"
  rm -f "$windows/OVCDPLAY.INI"
  output=$(cd "$disc" && ORV_PROBE_CHIP=codec "$wine" 'C:\Orvanta Disc\SETUP.EXE' /speaker 2>&1 | tr -d '\r')
  local want=("class: $expected" 'sourceDir: C:\Orvanta Disc\' 'commandLine: /SPEAKER'
              'options: DriverOnly=1 WindowsMEDriverAskUser=0 WindowsMEDriver=1 InstallWDMUDACodecDriver=1 udaMode=1'
              'main dialog')
  for line in "${want[@]}"; do
    if ! grep -qxF -- "$line" <<< "$output"; then
      echo "FAIL $version: no line \"$line\" in:"; echo "$output"; failures=$((failures + 1))
    fi
  done
  if ! tr -d '\r' < "$windows/OVCDPLAY.INI" | grep -qx 'UsingCDDA=1'; then
    echo "FAIL $version: OVCDPLAY.INI was not written"; failures=$((failures + 1))
  fi
  [ "$failures" -eq "$before" ] && echo "ok $version: $expected"
  return 0
}
check win95 "isWin95"
check win98 "isWin98 isWin98SE"
check winme "isWinME"
check nt40 "isNT4"
check win2k "isNT5"
check winxp "isNT5 isWinXP"

# Without a chip and with NO_MSG: no window, nothing written.
wine_version winxp
rm -f "$windows/OVCDPLAY.INI"
output=$(cd "$disc" && "$wine" 'C:\Orvanta Disc\SETUP.EXE' /driver no_msg 2>&1 | tr -d '\r')
if grep -q 'no-chip notice\|main dialog' <<< "$output" || [ -f "$windows/OVCDPLAY.INI" ]; then
  echo "FAIL no_msg: $output"; failures=$((failures + 1))
else
  echo "ok no chip with NO_MSG: nothing shown, nothing written"
fi
# Real detection: the PCI bus scan where Windows 9x is reported (the port instructions fault
# under Wine and are passed over), the detection driver on the NT family (no driver file on this
# disc). Either way it must end, and find no chip.
extra=0
for version in win95 win98 winme nt40 win2k winxp; do
  wine_version "$version"
  output=$(cd "$disc" && timeout 120 "$wine" 'C:\Orvanta Disc\SETUP.EXE' 2>&1 | tr -d '\r') || true
  if grep -q 'done' <<< "$output" && grep -qx 'no-chip notice' <<< "$output"; then
    echo "ok detection on $version: $(grep done <<< "$output"), no chip"
  else
    echo "FAIL detection on $version:"; echo "$output"; failures=$((failures + 1))
  fi
  extra=$((extra + 1))
done

# The real entry point: no chip can be detected here yet, and NO_MSG ends it quietly.
cp "$setup" "$disc/REALSETUP.EXE"
for version in win95 win98 winme nt40 win2k winxp; do
  wine_version "$version"
  status=0
  (cd "$disc" && timeout 60 "$wine" 'C:\Orvanta Disc\REALSETUP.EXE' /driver no_msg) || status=$?
  if [ $status -ne 0 ] || [ -f "$windows/OVCDPLAY.INI" ]; then
    echo "FAIL Setup.exe on $version: status $status"; failures=$((failures + 1))
  else
    echo "ok Setup.exe on $version ends quietly"
  fi
done
echo "$(( 13 + extra - failures )) passed, $failures failed"
[ "$failures" -eq 0 ]
