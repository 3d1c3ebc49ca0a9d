# Sourced by e2e-under-wine.sh: a Wine prefix and a simulated machine made alike, a user's
# answers played on both, and their end states compared. The route scenarios (routes.sh) are
# written with these.

# The templates' titles, for the UI driver.
dialog_title() {
  case $1 in
    102) echo "$kMain" ;;
    103) echo "$kJackOptions" ;;
    130) echo "$kArchitecture" ;;
    132) echo "$kRestart" ;;
    306) echo "$kNoChip" ;;
  esac
}

# The lab tool's name of the Windows version Wine reports as $1.
sim_version_of() {
  case $1 in
    win95) echo 95 ;;
    win98) echo 98SE ;;  # Wine's win98 is 4.10 build 2222
    winme) echo ME ;;
    nt40) echo NT4 ;;
    win2k) echo 2000 ;;
    winxp) echo XP ;;
  esac
}

is_9x() {
  case $1 in win95 | win98 | winme) return 0 ;; *) return 1 ;; esac
}

# pair_begin NAME WINE-VERSION: a scenario on a fresh prefix of that version and a simulated
# machine like it, the disc built with the launcher that detects the maker's chip as that
# version does (the simulated board on the 9x family, which scans the PCI bus through ports;
# the real Setup.exe on NT, through the stand-in detection driver), its journal on.
pair_begin() {
  scenario_begin "$1" "$2"
  pair_version=$2
  if is_9x "$2"; then
    build_disc "$board_setup_exe"
  else
    build_disc
  fi
  pair_machine "$2"
  journal_on
}

# pair_machine WINE-VERSION: the simulated machine as Wine's prefix is: the Windows folder
# C:\windows with Wine's WIN.INI, C:\Program Files, the system folders (Wine's 64-bit prefix has
# no C:\windows\system, which every Windows has: it is made there too), the maker's chip on the
# PCI bus (the same description is the simulated board's under Wine), a driver library that
# has a configuration dialog as the test driver library has, and the install locations' list.
pair_machine() {
  local windows
  machine=$work/sim
  rm -rf "$machine"
  windows=$machine/drive_c/windows
  mkdir -p "$windows/inf" "$windows/system" "$windows/system32/drivers" \
    "$machine/drive_c/Program Files" "$prefix_c/windows/system"
  cp "$(template_prefix)/drive_c/windows/win.ini" "$windows/win.ini"
  printf '[Windows]\r\nVersion=%s\r\nFolder=C:\\windows\r\n[Drives]\r\nC=drive_c\r\n' \
    "$(sim_version_of "$1")" > "$machine/machine.ini"
  printf '[RunningWindows]\r\n[OpenFiles]\r\n[Hardware]\r\nPciBios=1\r\nAdministrator=1\r\n' \
    >> "$machine/machine.ini"
  printf '[PCI]\r\n00:0B.0=7C5A:0111\r\n[DriverLibraries]\r\nov-pci.dll=configure\r\n' \
    >> "$machine/machine.ini"
  printf 'REGEDIT4\r\n\r\n' > "$machine/registry.reg"
  : > "$machine/files.txt"
  both_registry <<'EOF'
[HKEY_USERS\.DEFAULT\InstallLocationsMRU]
EOF
  is_9x "$1" && board_from "$machine"
  return 0
}

# both_registry < REGEDIT4-BODY: keys and values on both machines. The simulated machine's
# current user is HKEY_USERS\.DEFAULT; Wine's is a key of its own, so a key of .DEFAULT is made
# in Wine's current user too.
both_registry() {
  local body=$work/registry-body.txt
  tr -d '\r' > "$body"
  sed 's/$/\r/' "$body" >> "$machine/registry.reg"
  {
    printf 'REGEDIT4\r\n\r\n'
    sed 's/$/\r/' "$body"
    printf '\r\n'
    sed 's/^\[HKEY_USERS\\\.DEFAULT\\/[HKEY_CURRENT_USER\\/' "$body" | sed 's/$/\r/'
  } > "$work/import.reg"
  "$wine" regedit /S "$(wine_path "$work/import.reg")" > /dev/null 2>&1
}

# both_file C-PATH TEXT [ATTRIBUTES]: a file below C: on both machines (a path with / between
# names), written as Windows writes a new file (archive); ATTRIBUTES 0x21 makes it read-only.
both_file() {
  local path=$1 text=$2 attributes=${3:-0x20}
  mkdir -p "$(dirname "$prefix_c/$path")" "$(dirname "$machine/drive_c/$path")"
  printf '%s' "$text" > "$prefix_c/$path"
  printf '%s' "$text" > "$machine/drive_c/$path"
  if [ $((attributes & 1)) -eq 1 ]; then
    chmod a-w "$prefix_c/$path"
  fi
  printf '%s\t\tC:\\%s\r\n' "$attributes" "${path//\//\\}" >> "$machine/files.txt"
}

# both_program C-PATH: a stand-in program below C: on both machines.
both_program() {
  mkdir -p "$(dirname "$prefix_c/$1")" "$(dirname "$machine/drive_c/$1")"
  cp "$standin_exe" "$prefix_c/$1"
  cp "$standin_exe" "$machine/drive_c/$1"
  printf '0x20\t\tC:\\%s\r\n' "${1//\//\\}" >> "$machine/files.txt"
}

# The Windows path of a path below C: given with / between names.
c_path() {
  local path="C:\\${1//\//\\}"
  echo "$path"
}

# running_window TITLE C-PATH: the program below C: left running with a window of that title,
# on both machines; its lines go to $work/running.log.
running_window() {
  local path
  path=$(c_path "$2")
  both_program "$2"
  machine_setting RunningWindows "$1=${path//\\/\\\\}"
  (ORV_STANDIN_LOG="$(wine_path "$work/running.log")" ORV_STANDIN_WINDOW=$1 \
    exec "$wine" "C:\\${2//\//\\}" > /dev/null 2>&1 &)
  drive wait-window "$1" 10000
}

# held_open C-PATH: a file below C: that a running program holds open, unshared, as Windows
# holds a loaded driver's file: it cannot be deleted until the next start.
held_open() {
  local path
  path=$(c_path "$1")
  machine_setting OpenFiles "${path//\\/\\\\}=VMM"
  both_program windows/holder.exe
  (ORV_STANDIN_LOG="$(wine_path "$work/running.log")" ORV_STANDIN_MS=600000 \
    ORV_STANDIN_HOLD="C:\\${1//\//\\}" exec "$wine" 'C:\windows\holder.exe' > /dev/null 2>&1 &)
  local deadline=$((SECONDS + 10))
  until grep -q '^holding' "$work/running.log" 2> /dev/null || [ $SECONDS -ge $deadline ]; do
    sleep 0.05
  done
  grep -q '^holding' "$work/running.log" || fail "the holder did not open C:\\${1//\//\\}"
}

# play [ARGS -- ] TEMPLATE=ACTIONS...: the launcher started with ARGS under Wine, the user's
# actions played on its dialogs in the order given (click:ID, close), then the same on the
# simulated machine through the lab tool. A dialog the user does not answer keeps the program
# waiting until the test's time runs out.
play() {
  local args=() answers=() answer template actions action title
  if [[ " $* " == *" -- "* ]]; then
    while [ "$1" != -- ]; do
      args+=("$1")
      shift
    done
    shift
  fi
  answers=("$@")
  start_setup "${args[@]}"
  for answer in "${answers[@]}"; do
    template=${answer%%=*}
    actions=${answer#*=}
    title=$(dialog_title "$template")
    if ! drive wait "$title" 30000; then
      fail "dialog $template (\"$title\") was not shown"
      break
    fi
    list_dialog "$template" "$title"
    for action in ${actions//,/ }; do
      case $action in
        click:*) drive click "$title" "${action#click:}" || fail "click ${action#click:} in $template refused" ;;
        close) drive close "$title" ;;
      esac
    done
  done
  wait_setup
  local sim_args=()
  for answer in "${answers[@]}"; do
    sim_args+=(--dialog "$answer")
  done
  [ ${#args[@]} -gt 0 ] && sim_args+=(--args "${args[*]}")
  run_sim "${sim_args[@]}"
}

# The controls of each dialog as it was first met, in $work/dialog-TEMPLATE.txt.
list_dialog() {
  [ -f "$work/dialog-$1.txt" ] || drive list "$2" > "$work/dialog-$1.txt"
}

# The install location the simulation recorded (the short form of the staging folder), and
# Wine's short form of the same folder: set as sim_short and wine_short.
short_forms() {
  local long
  sim_short=$(sim_journal registry | sed -n 's/.*InstallLocationsMRU "[a-z]" = REG_SZ "\(.*\)\\"$/\1/p' |
    head -1)
  wine_short=
  [ -n "$sim_short" ] || return 0
  long="C:\\Program Files\\Orvanta\\${sim_short##*\\}"
  wine_short=$(wine_short_name "$long")
  known_wine_difference "short names are hashed ($wine_short for $sim_short); the simulation's" \
    "put in their place before comparing"
}

# normalised FILE: Wine's copy of a file with its short form of the staging folder replaced.
normalised() {
  if [ -n "$wine_short" ]; then
    wine_normalised "$1" "$wine_short" "$sim_short"
  else
    echo "$1"
  fi
}

# same_file WHAT WINE-FILE SIM-FILE: equal bytes; or equal once Wine's short forms are replaced
# and blank lines left out, which is how Wine's WritePrivateProfileStringA leaves a file it
# wrote an entry into (a known Wine difference).
same_file() {
  local what=$1 wine_file=$2 sim_file=$3 normal
  if [ ! -f "$wine_file" ] || [ ! -f "$sim_file" ]; then
    fail "$what: only on $([ -f "$sim_file" ] && echo "the simulated machine" || echo "Wine")"
    return
  fi
  normal=$(normalised "$wine_file")
  if cmp -s "$normal" "$sim_file"; then
    pass "$what: equal byte for byte"
  elif cmp -s <(grep -vE $'^\r?$' "$normal") <(grep -vE $'^\r?$' "$sim_file"); then
    pass "$what: equal but for the blank lines"
    known_wine_difference "$what: WritePrivateProfileStringA rewrote the whole file without its" \
      "blank lines; Windows and the simulation keep them"
  else
    fail "$what differs (- simulation, + Wine):"
    diff -u <(cat -A "$sim_file") <(cat -A "$normal") | head -40
  fi
}

# compare_place WHAT C-PATTERN...: the files below C: whose paths (with /, compared ignoring
# case) match one of the shell patterns, on both machines: the same names, read-only the same,
# the same bytes (same_file).
compare_place() {
  local what=$1 pattern relative
  shift
  list_place() {
    local root=$1 path lower keep
    while IFS= read -r -d '' path; do
      relative=${path#"$root"/}
      lower=${relative,,}
      keep=
      for pattern in "${@:2}"; do
        # shellcheck disable=SC2053
        [[ $lower == ${pattern,,} ]] && keep=1
      done
      [ -n "$keep" ] && echo "$lower"
    done < <(find "$root" -type f -print0) | LC_ALL=C sort
  }
  list_place "$prefix_c" "$@" > "$work/place-wine.txt"
  list_place "$machine/drive_c" "$@" > "$work/place-sim.txt"
  if ! diff -u "$work/place-sim.txt" "$work/place-wine.txt" > "$work/place.diff"; then
    fail "$what: not the same files (- simulation, + Wine):"
    cat "$work/place.diff"
    return
  fi
  if [ ! -s "$work/place-wine.txt" ]; then
    pass "$what: none on either machine"
    return
  fi
  # Read-only on the simulated machine: its files.txt, by C: path.
  local -A read_only=()
  local line path wine_file sim_file attributes_sim attributes_wine
  while IFS= read -r line; do
    path=${line##*$'\t'}
    [ $((${line%%$'\t'*} & 1)) -eq 1 ] && read_only[${path,,}]=1
  done < <(grep -v '^;' "$machine/files.txt" | tr -d '\r')
  while IFS= read -r relative; do
    wine_file=$(wine_file "$relative")
    sim_file=$(sim_file "$relative")
    attributes_wine=rw
    [ -z "$(find "$wine_file" -perm /222)" ] && attributes_wine=ro
    attributes_sim=rw
    path="c:\\${relative//\//\\}"
    [ -n "${read_only[$path]+x}" ] && attributes_sim=ro
    if [ "$attributes_wine" != "$attributes_sim" ]; then
      fail "$what: $relative is $attributes_wine under Wine, $attributes_sim on the simulated machine"
    fi
    same_file "$what: $relative" "$wine_file" "$sim_file"
  done < "$work/place-wine.txt"
}

# compare_started: the programs the launcher started, with their command lines and in order,
# as the stand-ins recorded them under Wine and as the simulation journaled them.
compare_started() {
  local wine_list sim_list
  wine_list=$(standin_lines | sed -n 's/^start\t//p')
  [ -n "$wine_short" ] && wine_list=${wine_list//"$wine_short"/"$sim_short"}
  sim_list=$(sim_journal process | sed -n 's/^\(WinExec\|CreateProcess\) "\(.*\)" (program .*$/\2/p')
  check "the programs started: \"${wine_list//$'\n'/\", \"}\" (simulation: \"${sim_list//$'\n'/\", \"}\")" \
    test "$wine_list" = "$sim_list"
}

# compare_pair: the journals, the registry keys they name, the programs started, and the places
# every route may change.
compare_pair() {
  short_forms
  compare_journals "the journals of the two runs" "$wine_short" "$sim_short"
  compare_registry
  compare_started
  compare_place "the maker's folders" 'program files/orvanta/*'
  compare_place "the maker's INF files and the state files" 'windows/inf/ov*' \
    'windows/inf/other/ov*' 'windows/options/cabs/ov*' 'windows/orvsetup.ini' 'windows/wininit.ini'
  compare_place "the driver files" 'windows/system/ov*' 'windows/system32/ov*' \
    'windows/system32/drivers/ov*' 'windows/ovuninst.exe' 'windows/mixer.exe'
}

# The registry's end state: every key the real run's journal names (as the launcher named it:
# HKEY_CURRENT_USER is Wine's own user, HKEY_USERS\.DEFAULT the simulated machine's), its values
# under Wine (reg query) and on the simulated machine (its saved registry.reg), each
# "name=TYPE:data" in lower-case names, or "absent" for a key that is not there.
journal_keys() {
  tr -d '\r' < "$work/journal.txt" |
    sed -n -E 's/^ *[0-9]+ ms  registry (set|delete value) ([^"]*) ".*$/\2/p;
               s/^ *[0-9]+ ms  registry (create|delete) key (.*)$/\2/p' |
    sed -E 's/ with [0-9]+ subkeys$//' | awk '!seen[tolower($0)]++'
}

# The awk functions both readers use: a hexadecimal number's value.
registry_awk_functions='
function hexval(text,   i, v) {
  v = 0
  text = tolower(text)
  for (i = 1; i <= length(text); i++) v = v * 16 + index("0123456789abcdef", substr(text, i, 1)) - 1
  return v
}'

wine_key_values() {
  local output
  if ! output=$("$wine" reg query "$1" 2> /dev/null); then
    echo absent
    return
  fi
  tr -d '\r' <<< "$output" | awk "$registry_awk_functions"'
    /^    / {
      line = substr($0, 5)
      at = match(line, /    REG_[A-Z_]+/)
      name = substr(line, 1, at - 1)
      rest = substr(line, at + 4)
      gap = index(rest, "    ")
      type = gap ? substr(rest, 1, gap - 1) : rest
      data = gap ? substr(rest, gap + 4) : ""
      if (name == "(Default)") name = "@"
      if (type == "REG_DWORD") data = sprintf("0x%x", hexval(substr(data, 3)))
      print tolower(name) "=" type ":" data
    }' | LC_ALL=C sort
}

sim_key_values() {
  local key=$1
  key=${key/#HKEY_CURRENT_USER/HKEY_USERS\\.DEFAULT}
  key=${key/#HKEY_CLASSES_ROOT/HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes}
  tr -d '\r' < "$machine/registry.reg" | awk -v key="${key,,}" "$registry_awk_functions"'
    function unquoted(text,   out, i, c) {
      out = ""
      for (i = 1; i <= length(text); i++) {
        c = substr(text, i, 1)
        if (c == "\\") { i++; c = substr(text, i, 1) }
        out = out c
      }
      return out
    }
    /^\[/ { inside = tolower(substr($0, 2, length($0) - 2)) == key; if (inside) found = 1; next }
    inside && length($0) > 0 {
      if (substr($0, 1, 1) == "@") { name = "@"; rest = substr($0, 3) }
      else {
        name = ""
        for (i = 2; i <= length($0); i++) {
          c = substr($0, i, 1)
          if (c == "\\") { i++; name = name substr($0, i, 1); continue }
          if (c == "\"") break
          name = name c
        }
        rest = substr($0, i + 2)
      }
      if (substr(rest, 1, 1) == "\"") value = "REG_SZ:" unquoted(substr(rest, 2, length(rest) - 2))
      else if (rest ~ /^dword:/) value = sprintf("REG_DWORD:0x%x", hexval(substr(rest, 7)))
      else if (rest ~ /^hex:/) { data = substr(rest, 5); gsub(",", "", data); value = "REG_BINARY:" toupper(data) }
      else if (rest ~ /^hex\(2\):/) {
        count = split(substr(rest, 8), bytes, ",")
        data = ""
        for (j = 1; j <= count; j++) if (hexval(bytes[j]) != 0) data = data sprintf("%c", hexval(bytes[j]))
        value = "REG_EXPAND_SZ:" data
      } else value = "OTHER:" rest
      print tolower(name) "=" value
    }
    END { if (!found) print "absent" }' | LC_ALL=C sort
}

# compare_registry: the values of every key the run named, alike on both machines.
compare_registry() {
  local key keys=0 differing=0
  while IFS= read -r key; do
    keys=$((keys + 1))
    wine_key_values "$key" > "$work/key-wine.txt"
    [ -n "$wine_short" ] && sed -i "s/${wine_short//\\/\\\\}/${sim_short//\\/\\\\}/g" "$work/key-wine.txt"
    sim_key_values "$key" > "$work/key-sim.txt"
    if ! diff -u "$work/key-sim.txt" "$work/key-wine.txt" > "$work/key.diff"; then
      differing=$((differing + 1))
      fail "the registry key $key differs (- simulation, + Wine):"
      tail -n +3 "$work/key.diff"
    fi
  done < <(journal_keys)
  if [ "$keys" -eq 0 ]; then
    echo "note $scenario: the run named no registry key"
  elif [ "$differing" -eq 0 ]; then
    pass "the registry: the $keys keys the run named hold the same values on both machines"
  fi
}
