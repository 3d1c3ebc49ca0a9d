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
        maker) echo '00:0B.0=7C5A:0111' >> "$machine/machine.ini" ;;
        short)
          echo '00:0B.0=7C5A:0111' >> "$machine/machine.ini"
          machine_setting Hardware DetectionDriver=short
          ;;
        codec) echo '00:1F.5=8086:2445 codec=4F52:5641' >> "$machine/machine.ini" ;;
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

# "Install Device Driver" on Windows XP starts the disc's W2KSetup.dat with " /DRIVER".
scenario_xp_driver() {
  scenario_begin xp-driver winxp
  build_disc
  disc_read_only
  start_setup
  drive wait "$kMain" 30000 list "$kMain" > "$work/main.txt"
  check "the main window shows its four buttons enabled" \
    eval 'for id in 1000 3 4 2; do control_enabled "$work/main.txt" $id 1 || exit 1; done'
  drive click "$kMain" 3
  wait_setup
  check "Setup.exe ends with 0" test "$setup_status" = 0
  check "W2KSetup.dat ran and ended" wait_log '^end' 10
  sim_machine xp winxp
  sim_windows_folder
  run_sim --dialog 102=click:3
  check "W2KSetup.dat's command line is \"$(wine_started 1)\" (simulation: \"$(sim_started 1)\")" \
    test "$(wine_started 1)" = 'D:\W2KSetup.dat /DRIVER' -a "$(sim_started 1)" = "$(wine_started 1)"
  check "nothing else was started" test -z "$(wine_started 2)"
  compare_files 'the state file ORVSETUP.INI' "$(wine_file windows/ORVSETUP.INI)" \
    "$(sim_file windows/ORVSETUP.INI)"
}
