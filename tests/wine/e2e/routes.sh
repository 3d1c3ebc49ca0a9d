# Sourced by e2e-under-wine.sh: the launcher's routes on the Windows versions Wine reports, each
# on a Wine prefix and a simulated machine made alike (pairs.sh), compared by their journals,
# the programs they started and the files they left.

# "Install Device Driver", the rows of the install-driver decision table Wine can report. Wine
# cannot report the first Windows 98 (its win98 is 98 SE, build 2222): that row, the VxD driver
# without a question, is Windows 95's here.

# Windows 95: the VxD driver staged from the disc's 95 folder; the restart declined.
scenario_win95_driver() {
  pair_begin win95-driver win95
  disc_read_only
  play 102=click:3 132=click:1001,click:1
  check "Setup.exe ends with 0" test "$setup_status" = 0
  check "no architecture question on Windows 95" test ! -f "$work/dialog-130.txt"
  compare_pair
}

# Windows 98 SE with the WDM driver chosen: staged into WIN_ME, the staged MESetup.dat started
# with " /DRIVER", the program ends.
scenario_win98_wdm() {
  pair_begin win98-wdm win98
  disc_read_only
  play 102=click:3 130=click:1005,click:1
  check "Setup.exe ends with 0" test "$setup_status" = 0
  wait_log '^end' 10
  compare_pair
}

# Windows ME, the disc's default (no question, the WDM driver): the disc's MESetup.dat started.
scenario_winme_wdm() {
  pair_begin winme-wdm winme
  disc_read_only
  play 102=click:3
  check "Setup.exe ends with 0" test "$setup_status" = 0
  wait_log '^end' 10
  compare_pair
}

# Windows ME with the question asked and the VxD driver chosen; the restart declined.
scenario_winme_vxd() {
  pair_begin winme-vxd winme
  set_option WindowsMEDriverAskUser 1
  disc_read_only
  play 102=click:3 130=click:1004,click:1 132=click:1001,click:1
  check "Setup.exe ends with 0" test "$setup_status" = 0
  compare_pair
}

# The NT 4.0 driver lists as NT 4.0 keeps them, on both machines.
nt4_driver_lists() {
  both_registry <<'REG'
[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\Drivers32]
"midimapper"="midimap.dll"
"wavemapper"="msacm32.drv"
"midi"="mpu401.dll"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\Drivers.Desc]
"midimap.dll"="Microsoft MIDI Mapper"
"msacm32.drv"="Microsoft Sound Mapper"
"mpu401.dll"="MPU-401 Compatible MIDI Driver"
REG
}

# The driver library of the disc for NT 4.0 is the test driver library (tests/contract), which
# answers the install messages and writes down each message it gets.
nt4_disc_library() {
  chmod u+w "$disc/NT40/drv" "$disc/NT40/drv/ov-pci.dll" 2> /dev/null
  cp "$driver_library" "$disc/NT40/drv/ov-pci.dll"
}

# The messages the library got, as the simulation journaled them: "MESSAGE PARAM1" a line, in
# the numbers the library writes.
sim_driver_messages() {
  local line name number
  sim_journal driver | sed -n 's/^.*ov-pci\.dll: \([A-Z_]*\) (\([^,]*\),.*$/\1 \2/p' |
    while read -r name number; do
      case $name in
        DRV_LOAD) echo "1 0" ;; DRV_ENABLE) echo "2 0" ;; DRV_OPEN) echo "3 0" ;;
        DRV_CLOSE) echo "4 0" ;; DRV_DISABLE) echo "5 0" ;; DRV_FREE) echo "6 0" ;;
        DRV_CONFIGURE) echo "7 window" ;; DRV_QUERYCONFIGURE) echo "8 0" ;;
        DRV_INSTALL) echo "9 window" ;; *) echo "$name $number" ;;
      esac
    done
}

# The messages the test driver library got under Wine, the owner window's number left out.
wine_driver_messages() {
  tr -d '\r' < "$(wine_file windows/system32/driver-messages.txt)" 2> /dev/null |
    awk '{ print $1, (($1 == 7 || $1 == 9) && $2 != 0) ? "window" : $2 }'
}

# NT 4.0: the driver's files in place, its library registered in the driver lists and sent the
# install messages, the uninstaller recorded; the restart declined.
scenario_nt40_driver() {
  pair_begin nt40-driver nt40
  nt4_disc_library
  disc_read_only
  nt4_driver_lists
  play 102=click:3 132=click:1001,click:1
  check "Setup.exe ends with 0" test "$setup_status" = 0
  compare_pair
  check "the library got the messages the simulation's got: $(wine_driver_messages | tr '\n' ' ')" \
    test "$(wine_driver_messages)" = "$(sim_driver_messages)" -a -n "$(sim_driver_messages)"
  local uninstall
  uninstall=$("$wine" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Sonavex Driver' \
    /v UninstallString 2> /dev/null | tr -d '\r' | sed -n 's/^ *UninstallString *REG_SZ *//p')
  check "the uninstaller recorded: \"$uninstall\"" test "$uninstall" = 'C:\windows\OVUninst.exe'
}

# Windows 2000: the disc's W2KSetup.dat started with " /DRIVER".
scenario_win2k_driver() {
  pair_begin win2k-driver win2k
  disc_read_only
  play 102=click:3
  check "Setup.exe ends with 0" test "$setup_status" = 0
  wait_log '^end' 10
  compare_pair
}

# "Yes" to the restart on NT 4.0: the launcher takes the shutdown privilege and asks Windows to
# restart. Wine restarts nothing; it ends the prefix's windowed programs instead, which a player
# left running says (WM_ENDSESSION).
scenario_nt40_restart() {
  pair_begin nt40-restart nt40
  nt4_disc_library
  disc_read_only
  nt4_driver_lists
  running_window "CD Player" 'Program Files/Orvanta/CDPlayer.exe'
  play 102=click:3 132=click:1000,click:1
  check "Setup.exe ends with 0" test "$setup_status" = 0
  check "the restart was requested (the real run's journal)" \
    grep -q ' ms  restart  restart requested' "$work/journal.txt"
  check "with the shutdown privilege taken first" \
    grep -q ' ms  security SeShutdownPrivilege enabled' "$work/journal.txt"
  check "the simulation requested it too" eval 'sim_journal restart | grep -qx "restart requested"' 
  local deadline=$((SECONDS + 5))
  until grep -q '^end-session' "$work/running.log" 2> /dev/null || [ $SECONDS -ge $deadline ]; do
    sleep 0.05
  done
  check "Wine ended the session of the player left running (WM_ENDSESSION)" \
    grep -q '^end-session' "$work/running.log"
  compare_pair
}

# The command-line routes: "/DRIVER" on Windows XP, "/SPEAKER" on Windows ME, "/AP" on Windows
# 98 SE; each ends without the main window waiting for the user.
scenario_xp_driver_switch() {
  pair_begin xp-driver-switch winxp
  disc_read_only
  play /DRIVER --
  check "Setup.exe ends with 0" test "$setup_status" = 0
  wait_log '^end' 10
  compare_pair
}

scenario_winme_speaker() {
  pair_begin winme-speaker winme
  disc_read_only
  play /SPEAKER --
  check "Setup.exe ends with 0" test "$setup_status" = 0
  wait_log '^end' 10
  compare_pair
}

scenario_win98_apps_switch() {
  pair_begin win98-apps-switch win98
  disc_read_only
  play /AP --
  check "Setup.exe ends with 0" test "$setup_status" = 0
  wait_log '^end' 10
  compare_pair
}

# The second stage of the WebSetup route on Windows 98 SE: the disc's option file says
# WebSetup=2 with the WDM driver, as the staged copy's does; with the disc's question kept, the
# architecture is asked (WDM chosen), the driver staged and its setup program started, with no
# main window shown.
scenario_win98_websetup2() {
  pair_begin win98-websetup2 win98
  set_option WebSetup 2
  set_option InstallWDMDriver 1
  disc_read_only
  play 130=click:1005,click:1
  check "Setup.exe ends with 0" test "$setup_status" = 0
  wait_log '^end' 10
  compare_pair
}

# The combined command on NT 4.0: the driver registered, the restart noted for later, then the
# application suite's setup.
scenario_nt40_combined() {
  pair_begin nt40-combined nt40
  nt4_disc_library
  disc_read_only
  nt4_driver_lists
  play 102=click:1000
  check "Setup.exe ends with 0" test "$setup_status" = 0
  wait_log '^end' 10
  compare_pair
}

# The disc copied to a folder whose path has blanks, "C:\Orvanta Disc", and started from there
# on Windows XP: "Install Device Driver" starts that folder's W2KSetup.dat, not the program
# "C:\Orvanta.exe" that Windows finds first for an unquoted command line.
scenario_xp_blank_folder() {
  pair_begin xp-blank-folder winxp
  both_program Orvanta.exe
  local folder="$prefix_c/Orvanta Disc"
  mkdir -p "$folder" "$machine/drive_c/Orvanta Disc"
  cp -r "$disc/." "$folder/"
  cp -r "$disc/." "$machine/drive_c/Orvanta Disc/"
  (cd "$folder" && exec timeout 120 "$wine" 'C:\Orvanta Disc\SETUP.EXE') &
  setup_pid=$!
  drive wait "$kMain" 30000 click "$kMain" 3
  wait_setup
  check "Setup.exe ends with 0" test "$setup_status" = 0
  wait_log '^end' 10
  run_sim --disc-at E: --program 'C:\Orvanta Disc\SETUP.EXE' --dialog 102=click:3
  compare_pair
  check "C:\\Orvanta.exe was not started" eval '! standin_lines | grep -q "Orvanta.exe"'
}

# An earlier driver of the maker on Windows 98 SE: its registry keys, its INF files, its
# mixer running, and its VxD held open by Windows. "Install Device Driver" with the VxD driver
# closes the mixer and deletes its program, removes the keys (of the ASIO drivers only the
# maker's) and the INF files, and schedules the file held open in WININIT.INI.
scenario_win98_earlier_driver() {
  pair_begin win98-earlier-driver win98
  disc_read_only
  both_registry <<'REG'
[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services\Class\MEDIA\0001]
"DriverDesc"="ORV6490 PCI Audio Device"
"InfPath"="OVPCI032.INF"

[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Control\MediaResources\wave\ovpci.drv<0001>]
"Driver"="ovpci.drv"

[HKEY_LOCAL_MACHINE\Enum\PCI\VEN_7C5A&DEV_0111&SUBSYS_01117C5A&REV_01\BUS_00&DEV_0B&FUNC_00]
"Driver"="MEDIA\\0001"

[HKEY_LOCAL_MACHINE\Enum\VIRTUAL\VSX-LEGACY\0000]
"DeviceDesc"="ORV6490 Legacy Audio"

[HKEY_LOCAL_MACHINE\Software\ASIO\Orvanta ASIO]
"CLSID"="{188135e1-d565-11d2-854f-00a0c99f5d19}"
"Description"="Orvanta ASIO"

[HKEY_LOCAL_MACHINE\Software\ASIO\Other ASIO]
"CLSID"="{6A2F4E10-93C1-4B5D-8E27-0C1D2E3F4A5B}"
"Description"="Other ASIO"
REG
  both_file windows/inf/other/OVPCI032.INF $'[Version]\r\nSignature="$CHICAGO$"\r\nClass=MEDIA\r\n\r\n[Strings]\r\nVSX-Legacy.DeviceDesc="ORV6490 Legacy Audio (an earlier driver)"\r\n'
  both_file windows/inf/other/OTHER.INF $'[Version]\r\nSignature="$CHICAGO$"\r\nClass=MEDIA\r\n\r\n[Strings]\r\nVSX-Legacy.DeviceDesc="Another maker\'s device"\r\n'
  both_file windows/inf/other/OVPCI032.PNF $'compiled\r\n'
  both_file windows/system/OVAUDIO.VXD $'earlier VxD driver\r\n'
  both_file windows/system/OVSYNTH.DRV $'earlier synthesiser\r\n'
  held_open windows/system/OVAUDIO.VXD
  running_window Mixer windows/Mixer.exe
  play 102=click:3 130=click:1004,click:1 132=click:1001,click:1
  check "Setup.exe ends with 0" test "$setup_status" = 0
  check "the mixer was closed" grep -q '^closed' "$work/running.log"
  compare_pair
  compare_place "the INF files left" 'windows/inf/other/*.inf' 'windows/inf/other/*.pnf'
  check "the earlier driver's INF and PNF deleted under Wine, another maker's INF kept" \
    eval '[ ! -e "$(wine_file windows/inf/other/OVPCI032.INF)" ] &&
          [ ! -e "$(wine_file windows/inf/other/OVPCI032.PNF)" ] &&
          [ -e "$(wine_file windows/inf/other/OTHER.INF)" ]' 
  check "WININIT.INI renames the VxD held open at the next start" \
    grep -qiF 'C:\windows\SYSTEM\OVAUDIO.OLD=C:\windows\SYSTEM\OVAUDIO.VXD' \
    "$(wine_file windows/WININIT.INI)"
  local key
  for key in 'HKLM\Enum\PCI\VEN_7C5A&DEV_0111&SUBSYS_01117C5A&REV_01' \
    'HKLM\Enum\VIRTUAL\VSX-LEGACY' 'HKLM\Software\ASIO\Orvanta ASIO'; do
    check "$key removed under Wine" eval "! \"\$wine\" reg query '$key' > /dev/null 2>&1"
  done
  check "another maker's ASIO driver kept under Wine" \
    eval "\"\$wine\" reg query 'HKLM\Software\ASIO\Other ASIO' > /dev/null 2>&1"
}

# The codec variant: the ORV5970 behind an Intel controller, the disc for the codec. On
# Windows 95 the main window's "Install Device Driver and Applications" and "Install
# Applications" are disabled: the UI driver refuses them as Windows would, the simulated user's
# clicks do nothing, and "Exit" ends the program. Windows 98 SE (Wine's win98) keeps them: only
# the first Windows 98, which Wine cannot report, disables them too.
codec_variant() {
  local disabled=$3 enabled=1
  [ "$disabled" = 1 ] && enabled=0
  pair_begin "$1" "$2"
  set_option InstallWDMUDACodecDriver 1
  disc_read_only
  sed -i '/^00:0B.0=/d' "$machine/machine.ini"
  machine_setting PCI '00:1F.5=8086:2445 codec=4F52:5641'
  machine_setting PCI '00:1F.0=8086:2440'
  start_setup
  drive wait "$kMain" 30000 list "$kMain" > "$work/main.txt"
  check "buttons 1000 and 4 enabled=$enabled, 3 and Exit enabled" \
    eval 'control_enabled "$work/main.txt" 1000 $enabled && control_enabled "$work/main.txt" 4 $enabled &&
          control_enabled "$work/main.txt" 3 1 && control_enabled "$work/main.txt" 2 1'
  local id refused clicks=
  if [ "$disabled" = 1 ]; then
    for id in 1000 4; do
      refused=0
      drive click "$kMain" $id 2> /dev/null || refused=$?
      check "the UI driver refuses the disabled button $id (exit $refused)" test "$refused" = 2
    done
    clicks=click:1000,click:4,
  fi
  drive click "$kMain" 2
  wait_setup
  check "Setup.exe ends with 0" test "$setup_status" = 0
  run_sim --dialog "102=${clicks}click:2"
  check "the simulated clicks on disabled buttons that did nothing: $((disabled * 2))" \
    test "$(sim_journal ui | grep -c 'disabled, nothing happens$')" = $((disabled * 2))
  compare_pair
}
scenario_win95_codec() { codec_variant win95-codec win95 1; }
scenario_win98_codec() { codec_variant win98-codec win98 0; }

# The first stage of the WebSetup route on Windows 98 SE: the jack options answered (the MIDI
# port disabled), the WDM driver staged with its INF options patched, the staged MESetup.dat
# started.
scenario_win98_websetup1() {
  pair_begin win98-websetup1 win98
  set_option WebSetup 1
  set_option InstallWDMDriver 1
  disc_read_only
  play 103=click:1000,click:1
  check "Setup.exe ends with 0" test "$setup_status" = 0
  wait_log '^end' 10
  compare_pair
  check "the INF patch changed the staged copy (MIDI port disabled)" \
    eval '! cmp -s "$disc/Win_98SE/drv/OVAUDIO.INF" "$(wine_file "Program Files/Orvanta/WIN_ME/OVAUDIO.INF")"'
}

# "Install Applications" on NT 4.0 with the suite's player and the mixer running and an earlier
# suite registered: the windows closed, the uninstaller run with " -a" and waited for, then the
# suite's setup.
scenario_nt40_apps() {
  pair_begin nt40-apps nt40
  disc_read_only
  running_window AudioShelf 'Program Files/Orvanta/AudioShelf/AudioShelf.exe'
  running_window Mixer windows/Mixer.exe
  both_program OldSuite/Uninst.exe
  both_registry <<'REG'
[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\Sonavex WinNT Applications]
"UninstallString"="C:\\OldSuite\\Uninst.exe"
REG
  play 102=click:4
  check "Setup.exe ends with 0" test "$setup_status" = 0
  wait_log '^end	D:\\NT40' 10
  check "the player and the mixer were closed" \
    test "$(grep -c '^closed' "$work/running.log")" = 2
  compare_pair
  check "the suite's setup started after the uninstaller had ended" \
    test "$(standin_lines | cut -f1 | head -3 | tr '\n' ' ')" = "start end start "
}

# The combined command on Windows ME: the WDM driver staged for a deferred setup, then the
# suite's setup.
scenario_winme_combined() {
  pair_begin winme-combined winme
  disc_read_only
  play 102=click:1000
  check "Setup.exe ends with 0" test "$setup_status" = 0
  wait_log '^end' 10
  compare_pair
}

# "Install Device Driver" for the codec on Windows 98 SE: the codec's disc takes the WDM driver
# without a question; staged with the codec's catalog, its setup program started.
scenario_win98_codec_driver() {
  pair_begin win98-codec-driver win98
  set_option InstallWDMUDACodecDriver 1
  disc_read_only
  sed -i '/^00:0B.0=/d' "$machine/machine.ini"
  machine_setting PCI '00:1F.5=8086:2445 codec=4F52:5641'
  machine_setting PCI '00:1F.0=8086:2440'
  play 102=click:3
  check "Setup.exe ends with 0" test "$setup_status" = 0
  check "no architecture question for the codec" test ! -f "$work/dialog-130.txt"
  wait_log '^end' 10
  compare_pair
}

# No chip on Windows XP (the stand-in detection driver answers with nothing): the notice, then
# the end; and with NO_MSG on the command line, the end without any window.
no_chip() {
  pair_begin "$1" winxp
  rm -rf "$disc" && mkdir -p "$disc"
  build_disc "$setup_exe" none
  disc_read_only
  sed -i '/^00:0B.0=/d' "$machine/machine.ini"
  if [ "$2" = quiet ]; then
    play /DRIVER NO_MSG --
  else
    play 306=click:1
  fi
  check "Setup.exe ends with 0" test "$setup_status" = 0
  compare_pair
}
scenario_xp_no_chip() { no_chip xp-no-chip shown; }
scenario_xp_no_chip_quiet() {
  no_chip xp-no-chip-quiet quiet
  check "no window was shown (the real run's journal)" \
    eval '! grep -q " ms  ui       dialog" "$work/journal.txt"'
}
