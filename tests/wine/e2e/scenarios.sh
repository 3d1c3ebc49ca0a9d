# Sourced by e2e-under-wine.sh: the scenarios, one function each.

kMain=Setup
kNoChip="Information - Can not find audio chip"
kJackOptions="ORV6490 PCI Audio Device Driver Setup Program"
kArchitecture="Windows 98SE/ME device-driver architecture selection"
kRestart="Restarting Windows"

# machine_setting SECTION LINE: a line at the top of a section of the machine's machine.ini.
machine_setting() {
  sed -i "s/^\\[$1\\]\\r\\?\$/&\\n$2\\r/" "$machine/machine.ini"
  grep -q "^${2%%=*}=" "$machine/machine.ini"
}

# The simulated machine's Windows folder is Wine's: C:\windows.
sim_windows_folder() {
  machine_setting Windows 'Folder=C:\\windows'
}

# The control line of ID in a `drive list` output: id class check enabled rect text.
control_line() {
  awk -F '\t' -v id="$2" '$1 == id' "$1"
}
control_enabled() {
  [ "$(control_line "$1" "$2" | cut -f4)" = "$3" ]
}

# The command line the simulation started a program with (WinExec or CreateProcess), Nth.
sim_started() {
  sim_journal process | sed -n 's/^\(WinExec\|CreateProcess\) "\(.*\)" (program .*$/\2/p' |
    sed -n "${1}p"
}
# The command line a stand-in recorded at its start, Nth.
wine_started() {
  standin_lines | sed -n 's/^start\t//p' | sed -n "${1}p"
}

# Detection through the real detection-driver path: the stand-in driver on the disc as
# orvainfo.sys, loaded by the real service manager calls. Each answer on Windows XP and NT 4.0,
# against the simulated machine whose driver answers the same.
scenario_detection() {
  scenario_begin detection winxp
  local version answer expect shown sim_version sim_answer sim_shown codec
  for version in winxp nt40; do
    wine_version "$version"
    for answer in maker short none codec; do
      rm -rf "$disc" && mkdir -p "$disc"
      build_disc "$setup_exe" "$answer"
      codec=0
      if [ "$answer" = codec ]; then
        set_option InstallWDMUDACodecDriver 1
        codec=1
      fi
      disc_read_only
      start_setup
      shown=none
      case $(drive either "$kMain" "$kNoChip" 15000) in
        "$kMain")
          shown=main
          drive list "$kMain" > "$work/main.txt"
          if [ "$answer" = codec ] && [ "$version" = nt40 ]; then
            # Under Wine a click on a disabled button still fires; the driver must refuse it.
            local refused=0
            drive click "$kMain" 1000 2> /dev/null || refused=$?
            check "nt40, codec variant: the UI driver refuses the disabled button 1000 (exit $refused)" \
              test "$refused" = 2
          fi
          drive click "$kMain" 2
          ;;
        "$kNoChip")
          shown=no-chip
          drive click "$kNoChip" 1
          ;;
      esac
      wait_setup
      # The same disc on the simulated machine: the maker's chip, the ORV5970 behind an Intel
      # controller, or no chip, with a detection driver answering in full or short.
      sim_machine "$version-$answer" "$([ "$version" = nt40 ] && echo nt4 || echo winxp)"
      sed -i '/^[0-9A-F][0-9A-F]:[0-9A-F][0-9A-F]\.[0-9A-F]=/d' "$machine/machine.ini"
      case $answer in
        maker) machine_setting PCI '00:0B.0=7C5A:0111' ;;
        short)
          machine_setting PCI '00:0B.0=7C5A:0111'
          machine_setting Hardware DetectionDriver=short
          ;;
        codec) machine_setting PCI '00:1F.5=8086:2445 codec=4F52:5641' ;;
      esac
      run_sim --dialog 102=click:2 --dialog 306=click:1
      sim_shown=none
      grep -q 'dialog 102 ".*" opens' "$work/sim-journal.txt" && sim_shown=main
      grep -q 'dialog 306 ".*" opens' "$work/sim-journal.txt" && sim_shown=no-chip
      expect=main
      [ "$answer" = none ] && expect=no-chip
      check "$version, driver answering $answer: $shown shown (simulation: $sim_shown)" \
        test "$shown" = "$expect" -a "$sim_shown" = "$expect"
      if [ "$answer" = codec ] && [ "$shown" = main ]; then
        # The codec variant installs only the driver on NT 4.0.
        local disabled=1
        [ "$version" = nt40 ] && disabled=0
        check "$version, codec variant: buttons 1000 and 4 enabled=$disabled, 3 enabled" \
          eval 'control_enabled "$work/main.txt" 1000 $disabled &&
                control_enabled "$work/main.txt" 4 $disabled &&
                control_enabled "$work/main.txt" 3 1'
      fi
      # The launcher removes its driver service again.
      check "$version, $answer: no orvainfo service left" \
        eval '! "$wine" reg query "HKLM\\System\\CurrentControlSet\\Services\\orvainfo" > /dev/null 2>&1'
    done
  done
}

# "Install Device Driver" on Windows XP starts the disc's W2KSetup.dat with " /DRIVER". The
# journal is asked for in a folder that does not exist: the run goes on as without it, and ends
# as the simulation's.
scenario_xp_driver() {
  scenario_begin xp-driver winxp
  build_disc
  disc_read_only
  export ORVSETUP_JOURNAL='C:\no such folder\journal.txt'
  start_setup
  drive wait "$kMain" 30000 list "$kMain" > "$work/main.txt"
  check "the main window shows its four buttons enabled" \
    eval 'for id in 1000 3 4 2; do control_enabled "$work/main.txt" $id 1 || exit 1; done'
  drive click "$kMain" 3
  wait_setup
  check "Setup.exe ends with 0" test "$setup_status" = 0
  check "W2KSetup.dat started" wait_log '^start' 10
  check "W2KSetup.dat ended (as the system's process list says)" drive wait-exit W2KSetup.dat 10000
  check "W2KSetup.dat recorded its end" wait_log '^end' 1
  unset ORVSETUP_JOURNAL
  sim_machine xp winxp
  sim_windows_folder
  run_sim --dialog 102=click:3
  check "W2KSetup.dat's command line is \"$(wine_started 1)\" (simulation: \"$(sim_started 1)\")" \
    test "$(wine_started 1)" = 'D:\W2KSetup.dat /DRIVER' -a "$(sim_started 1)" = "$(wine_started 1)"
  check "nothing else was started" test -z "$(wine_started 2)"
  compare_files 'the state file ORVSETUP.INI' "$(wine_file windows/ORVSETUP.INI)" \
    "$(sim_file windows/ORVSETUP.INI)"
}

# The short form of a folder under Wine (a hashed 8.3 name, not Windows' "~1" scheme) and on
# the simulated machine: the one thing the comparison replaces in Wine's output, and only in
# the places the launcher writes it.
wine_short_name() {
  drive short-name "$1"
}

# wine_normalised FILE WINE-SHORT SIM-SHORT: the file with Wine's short form of a folder put
# back into the simulation's.
wine_normalised() {
  local out=$work/normalised-$(basename "$1")
  if [ -f "$1" ]; then
    sed "s/${2//\\/\\\\}/${3//\\/\\\\}/g" "$1" > "$out"
  fi
  echo "$out"
}

# The WebSetup-1 route on Windows XP: the jack options are answered (MIDI port disabled), the
# WDM driver staged with its INF options patched, and the staged W2KSetup.dat started.
scenario_xp_websetup() {
  scenario_begin xp-websetup winxp
  build_disc
  set_option WebSetup 1
  set_option InstallWDMDriver 1
  disc_read_only
  # The list of install locations is kept only where its key exists, as on the sample machine.
  "$wine" reg add 'HKU\.DEFAULT\InstallLocationsMRU' /f > /dev/null 2>&1
  start_setup
  drive wait "$kJackOptions" 30000 list "$kJackOptions" > "$work/jack.txt"
  check "the jack options show MIDI and GAME ports enabled, not ticked" \
    eval 'control_enabled "$work/jack.txt" 1000 1 &&
          [ "$(control_line "$work/jack.txt" 1000 | cut -f3)" = 0 ] &&
          [ "$(control_line "$work/jack.txt" 1001 | cut -f3)" = 0 ]'
  drive click "$kJackOptions" 1000 list "$kJackOptions" > "$work/jack-after.txt"
  check "the MIDI port box is ticked" test "$(control_line "$work/jack-after.txt" 1000 | cut -f3)" = 1
  drive click "$kJackOptions" 1
  wait_setup
  check "Setup.exe ends with 0" test "$setup_status" = 0
  check "the staged W2KSetup.dat ran and ended" wait_log '^end' 10

  sim_machine xp winxp
  sim_windows_folder
  run_sim --dialog 103=click:1000,click:1
  local staging='C:\Program Files\Orvanta\WIN_ME' wine_short sim_short
  wine_short=$(wine_short_name "$staging")
  sim_short=$(sim_journal registry | sed -n 's/.*InstallLocationsMRU "a" = REG_SZ "\(.*\)\\"$/\1/p')
  check "the staging folder's short forms: Wine $wine_short, simulation $sim_short" \
    test -n "$wine_short" -a -n "$sim_short"
  known_wine_difference "short names are hashed ($wine_short for $sim_short); replaced by the" \
    "simulation's in the command line and the registry value before comparing"
  compare_trees 'the staging folder C:\Program Files\Orvanta\WIN_ME' \
    "$(wine_file 'Program Files/Orvanta/WIN_ME')" "$(sim_file 'Program Files/Orvanta/WIN_ME')" \
    "$staging" Setup.ini
  compare_files 'the patched OVAUDIO.INF' "$(wine_file 'Program Files/Orvanta/WIN_ME/OVAUDIO.INF')" \
    "$(sim_file 'Program Files/Orvanta/WIN_ME/OVAUDIO.INF')"
  check "the INF patch changed the disc's copy (MIDI port disabled)" \
    eval '! cmp -s "$disc/Win_ME/drv/OVAUDIO.INF" "$(wine_file "Program Files/Orvanta/WIN_ME/OVAUDIO.INF")"'
  compare_tree_of() {
    compare_trees "C:\\Program Files\\Orvanta\\$1" "$(wine_file "Program Files/Orvanta/$1")" \
      "$(sim_file "Program Files/Orvanta/$1")" "C:\\Program Files\\Orvanta\\$1"
  }
  compare_tree_of DOS
  compare_files 'the state file ORVSETUP.INI' "$(wine_file windows/ORVSETUP.INI)" \
    "$(sim_file windows/ORVSETUP.INI)"
  local started
  started=$(wine_started 1 | sed "s/${wine_short//\\/\\\\}/${sim_short//\\/\\\\}/")
  check "the staged W2KSetup.dat started as \"$started\" (simulation: \"$(sim_started 1)\")" \
    test "$started" = "$(sim_started 1)" -a -n "$started"
  local mru
  mru=$("$wine" reg query 'HKU\.DEFAULT\InstallLocationsMRU' 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *a *REG_SZ *//p' | sed "s/${wine_short//\\/\\\\}/${sim_short//\\/\\\\}/")
  check "the install location recorded: \"$mru\" (simulation: \"$sim_short\\\")" \
    test "$mru" = "$sim_short\\"
}

# An earlier suite registered for uninstalling: the stand-in uninstaller in C:\OldSuite, on
# both machines.
# The earlier suite lies in a folder with a blank and is registered unquoted, as installers
# often leave it; a program planted at "C:\Old.exe", where Windows would look first for such a
# command line, must never run (it is a program that records nothing).
register_earlier_suite() {
  mkdir -p "$prefix_c/Old Suite"
  cp "$standin_exe" "$prefix_c/Old Suite/Uninst.exe"
  cp "$ui_driver_exe" "$prefix_c/Old.exe"
  "$wine" reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Sonavex Applications' \
    /v UninstallString /d 'C:\Old Suite\Uninst.exe' /f > /dev/null 2>&1
}
sim_register_earlier_suite() {
  mkdir -p "$machine/drive_c/Old Suite"
  cp "$standin_exe" "$machine/drive_c/Old Suite/Uninst.exe"
  cp "$ui_driver_exe" "$machine/drive_c/Old.exe"
  printf '\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sonavex Applications]\r\n"UninstallString"="C:\\\\Old Suite\\\\Uninst.exe"\r\n' \
    >> "$machine/registry.reg"
}

# The order of the stand-ins' lines: start and end of the uninstaller, then the suite's setup.
check_uninstall_then_setup() {
  local setup=$1
  standin_lines > "$work/standin.txt"
  check "the uninstaller started as \"$(wine_started 1)\", quoted, not the planted C:\\Old.exe (simulation: \"$(sim_started 1)\")" \
    test "$(wine_started 1)" = '"C:\Old Suite\Uninst.exe" -a' -a "$(sim_started 1)" = "$(wine_started 1)"
  check "the suite's setup started as \"$(wine_started 2)\" (simulation: \"$(sim_started 2)\")" \
    test "$(wine_started 2)" = "$setup" -a "$(sim_started 2)" = "$setup"
  check "the suite's setup started after the uninstaller had ended" \
    test "$(cut -f1 "$work/standin.txt" | head -3 | tr '\n' ' ')" = "start end start "
}

# "Install Applications" on Windows XP with an earlier suite registered: its uninstaller runs
# with " -a" and is waited for, then the suite's setup starts.
scenario_xp_apps() {
  scenario_begin xp-apps winxp
  build_disc
  disc_read_only
  register_earlier_suite
  start_setup
  drive wait "$kMain" 30000 click "$kMain" 4
  wait_setup
  check "Setup.exe ends with 0" test "$setup_status" = 0
  check "the suite's setup ran and ended" wait_log '^end	D:\\Win_ME' 10
  sim_machine xp winxp
  sim_windows_folder
  sim_register_earlier_suite
  run_sim --dialog 102=click:4
  check_uninstall_then_setup 'D:\Win_ME\app\Setup.exe'
  # The simulated uninstaller runs one second of virtual time.
  local times
  times=$(sed -n 's/^ *\([0-9]*\) ms  process  CreateProcess .*/\1/p' "$work/sim-journal.txt" |
    tr '\n' ' ')
  check "the simulation started the setup a second after the uninstaller ($times ms)" \
    eval 'set -- $times; [ $# -eq 2 ] && [ $(($2 - $1)) -ge 1000 ]'
}

# The combined command on Windows XP: the WDM driver staged for a deferred setup, the state
# file saying so, and the suite's setup started.
scenario_xp_combined() {
  scenario_begin xp-combined winxp
  build_disc
  disc_read_only
  "$wine" reg add 'HKU\.DEFAULT\InstallLocationsMRU' /f > /dev/null 2>&1
  start_setup
  drive wait "$kMain" 30000 click "$kMain" 1000
  wait_setup
  check "Setup.exe ends with 0" test "$setup_status" = 0
  check "the suite's setup ran and ended" wait_log '^end' 10
  sim_machine xp winxp
  sim_windows_folder
  run_sim --dialog 102=click:1000
  local staging='C:\Program Files\Orvanta\WIN_ME' wine_short sim_short
  wine_short=$(wine_short_name "$staging")
  sim_short=$(sim_journal registry | sed -n 's/.*InstallLocationsMRU "a" = REG_SZ "\(.*\)\\"$/\1/p')
  known_wine_difference "short names are hashed ($wine_short for $sim_short); replaced by the" \
    "simulation's in the state file before comparing"
  compare_files 'the state file ORVSETUP.INI (short names normalised)' \
    "$(wine_normalised "$(wine_file windows/ORVSETUP.INI)" "$wine_short" "$sim_short")" \
    "$(sim_file windows/ORVSETUP.INI)"
  check "the state file names the staged W2KSetup.dat for later" \
    grep -qF "Command=$sim_short\\W2KSetup.dat" "$(sim_file windows/ORVSETUP.INI)"
  compare_trees 'the staging folder C:\Program Files\Orvanta\WIN_ME' \
    "$(wine_file 'Program Files/Orvanta/WIN_ME')" "$(sim_file 'Program Files/Orvanta/WIN_ME')" \
    "$staging" Setup.ini
  check "the suite's setup started as \"$(wine_started 1)\" (simulation: \"$(sim_started 1)\")" \
    test "$(wine_started 1)" = 'D:\Win_ME\app\Setup.exe' -a "$(sim_started 1)" = "$(wine_started 1)"
  check "nothing else was started" test -z "$(wine_started 2)"
}

# What an earlier driver of the maker left in a Windows 9x folder W (a host folder): two
# retired driver files, one of them read-only so that it cannot be deleted now, and an INF file
# of the maker with its precompiled companion.
plant_earlier_driver() {
  local windows=$1
  mkdir -p "$windows/system" "$windows/inf"
  printf 'earlier VxD driver\r\n' > "$windows/system/OVAUDIO.VXD"
  printf 'earlier synthesiser\r\n' > "$windows/system/OVSYNTH.DRV"
  printf '[Version]\r\nSignature="$CHICAGO$"\r\nClass=MEDIA\r\n\r\n[Strings]\r\nVSX-Legacy.DeviceDesc="ORV6490 Legacy Audio (earlier)"\r\n' \
    > "$windows/inf/OVOLD.INF"
  printf 'compiled\r\n' > "$windows/inf/OVOLD.PNF"
}

# A Windows 98 SE machine for the lab tool, as Wine's win98 prefix is: Windows folder
# C:\windows with Wine's own WIN.INI, C:\Program Files, the maker's chip on the PCI bus, the
# earlier driver's files with the archive attribute Windows gives a file written (OVAUDIO.VXD
# read-only too).
sim_windows98se_machine() {
  machine=$work/sim-98se
  rm -rf "$machine"
  mkdir -p "$machine/drive_c/windows" "$machine/drive_c/Program Files"
  printf '[Windows]\r\nVersion=98SE\r\nFolder=C:\\windows\r\n[Drives]\r\nC=drive_c\r\n[Hardware]\r\nPciBios=1\r\n[PCI]\r\n00:0B.0=7C5A:0111\r\n' \
    > "$machine/machine.ini"
  printf 'REGEDIT4\r\n\r\n[HKEY_USERS\\.DEFAULT\\InstallLocationsMRU]\r\n' > "$machine/registry.reg"
  cp "$(template_prefix)/drive_c/windows/win.ini" "$machine/drive_c/windows/win.ini"
  plant_earlier_driver "$machine/drive_c/windows"
  printf '0x21\t\tC:\\windows\\system\\OVAUDIO.VXD\r\n' > "$machine/files.txt"
  local file
  for file in system\\OVSYNTH.DRV inf\\OVOLD.INF inf\\OVOLD.PNF; do
    printf '0x20\t\tC:\\windows\\%s\r\n' "$file" >> "$machine/files.txt"
  done
}

# "Install Device Driver" on Windows 98 SE (Wine's win98), the VxD architecture chosen, over the
# real Win32 backend with the simulated machine's PCI bus (Wine gives a program no PCI ports):
# the earlier driver removed (the read-only file scheduled in WININIT.INI), the VxD driver
# staged, its INF copies pointed at the staging folder, WIN.INI's run= cleared; the restart
# declined.
scenario_win98_vxd() {
  scenario_begin win98-vxd win98
  build_disc "$board_setup_exe"
  disc_read_only
  "$wine" reg add 'HKU\.DEFAULT\InstallLocationsMRU' /f > /dev/null 2>&1
  plant_earlier_driver "$prefix_c/windows"
  chmod a-w "$prefix_c/windows/system/OVAUDIO.VXD"
  sim_windows98se_machine
  board_from "$machine"
  journal_on
  start_setup
  drive wait "$kMain" 30000 click "$kMain" 3 wait "$kArchitecture" 10000 \
    list "$kArchitecture" > "$work/arch.txt"
  check "the architecture question offers VxD and WDM" \
    eval 'control_enabled "$work/arch.txt" 1004 1 && control_enabled "$work/arch.txt" 1005 1'
  drive click "$kArchitecture" 1004 click "$kArchitecture" 1 wait "$kRestart" 20000 \
    click "$kRestart" 1001 click "$kRestart" 1
  wait_setup
  check "Setup.exe ends with 0" test "$setup_status" = 0

  run_sim --dialog 102=click:3 --dialog 130=click:1004,click:1 --dialog 132=click:1001,click:1
  check "the simulation ran to its end" grep -q 'exit with code 0\|start-up returned' \
    "$work/sim-journal.txt"
  local staging='C:\Program Files\Orvanta\WIN_9x' wine_short sim_short
  wine_short=$(wine_short_name "$staging")
  sim_short=$(sim_journal registry | sed -n 's/.*InstallLocationsMRU "a" = REG_SZ "\(.*\)\\"$/\1/p')
  known_wine_difference "short names are hashed and keep the letter case ($wine_short; Windows 98" \
    "and the simulation: $sim_short); replaced by the simulation's in the INF copies before comparing"
  compare_trees 'the staging folder C:\Program Files\Orvanta\WIN_9x' \
    "$(wine_file 'Program Files/Orvanta/WIN_9x')" "$(sim_file 'Program Files/Orvanta/WIN_9x')" \
    "$staging" Setup.ini
  local inf
  for inf in inf/OV6490.INF inf/other/OV6490.INF; do
    compare_profile "C:\\windows\\${inf//\//\\} (short names normalised)" \
      "$(wine_normalised "$(wine_file "windows/$inf")" "$wine_short" "$sim_short")" \
      "$(sim_file "windows/$inf")"
    check "C:\\windows\\${inf//\//\\} takes its files from the staging folder" \
      grep -qF "1=\"ORV6490/Y3DX Sonavex Driver Disk\",,0000-0000, $sim_short" "$(sim_file "windows/$inf")"
  done
  check "the earlier INF and its PNF are gone on both" \
    eval '! [ -e "$(wine_file windows/inf/OVOLD.INF)" ] && ! [ -e "$(wine_file windows/inf/OVOLD.PNF)" ] &&
          ! [ -e "$(sim_file windows/inf/OVOLD.INF)" ] && ! [ -e "$(sim_file windows/inf/OVOLD.PNF)" ]'
  check "OVSYNTH.DRV deleted on both, the read-only OVAUDIO.VXD kept on both" \
    eval '! [ -e "$(wine_file windows/system/OVSYNTH.DRV)" ] && ! [ -e "$(sim_file windows/system/OVSYNTH.DRV)" ] &&
          [ -e "$(wine_file windows/system/OVAUDIO.VXD)" ] && [ -e "$(sim_file windows/system/OVAUDIO.VXD)" ]'
  compare_profile 'WININIT.INI' "$(wine_file windows/WININIT.INI)" "$(sim_file windows/WININIT.INI)"
  check "WININIT.INI renames OVAUDIO.VXD at the next start" \
    grep -qF 'C:\windows\SYSTEM\OVAUDIO.OLD=C:\windows\SYSTEM\OVAUDIO.VXD' \
    "$(wine_file windows/WININIT.INI)"
  # Wine maps WIN.INI's [windows] section into the registry, as Windows NT does, also when it
  # reports Windows 98, where the entry goes into the file.
  compare_journals "the journals of the two runs" "$wine_short" "$sim_short"
  local run
  run=$("$wine" reg query 'HKCU\Software\Microsoft\Windows NT\CurrentVersion\Windows' /v run \
    2> /dev/null | tr -d '\r' | sed -n 's/^ *run *REG_SZ    //p')
  if cmp -s "$(wine_file windows/win.ini)" "$(template_prefix)/drive_c/windows/win.ini"; then
    known_wine_difference "WIN.INI [windows] run= went into the registry (\"$run\"), not the file"
    check "WIN.INI run= is cleared: the simulation's file has run=, Wine's mapped value is \" \"" \
      eval '[ "$run" = " " ] && tr -d "\r" < "$(sim_file windows/win.ini)" | grep -qx "run="'
  else
    compare_profile 'WIN.INI' "$(wine_file windows/win.ini)" "$(sim_file windows/win.ini)"
  fi
}
