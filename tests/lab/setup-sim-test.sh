#!/usr/bin/env bash
# The lab tool end to end: start-up on every sample machine, the no-chip ends, and clear
# refusals of bad input without writing anything.
set -uo pipefail
tool=$1
examples=$2
passed=0
failed=0
expect() {  # expect NAME PATTERN OUTPUT
  if grep -q -- "$2" <<< "$3"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL $1: no \"$2\" in:"
    echo "$3"
  fi
}
for machine in win95 win98 win98se winme nt4 win2000 winxp; do
  out=$("$tool" --machine "$examples/machines/$machine" --disc "$examples/disc" --args /speaker 2>&1)
  case $machine in win2000|winxp) program=W2KSetup.dat ;; *) program=MESetup.dat ;; esac
  expect "$machine" "dialog 102 \"\" opens" "$out"
  expect "$machine" "commandLine: /SPEAKER" "$out"
  expect "$machine" "OVCDPLAY.INI \[CD PLAYER\] UsingCDDA=1" "$out"
  expect "$machine" "WinExec \"D:\\\\$program /SPEAKER\"" "$out"
  expect "$machine" "exit with code 0" "$out"
done
out=$("$tool" --machine "$examples/machines/win98" --disc "$examples/disc" --pci 00:0B.0=none --dialog 306=click:1 2>&1)
expect "no chip" "dialog 306 \"Information - Can not find audio chip\" ends with 1" "$out"
out=$("$tool" --machine "$examples/machines/winxp" --disc "$examples/disc" --pci 00:0B.0=none --dialog 306=close 2>&1)
expect "no chip on NT" "dialog 306 \"Information - Can not find audio chip\" ends with 2" "$out"
expect "driver removed" 'service  "orvainfo" removed' "$out"
out=$("$tool" --machine "$examples/machines/win98" --disc "$examples/disc" --pci 00:0B.0=none --args "/driver no_msg" 2>&1)
expect "no_msg" "start-up returned" "$out"
if grep -q "dialog" <<< "$out"; then failed=$((failed + 1)); echo "FAIL no_msg showed a dialog"; fi
out=$("$tool" --machine "$examples/machines/win98se" --disc "$examples/disc" --pci 01:05.0=none --pci "00:0B.0=7C5A:0111" --dialog 102=click:3 --dialog 130=click:1004,click:1 --dialog 132=click:1001,click:1 2>&1)
expect "added device" "click 3 \"Install Device Driver\" in dialog 102" "$out"
expect "restart declined" "dialog 102 \"Setup\" ends with 1" "$out"
out=$("$tool" --machine "$examples/machines/win98se" --disc "$examples/disc" --dialog 102=click:2 2>&1)
expect "exit button" "dialog 102 \"Setup\" ends with 2" "$out"
out=$("$tool" --machine "$examples/machines/win98se" --disc "$examples/disc" --dialog 102=click:3 --dialog 130=click:1005,click:1 2>&1)
expect "wdm on 98 SE" 'copy D:\\Win_98SE\\drv\\OVAUDIO.INF -> C:\\WINDOWS\\INF\\OVAUDIO.INF' "$out"
expect "wdm on 98 SE" 'WinExec "C:\\PROGRA~1\\ORVANTA\\WIN_ME\\MESetup.dat /DRIVER"' "$out"
out=$("$tool" --machine "$examples/machines/win98" --disc "$examples/disc" --dialog 102=click:3 --dialog 132=click:1000,click:1 2>&1)
expect "vxd on 98" 'delete key HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_7C5A&DEV_0111' "$out"
expect "vxd on 98" 'delete C:\\WINDOWS\\INF\\OTHER\\OVPCI032.INF' "$out"
expect "vxd on 98" 'WININIT.INI \[rename\] C:\\WINDOWS\\SYSTEM\\OVAUDIO.OLD=C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD' "$out"
expect "vxd on 98" 'renamed C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD -> C:\\WINDOWS\\SYSTEM\\OVAUDIO.OLD' "$out"
out=$("$tool" --machine "$examples/machines/winme" --disc "$examples/disc" --dialog 102=click:3 2>&1)
expect "wdm on ME" 'WinExec "D:\\MESetup.dat /DRIVER"' "$out"
out=$("$tool" --machine "$examples/machines/nt4" --disc "$examples/disc" --dialog 102=click:3 --dialog 132=click:1001,click:1 2>&1)
expect "nt4 registration" 'copy D:\\NT40\\drv\\ovpci.sys -> C:\\WINNT\\system32\\drivers\\ovpci.sys' "$out"
expect "nt4 registration" 'Drivers32 "aux" = REG_SZ "ov-pci.dll"' "$out"
expect "nt4 registration" 'Drivers32 "midi1" = REG_SZ "ov-pci.dll"' "$out"
expect "nt4 registration" 'ov-pci.dll: DRV_CONFIGURE' "$out"
expect "nt4 registration" 'Sonavex Driver "UninstallString" = REG_SZ "C:\\WINNT\\OVUninst.exe"' "$out"
# The same machine with a mixer of the maker's driver: the files are replaced at the restart.
active=$(mktemp -d)
cp -r "$examples/machines/nt4" "$active/"
sed -i 's/^\[Mixers\]/&\n9=orvanta pci mixer/' "$active/nt4/machine.ini"
out=$("$tool" --machine "$active/nt4" --disc "$examples/disc" --dialog 102=click:3 --dialog 132=click:1 2>&1)
rm -rf "$active"
expect "nt4 active driver" 'move at next start C:\\WINNT\\System32\\ov-pci.new -> C:\\WINNT\\System32\\ov-pci.dll' "$out"
expect "nt4 active driver" 'renamed C:\\WINNT\\System32\\Drivers\\ovpci.new -> C:\\WINNT\\System32\\Drivers\\ovpci.sys' "$out"
if grep -q "Drivers32" <<< "$out"; then failed=$((failed + 1)); echo "FAIL nt4 active driver: registered"; fi
out=$("$tool" --machine "$examples/machines/win98se" --disc "$examples/disc" 2>&1); status=$?
expect "unscripted dialog" "dialog 102 \"Setup\" is shown with no action left" "$out"
[ $status -eq 3 ] && passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAIL unscripted: status $status"; }
out=$("$tool" --machine "$examples/machines/win98se" --disc "$examples/disc" --language 1028 --dialog 102=click:2 2>&1)
expect "chinese main window" "click 2 \"結束\"" "$out"
out=$("$tool" --machine "$examples/machines/winxp" --disc "$examples/disc" --disc-at '\\fileserver\drivers' --dialog 102=click:2 2>&1)
expect "network share" 'sourceDir: \\\\fileserver\\drivers\\$' "$out"
expect "network share" "dialog 102 \"Setup\" ends with 2" "$out"
out=$("$tool" --machine "$examples/machines/nt4" --disc "$examples/disc" --program '.\SETUP.EXE' --dialog 102=click:2 2>&1)
expect "relative start" 'binary D:\\orvainfo.sys' "$out"
expect "relative start" "dialog 102 \"Setup\" ends with 2" "$out"
out=$("$tool" --machine "$examples/machines/win98se" --disc "$examples/disc" --dialog 102=push:3 2>&1)
expect "bad action" "is not click:CONTROL" "$out"

before=$(cd "$examples" && find . -type f -exec md5sum {} + | sort)
out=$("$tool" --machine "$examples/machines/absent" --disc "$examples/disc" 2>&1); status=$?
expect "missing machine" "no machine folder" "$out"
[ $status -eq 1 ] && passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAIL missing machine: status $status"; }
out=$("$tool" --machine "$examples/machines/win98" --disc "$examples/absent" 2>&1)
expect "missing disc" "no such folder" "$out"
out=$("$tool" --machine "$examples/machines/win98" 2>&1); status=$?
expect "usage" "are required" "$out"
[ $status -eq 2 ] && passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAIL usage: status $status"; }
out=$("$tool" --machine "$examples/machines/win98" --disc "$examples/disc" --pci 00:0B.0=12345:1 2>&1)
expect "bad id" "VENDOR:DEVICE" "$out"
after=$(cd "$examples" && find . -type f -exec md5sum {} + | sort)
[ "$before" = "$after" ] && passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAIL: the examples changed"; }
echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
