#!/usr/bin/env bash
# The lab tool end to end: start-up on every sample machine, the no-chip ends, the report, the
# matrix and lint of the sample disc, and clear refusals of bad input without writing anything.
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
  out=$("$tool" --journal --machine "$examples/machines/$machine" --disc "$examples/disc" --args /speaker 2>&1)
  case $machine in win2000|winxp) program=W2KSetup.dat ;; *) program=MESetup.dat ;; esac
  expect "$machine" "dialog 102 \"\" opens" "$out"
  expect "$machine" "commandLine: /SPEAKER" "$out"
  expect "$machine" "OVCDPLAY.INI \[CD PLAYER\] UsingCDDA=1" "$out"
  expect "$machine" "WinExec \"D:\\\\$program /SPEAKER\"" "$out"
  expect "$machine" "exit with code 0" "$out"
done
out=$("$tool" --journal --machine "$examples/machines/win98" --disc "$examples/disc" --pci 00:0B.0=none --dialog 306=click:1 2>&1)
expect "no chip" "dialog 306 \"Information - Can not find audio chip\" ends with 1" "$out"
out=$("$tool" --journal --machine "$examples/machines/winxp" --disc "$examples/disc" --pci 00:0B.0=none --dialog 306=close 2>&1)
expect "no chip on NT" "dialog 306 \"Information - Can not find audio chip\" ends with 2" "$out"
expect "driver removed" 'service  "orvainfo" removed' "$out"
out=$("$tool" --journal --machine "$examples/machines/win98" --disc "$examples/disc" --pci 00:0B.0=none --args "/driver no_msg" 2>&1)
expect "no_msg" "start-up returned" "$out"
if grep -q "dialog" <<< "$out"; then failed=$((failed + 1)); echo "FAIL no_msg showed a dialog"; fi
out=$("$tool" --journal --machine "$examples/machines/win98se" --disc "$examples/disc" --pci 01:05.0=none --pci "00:0B.0=7C5A:0111" --dialog 102=click:3 --dialog 130=click:1004,click:1 --dialog 132=click:1001,click:1 2>&1)
expect "added device" "click 3 \"Install Device Driver\" in dialog 102" "$out"
expect "restart declined" "dialog 102 \"Setup\" ends with 1" "$out"
out=$("$tool" --journal --machine "$examples/machines/win98se" --disc "$examples/disc" --dialog 102=click:2 2>&1)
expect "exit button" "dialog 102 \"Setup\" ends with 2" "$out"
out=$("$tool" --journal --machine "$examples/machines/win98se" --disc "$examples/disc" --dialog 102=click:3 --dialog 130=click:1005,click:1 2>&1)
expect "wdm on 98 SE" 'copy D:\\Win_98SE\\drv\\OVAUDIO.INF -> C:\\WINDOWS\\INF\\OVAUDIO.INF' "$out"
expect "wdm on 98 SE" 'WinExec "C:\\PROGRA~1\\ORVANTA\\WIN_ME\\MESetup.dat /DRIVER"' "$out"
out=$("$tool" --journal --machine "$examples/machines/win98" --disc "$examples/disc" --dialog 102=click:3 --dialog 132=click:1000,click:1 --restart 2>&1)
expect "vxd on 98" 'delete key HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_7C5A&DEV_0111' "$out"
expect "vxd on 98" 'delete C:\\WINDOWS\\INF\\OTHER\\OVPCI032.INF' "$out"
expect "vxd on 98" 'WININIT.INI \[rename\] C:\\WINDOWS\\SYSTEM\\OVAUDIO.OLD=C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD' "$out"
expect "vxd on 98" 'renamed C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD -> C:\\WINDOWS\\SYSTEM\\OVAUDIO.OLD' "$out"
out=$("$tool" --journal --machine "$examples/machines/winme" --disc "$examples/disc" --dialog 102=click:3 2>&1)
expect "wdm on ME" 'WinExec "D:\\MESetup.dat /DRIVER"' "$out"
out=$("$tool" --journal --machine "$examples/machines/nt4" --disc "$examples/disc" --dialog 102=click:3 --dialog 132=click:1001,click:1 2>&1)
expect "nt4 registration" 'copy D:\\NT40\\drv\\ovpci.sys -> C:\\WINNT\\system32\\drivers\\ovpci.sys' "$out"
expect "nt4 registration" 'Drivers32 "aux" = REG_SZ "ov-pci.dll"' "$out"
expect "nt4 registration" 'Drivers32 "midi1" = REG_SZ "ov-pci.dll"' "$out"
expect "nt4 registration" 'ov-pci.dll: DRV_CONFIGURE' "$out"
expect "nt4 registration" 'Sonavex Driver "UninstallString" = REG_SZ "C:\\WINNT\\OVUninst.exe"' "$out"
# The same machine with a mixer of the maker's driver: the files are replaced at the restart.
active=$(mktemp -d)
cp -r "$examples/machines/nt4" "$active/"
sed -i 's/^\[Mixers\]/&\n9=orvanta pci mixer/' "$active/nt4/machine.ini"
out=$("$tool" --journal --machine "$active/nt4" --disc "$examples/disc" --dialog 102=click:3 --dialog 132=click:1 --restart 2>&1)
rm -rf "$active"
expect "nt4 active driver" 'move at next start C:\\WINNT\\System32\\ov-pci.new -> C:\\WINNT\\System32\\ov-pci.dll' "$out"
expect "nt4 active driver" 'renamed C:\\WINNT\\System32\\Drivers\\ovpci.new -> C:\\WINNT\\System32\\Drivers\\ovpci.sys' "$out"
if grep -q "Drivers32" <<< "$out"; then failed=$((failed + 1)); echo "FAIL nt4 active driver: registered"; fi
out=$("$tool" --journal --machine "$examples/machines/win98se" --disc "$examples/disc" 2>&1); status=$?
expect "unscripted dialog" "dialog 102 \"Setup\" is shown with no action left" "$out"
[ $status -eq 3 ] && passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAIL unscripted: status $status"; }
out=$("$tool" --journal --machine "$examples/machines/win98se" --disc "$examples/disc" --language 1028 --dialog 102=click:2 2>&1)
expect "chinese main window" "click 2 \"結束\"" "$out"
out=$("$tool" --journal --machine "$examples/machines/winxp" --disc "$examples/disc" --disc-at '\\fileserver\drivers' --dialog 102=click:2 2>&1)
expect "network share" 'sourceDir: \\\\fileserver\\drivers\\$' "$out"
expect "network share" "dialog 102 \"Setup\" ends with 2" "$out"
out=$("$tool" --journal --machine "$examples/machines/nt4" --disc "$examples/disc" --program '.\SETUP.EXE' --dialog 102=click:2 2>&1)
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
# Every kind of JSON document the tool writes, kept for the schema check at the end.
json=$(mktemp -d)
"$tool" --machine "$examples/machines/win98" --disc "$examples/disc" --dialog main=click:3 --dialog restart=click:1000,click:1 --restart --journal --json > "$json/run.json"
"$tool" --machine "$examples/machines/win98se" --disc "$examples/disc" --json > "$json/run-stopped.json" 2> /dev/null
"$tool" --windows XP --disc "$examples/disc" --pci 00:0B.0=none --dialog no-chip=click:1 --json > "$json/run-no-chip.json"
"$tool" matrix --disc "$examples/disc" --machines "$examples/machines" --commands all --json > "$json/matrix.json"
"$tool" lint "$examples/disc" --json > "$json/lint.json"
"$tool" lint "$examples/machines" --json > "$json/lint-findings.json"
"$tool" --machine "$examples/machines/absent" --disc "$examples/disc" --json > "$json/error.json" 2> /dev/null
"$tool" --machine "$examples/machines/win98" --disc "$examples/disc" --dialog main=click:3 --power-off-at 150 --start-first --json > "$json/run-power-lost.json"
status_is() {  # status_is NAME EXPECTED ACTUAL
  if [ "$2" = "$3" ]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL $1: status $3, not $2"; fi
}

# The report, grouped by kind: the registry changes as REGEDIT4, the files, the profile-file
# entries, the programs, the renames pending without --restart.
out=$("$tool" --machine "$examples/machines/win98" --disc "$examples/disc" --dialog main=click:3 --dialog restart=click:1000,click:1 2>&1)
expect "report" '^route: InstallDriver > StageVxdDriver, driver VxD$' "$out"
expect "report" '^  \[-HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_7C5A&DEV_0111&SUBSYS_01117C5A&REV_01\]$' "$out"
expect "report" '^  "Sonavex Applications"=-$' "$out"
expect "report" '^  deleted C:\\WINDOWS\\INF\\OTHER\\OVPCI032.INF$' "$out"
expect "report" '^  created C:\\Program Files\\Orvanta\\WIN_9x\\OVAUDIO.VXD' "$out"
expect "report" '^  C:\\WINDOWS\\WININIT.INI (WININIT.INI)$' "$out"
expect "report" '^  WinExec "SysTray.exe"' "$out"
expect "report" '^    C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD -> C:\\WINDOWS\\SYSTEM\\OVAUDIO.OLD$' "$out"
expect "report" '^  (--restart restarts the machine' "$out"
expect "report" '^  waited 1500 ms in 2 waits' "$out"
if grep -q 'renamed C:' <<< "$out"; then failed=$((failed + 1)); echo "FAIL report: renamed without --restart"; fi

# The matrix of the sample disc and lint of the sample disc, which is clean.
out=$("$tool" matrix --disc "$examples/disc" --machines "$examples/machines" 2>&1); status=$?
status_is "matrix" 0 $status
expect "matrix" '^98 .*InstallDriver > StageVxdDriver *VxD *yes' "$out"
expect "matrix" '^XP .*InstallDriver *WDM *no .*D:\\W2KSetup.dat /DRIVER' "$out"
out=$("$tool" matrix --disc "$examples/disc" --commands all --windows ME 2>&1)
expect "matrix commands" '^ME *both *CombinedInstall > StageWdmDriver (setup at next start) > InstallApplications' "$out"
out=$("$tool" lint "$examples/disc" 2>&1); status=$?
status_is "lint clean" 0 $status
expect "lint clean" "no findings" "$out"
# Progress on standard error while a command works: on a terminal, and never in a log.
out=$(script -qc "'$tool' matrix --disc '$examples/disc' --machines '$examples/machines' > /dev/null" /dev/null)
expect "progress on a terminal" "setup-sim matrix: 7/7 XP driver" "$out"
out=$(script -qc "'$tool' lint '$examples/disc' > /dev/null" /dev/null)
expect "progress on a terminal" "setup-sim lint: checking" "$out"
out=$("$tool" matrix --disc "$examples/disc" --machines "$examples/machines" 2>&1 > /dev/null)
[ -z "$out" ] && passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAIL progress in a log: $out"; }

# Bad input: a clear message, a non-zero status, and no machine folder changed.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch" "$json"' EXIT
cp -r "$examples/machines/win98" "$scratch/win98"
mkdir "$scratch/empty"
out=$("$tool" --machine "$scratch/win98" --disc "$scratch/empty" 2>&1); status=$?
expect "empty disc" "the disc folder .* is empty" "$out"
status_is "empty disc" 1 $status
printf '[InstallOption]\r\nDriverOnly=0\r\nthis line is broken\r\n' > "$scratch/broken.ini"
out=$("$tool" --machine "$scratch/win98" --disc "$examples/disc" --option-file "$scratch/broken.ini" 2>&1); status=$?
expect "malformed option file" "broken.ini is malformed: line 3" "$out"
status_is "malformed option file" 1 $status
printf '; answers\nmain=click:3\nsetup-wizard=click:1\n' > "$scratch/answers.txt"
out=$("$tool" --machine "$scratch/win98" --disc "$examples/disc" --answers "$scratch/answers.txt" 2>&1); status=$?
expect "unknown answer" 'answers.txt line 3: "setup-wizard" is no dialog template' "$out"
status_is "unknown answer" 1 $status
out=$("$tool" --machine "$scratch/win98" --disc "$examples/disc" --dialog 132=click:1234 2>&1); status=$?
expect "unknown control" "dialog 132 has no control 1234" "$out"
out=$("$tool" --machine "$scratch/win98" --windows XP --disc "$examples/disc" 2>&1); status=$?
expect "other version" "holds Windows 98, not Windows XP" "$out"
status_is "other version" 1 $status
cp -r "$scratch/win98" "$scratch/half"
rm "$scratch/half/registry.reg"
out=$("$tool" --machine "$scratch/half" --disc "$examples/disc" 2>&1); status=$?
expect "half written" "is half written" "$out"
status_is "half written" 1 $status
# Symbolic links, one out of the disc and a loop of two: left out, and named in a run's notes.
cp -r "$examples/disc" "$scratch/linked"
ln -s "$examples/machines/win98/registry.reg" "$scratch/linked/registry.reg"
ln -s loop2 "$scratch/linked/loop1"
ln -s loop1 "$scratch/linked/loop2"
out=$("$tool" --windows XP --disc "$scratch/linked" --dialog main=click:2 2>&1); status=$?
expect "links left out" "note: the disc folder holds 3 symbolic links, left out (loop1...)" "$out"
status_is "links left out" 0 $status
snapshot() { (cd "$1" && find . -exec md5sum {} + 2>/dev/null | sort); }
before=$(snapshot "$scratch/win98")
out=$("$tool" --machine "$scratch/win98" --disc "$examples/disc" --dialog main=click:3 --save 2>&1); status=$?
expect "unanswered with --save" "dialog 132 \"Restarting Windows\" is shown with no action left" "$out"
expect "unanswered with --save" "the machine folder was not saved" "$out"
status_is "unanswered with --save" 3 $status
if [ -w /dev/full ]; then
  out=$("$tool" --machine "$scratch/win98" --disc "$examples/disc" --dialog main=click:2 --save 2>&1 > /dev/full); status=$?
  expect "output to a full disc" "cannot write the report to standard output" "$out"
  status_is "output to a full disc" 1 $status
fi
out=$("$tool" --machine "$scratch/win98" --disc "$examples/disc" --dialog main=click:2 --output "$scratch/no/such/folder/report.txt" --save 2>&1); status=$?
expect "output folder missing" "cannot write $scratch/no/such/folder/report.txt" "$out"
status_is "output folder missing" 1 $status
[ "$before" = "$(snapshot "$scratch/win98")" ] && passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAIL: a refused run changed the machine folder"; }

# No output lands on an input, and a command that fails or is interrupted leaves no output file.
cp -r "$examples/disc" "$scratch/disc"
before=$(snapshot "$scratch/disc"; snapshot "$scratch/win98")
for target in "$scratch/disc/setup.ini" "$scratch/win98/registry.reg" "$scratch/broken.ini"; do
  out=$("$tool" --machine "$scratch/win98" --disc "$scratch/disc" --option-file "$scratch/broken.ini" -o "$target" 2>&1); status=$?
  expect "output onto an input" "cannot write $target: it .*which the command reads" "$out"
  status_is "output onto an input" 1 $status
done
out=$("$tool" matrix --disc "$scratch/disc" --windows 97 -o "$scratch/new.txt" 2>&1); status=$?
status_is "failed matrix" 1 $status
[ ! -e "$scratch/new.txt" ] && passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAIL: a failed matrix left $scratch/new.txt"; }
"$tool" matrix --disc "$scratch/disc" --commands all -o "$scratch/new.txt" 2> /dev/null & pid=$!
sleep 0.02; kill -INT $pid 2> /dev/null; wait $pid
if [ -e "$scratch/new.txt" ]; then expect "interrupted matrix" "^XP " "$(cat "$scratch/new.txt")"; fi
leftovers=$(find "$scratch" -maxdepth 1 -name '.new.txt.*')
[ -z "$leftovers" ] && passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAIL: temporary files left: $leftovers"; }
mkdir "$scratch/disc/machines" && cp -r "$scratch/win98" "$scratch/disc/machines/"
out=$("$tool" --machine "$scratch/disc/machines/win98" --disc "$scratch/disc" --dialog main=click:2 --save 2>&1); status=$?
expect "save into the disc" "saving the machine would rewrite the disc" "$out"
status_is "save into the disc" 1 $status
rm -r "$scratch/disc/machines"
for letter in C: c; do
  out=$("$tool" --machine "$scratch/win98" --disc "$scratch/disc" --disc-at "$letter" --dialog main=click:2 2>&1); status=$?
  expect "disc at $letter" "is the drive Windows is on" "$out"
  status_is "disc at $letter" 1 $status
done
[ "$before" = "$(snapshot "$scratch/disc"; snapshot "$scratch/win98")" ] && passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAIL: a refused command changed its input"; }

# A matrix for CI: what stands in the way gives a non-zero exit code; an expect file holds what
# each row does, and a disc that does otherwise is named row by row.
"$tool" matrix --disc "$scratch/disc" --write-expect "$json/expect.json" > /dev/null 2>&1; status=$?
status_is "write expect" 0 $status
"$tool" matrix --disc "$scratch/disc" --expect "$json/expect.json" > /dev/null; status=$?
status_is "as expected" 0 $status
rm "$scratch/disc/W2KSetup.dat"
out=$("$tool" matrix --disc "$scratch/disc" 2>&1); status=$?
status_is "can not find" 4 $status
expect "can not find" '2 rows showed "Can not find"' "$out"
out=$("$tool" matrix --disc "$scratch/disc" --expect "$json/expect.json" 2>&1); status=$?
status_is "not as expected" 5 $status
expect "not as expected" "^  XP driver disc: cannotFind: expected \[\], got \[Can not find the setup program for Windows 2000 and XP.\]" "$out"
"$tool" matrix --disc "$scratch/disc" --expect "$json/expect.json" --json > "$json/matrix-expected.json"
out=$("$tool" matrix --disc "$examples/disc" --windows 98 --expect "$json/lint.json" 2>&1); status=$?
expect "expect file of another kind" "is no expect file of setup-sim" "$out"
status_is "expect file of another kind" 1 $status
out=$("$tool" matrix --disc "$examples/disc" --windows 98 --expect "$json/expect.json" 2>&1); status=$?
expect "expect file from another disc" "written for the disc $scratch/disc" "$out"
expect "expect file from another disc" "^  95 driver disc: row: expected in the file, got not run" "$out"
status_is "expect file from another disc" 5 $status
cp "$examples/disc/W2KSetup.dat" "$scratch/disc/"

# The smaller faults a new user met: the help, the version, lint's disc given twice, an answers
# file that is a folder, two machines of one version, an unreadable disc, links in the disc.
expect "help lists run's options" "--machine" "$("$tool" --help)"
expect "version" "^setup-sim [0-9.]* (JSON schema version 2)$" "$("$tool" --version)"
out=$("$tool" lint "$examples/disc" --disc "$examples/disc/" 2>&1); status=$?
status_is "lint disc twice" 0 $status
out=$("$tool" lint "$examples/disc" --disc "$scratch/disc" 2>&1); status=$?
expect "lint two discs" "two discs given" "$out"
status_is "lint two discs" 2 $status
out=$("$tool" --machine "$scratch/win98" --disc "$examples/disc" --answers "$scratch" 2>&1); status=$?
expect "answers folder" "the answers file $scratch is a folder, not a file" "$out"
status_is "answers folder" 1 $status
mkdir "$scratch/machines"
cp -r "$examples/machines/win98" "$scratch/machines/a"
cp -r "$examples/machines/win98" "$scratch/machines/b"
out=$("$tool" matrix --disc "$examples/disc" --machines "$scratch/machines" 2>&1); status=$?
expect "two machines of one version" "holds two machines of Windows 98: .*/a and .*/b" "$out"
status_is "two machines of one version" 1 $status
mkdir -m 755 "$scratch/locked"
cp -r "$examples/disc" "$scratch/locked/disc"
chmod 000 "$scratch/locked/disc"
as_other=
[ "$(id -u)" -eq 0 ] && as_other="setpriv --reuid=65534 --regid=65534 --clear-groups"
chmod 755 "$scratch"
out=$($as_other "$tool" --windows 98 --disc "$scratch/locked/disc" 2>&1); status=$?
expect "unreadable disc" "cannot read the disc folder .*: Permission denied" "$out"
status_is "unreadable disc" 1 $status
chmod 755 "$scratch/locked/disc"
ln -s /etc "$scratch/locked/disc/out"
ln -s .. "$scratch/locked/disc/Dosdrv/loop"
out=$("$tool" lint "$scratch/locked/disc" 2>&1); status=$?
expect "links in the disc" '^Dosdrv\\loop: a symbolic link' "$out"
expect "links in the disc" "^out: a symbolic link" "$out"
status_is "links in the disc" 1 $status

# diff: nothing when alike, every difference otherwise; a disc against itself is refused.
cp -r "$examples/disc" "$scratch/new"
out=$("$tool" diff "$examples/disc" "$scratch/new" --windows ME 2>&1); status=$?
status_is "diff alike" 0 $status
[ -z "$out" ] && passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAIL diff alike printed: $out"; }
rm "$scratch/new/Win_ME/app/Setup.exe"
out=$("$tool" diff "$examples/disc" "$scratch/new" --windows ME 2>&1); status=$?
status_is "diff" 5 $status
expect "diff" '^  program D:\\Win_ME\\app\\Setup.exe: started -> -$' "$out"
"$tool" diff "$examples/disc" "$scratch/new" --windows ME --json > "$json/diff.json"
"$tool" diff "$examples/disc" "$scratch/disc" --windows ME --commands driver --json > "$json/diff-alike.json"
out=$("$tool" diff "$examples/disc" "$examples/disc/" 2>&1); status=$?
expect "diff with itself" "both sides are .*: there is nothing to compare" "$out"
status_is "diff with itself" 2 $status
printf '[InstallOption]\r\nWindowsMEDriver=0\r\n' > "$scratch/vxd.ini"
out=$("$tool" diff "$examples/disc" --option-file "$scratch/vxd.ini" --windows ME --commands driver 2>&1); status=$?
expect "diff of option files" "^  driver: WDM -> VxD$" "$out"
status_is "diff of option files" 5 $status
out=$("$tool" diff "$examples/disc" --option-file "$scratch/vxd.ini" --windows ME -o "$scratch/vxd.ini" 2>&1); status=$?
expect "diff onto its input" "it is the new option file" "$out"

# init: a skeleton disc that lint passes and a matrix runs through; never into a folder in use.
out=$("$tool" init "$scratch/skeleton" 2>&1); status=$?
status_is "init" 0 $status
out=$("$tool" lint "$scratch/skeleton" 2>&1); status=$?
status_is "init then lint" 0 $status
"$tool" matrix --disc "$scratch/skeleton" --commands all > /dev/null 2>&1; status=$?
status_is "init then matrix" 0 $status
before=$(snapshot "$scratch/skeleton")
out=$("$tool" init "$scratch/skeleton" 2>&1); status=$?
expect "init into a disc" "is not empty: init writes a new disc only into a new or empty folder" "$out"
status_is "init into a disc" 1 $status
[ "$before" = "$(snapshot "$scratch/skeleton")" ] && passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAIL: init changed a folder that was not empty"; }

# --save with --restart: install, restart, and look again.
out=$("$tool" --machine "$scratch/win98" --disc "$examples/disc" --dialog main=click:3 --dialog restart=click:1000,click:1 --restart --save 2>&1); status=$?
status_is "save" 0 $status
[ -f "$scratch/win98/drive_c/Program Files/Orvanta/WIN_9x/OVAUDIO.VXD" ] && [ -f "$scratch/win98/drive_c/WINDOWS/SYSTEM/OVAUDIO.OLD" ] &&
  [ ! -e "$scratch/.win98.saving" ] && passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAIL save: the new state is not in the folder"; ls -la "$scratch"; }
out=$("$tool" --machine "$scratch/win98" --disc "$examples/disc" --dialog main=click:2 2>&1)
expect "look again" "^  none$" "$(sed -n '/^Registry changes/,/^Files/p' <<< "$out")"
if grep -q "OVAUDIO.OLD" "$scratch/win98/drive_c/WINDOWS/WININIT.BAK"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL save: no WININIT.BAK"; fi

# Power lost at a call of the run, saved, and the machine started again for a second run: the
# earlier 3D-audio and ASIO keys the sweep lists stay (their purge went with the hardware keys).
rm -rf "$scratch/lost" && cp -r "$examples/machines/win98" "$scratch/lost"
answers=(--dialog main=click:3,click:2 --dialog restart=click:1001,click:1)
out=$("$tool" --machine "$scratch/lost" --disc "$examples/disc" "${answers[@]}" --power-off-at 142 --registry kept --save 2>&1); status=$?
status_is "power lost" 0 $status
expect "power lost" "^  power lost at call 142, RegCloseKey; the registry keeps every change$" "$out"
expect "power lost" "^  (--start-first starts the machine" "$out"
[ ! -e "$scratch/lost/drive_c/Program Files/Orvanta/WIN_9x/OVAUDIO.VXD" ] && passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAIL power lost: a copy after the call was made"; }
out=$("$tool" --machine "$scratch/lost" --disc "$examples/disc" "${answers[@]}" --start-first --restart --save 2>&1); status=$?
status_is "run again" 0 $status
expect "run again" "^  Windows started before the run (--start-first):$" "$out"
expect "run again" "^  start-up returned: the process ends$" "$out"
grep -q 'SOFTWARE\\ASIO\\Orvanta ASIO' "$scratch/lost/registry.reg" && passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAIL run again: the ASIO keys are gone"; }
[ -f "$scratch/lost/drive_c/Program Files/Orvanta/WIN_9x/OVAUDIO.VXD" ] && passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAIL run again: no driver staged"; }
# Cut copies: a prefix of the new bytes, or no file; the power lost during the start too.
out=$("$tool" --machine "$examples/machines/win98" --disc "$examples/disc" "${answers[@]}" --power-off-at 1 --journal 2>&1)
expect "first call" "power lost at call 1, GetVersionExA" "$out"
expect "first call" "^  none$" "$(sed -n '/^Files/,/^Profile/p' <<< "$out")"
out=$("$tool" --machine "$examples/machines/win98" --disc "$examples/disc" "${answers[@]}" --power-off-at 99999 2>&1)
expect "beyond the run" "^  the run made [0-9]* platform calls; the power stayed on$" "$out"
out=$("$tool" --machine "$examples/machines/win98" --disc "$examples/disc" "${answers[@]}" --power-off-at 0 2>&1); status=$?
expect "call 0" "count from 1" "$out"
status_is "call 0" 2 $status
out=$("$tool" --machine "$examples/machines/win98" --disc "$examples/disc" "${answers[@]}" --cut absent 2>&1); status=$?
expect "cut alone" "they need --power-off-at" "$out"
status_is "cut alone" 2 $status
out=$("$tool" --machine "$examples/machines/win98" --disc "$examples/disc" "${answers[@]}" --power-off-at 9 --registry lost 2>&1); status=$?
expect "bad registry" "is none of last-flush, kept, last-start" "$out"
status_is "bad registry" 2 $status
# The power lost again during the start, before its one rename: the list stays for the next
# start, which carries it out; the launcher runs only then. Not with a loss in the run.
rm -rf "$scratch/twice" && cp -r "$examples/machines/win98" "$scratch/twice"
"$tool" --machine "$scratch/twice" --disc "$examples/disc" "${answers[@]}" --power-off-at 300 --save > /dev/null
out=$("$tool" --machine "$scratch/twice" --disc "$examples/disc" "${answers[@]}" --start-first --start-power-off-after 0 --save 2>&1)
expect "start cut" "^  power lost during the start, after 0 of 1 pending renames$" "$out"
expect "start cut" "^route: power lost$" "$out"
out=$("$tool" --machine "$scratch/twice" --disc "$examples/disc" "${answers[@]}" --start-first 2>&1)
expect "start again" "^    renamed C:.*SYSTEM.OVAUDIO.VXD -> C:.*SYSTEM.OVAUDIO.OLD$" "$(sed -n '/^Restart/,/not requested/p' <<< "$out")"
out=$("$tool" --machine "$scratch/twice" --disc "$examples/disc" "${answers[@]}" --start-first --start-power-off-after 0 --power-off-at 5 2>&1); status=$?
status_is "start cut, run cut" 2 $status
# A folder saved at a power loss, then edited by hand: a rename of a file that is not there is
# reported by the start, a broken registry line refused with its line.
printf '[rename]\r\nC:\\WINDOWS\\GONE.OLD=C:\\WINDOWS\\GONE.DLL\r\n' > "$scratch/lost/drive_c/WINDOWS/WININIT.INI"
out=$("$tool" --machine "$scratch/lost" --disc "$examples/disc" --dialog main=click:2 --start-first 2>&1)
expect "edited by hand" 'could not rename C:\\WINDOWS\\GONE.DLL -> C:\\WINDOWS\\GONE.OLD' "$out"
printf '[HKEY_LOCAL_MACHINE\\Broken\r\n' >> "$scratch/lost/registry.reg"
out=$("$tool" --machine "$scratch/lost" --disc "$examples/disc" --dialog main=click:2 --start-first 2>&1); status=$?
expect "edited by hand" "registry.reg" "$out"
status_is "edited by hand" 1 $status

# The JSON documents against the committed schema, which the tool carries as it is committed;
# a document that lacks a key is refused (check-json.py takes one away from each).
if cmp -s <("$tool" schema) "$(dirname "$0")/../../tools/setup-sim/setup-sim.schema.json"; then
  passed=$((passed + 1))
else
  failed=$((failed + 1)); echo "FAIL: setup-sim schema is not the committed schema"
fi
schema="$(dirname "$0")/../../tools/setup-sim/setup-sim.schema.json"
expect "error as JSON" '"kind": "error"' "$(cat "$json/error.json")"
if out=$(python3 "$(dirname "$0")/check-json.py" "$schema" "$json"/*.json 2>&1); then
  passed=$((passed + 1))
else
  failed=$((failed + 1)); echo "FAIL: documents that do not follow the schema:"; echo "$out"
fi
echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
