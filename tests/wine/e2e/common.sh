# Sourced by e2e-under-wine.sh: what every scenario uses. A scenario runs the real Setup.exe
# under Wine in a prefix of its own (copied from one booted template), with a disc folder it
# builds as drive D:, plays the user with the UI driver, and runs the same disc with the same
# answers on the simulated machine (the lab tool), then compares the two end states.
source "$(dirname "${BASH_SOURCE[0]}")/../wine-env.sh"

# Without a sound card the multimedia system's ALSA driver only complains; the launcher finds
# no mixer either way.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winealsa.drv="

# Set by e2e-under-wine.sh: bin (the build's test folder), source (the project), setup_exe,
# board_setup_exe (Setup.exe with a simulated PCI bus), standin_exe, ui_driver_exe, drivers (the stand-in detection drivers),
# setup_sim (the lab tool of the host build).
template_prefix() { echo "$bin/wineprefix-e2e-template"; }

# Boots the template prefix once; scenarios running side by side wait for it.
boot_template() {
  local template
  template=$(template_prefix)
  (
    flock 9
    WINEPREFIX=$template wine_prefix_ready
  ) 9> "$template.lock"
}

# A prefix of its own for one scenario: a copy of the template, where the big folders of
# Windows' own programs are hard links (no scenario writes into them) and the rest is copied,
# so that a scenario costs a tenth of a second instead of a boot or a 700 MB copy.
copy_prefix() {
  local template from to entry
  template=$(template_prefix)
  to=$1
  rm -rf "$to"
  mkdir -p "$to/drive_c/windows"
  for entry in "$template"/* "$template"/.[!.]*; do
    [ -e "$entry" ] || continue
    case $(basename "$entry") in drive_c | .orv-ready) continue ;; esac
    cp -a "$entry" "$to/"
  done
  touch "$to/.orv-ready"
  for entry in "$template/drive_c"/*; do
    [ "$(basename "$entry")" = windows ] || cp -a "$entry" "$to/drive_c/"
  done
  for entry in "$template/drive_c/windows"/*; do
    from=$(basename "$entry")
    case $from in
      system32 | syswow64 | winsxs) cp -al "$entry" "$to/drive_c/windows/" ;;
      *) cp -a "$entry" "$to/drive_c/windows/" ;;
    esac
  done
}

passed=0
failed=0
scenario=
pass() {
  passed=$((passed + 1))
  echo "ok   $scenario: $*"
}
fail() {
  failed=$((failed + 1))
  echo "FAIL $scenario: $*"
}
# check DESCRIPTION COMMAND...: passes when the command succeeds.
check() {
  local what=$1
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}
# Known differences between Wine and Windows (and so the simulation), said where they stand.
known_wine_difference() {
  echo "note $scenario: known Wine difference: $*"
}

# scenario_begin NAME WINDOWS-VERSION: a fresh prefix, an empty disc folder mapped as D:, the
# Windows version Wine reports, and the stand-ins' log.
scenario_begin() {
  scenario=$1
  work=$bin/e2e/$1
  rm -rf "$work"
  mkdir -p "$work"
  export WINEPREFIX=$work/prefix
  copy_prefix "$WINEPREFIX"
  prefix_c=$WINEPREFIX/drive_c
  disc=$work/disc
  mkdir -p "$disc"
  ln -sfn "$disc" "$WINEPREFIX/dosdevices/d:"
  wine_version "$2"
  export ORV_STANDIN_LOG="Z:${work//\//\\}\\standin.log"
  standin_log=$work/standin.log
  rm -f "$standin_log"
}

scenario_end() {
  wine_stop
  # A scenario that passed leaves nothing; one that failed leaves its prefix to look at.
  if [ "$failed" -eq 0 ]; then
    rm -rf "$WINEPREFIX"
  fi
}

# Converts text files to CR LF line ends in place.
to_crlf() {
  local file
  for file in "$@"; do
    sed -i 's/\r$//; s/$/\r/' "$file"
  done
}

# build_disc [SETUP-PROGRAM [DRIVER-ANSWER]]: the sample disc with the real programs and the
# stand-ins: SETUP.EXE is the launcher, the driver setup programs and the suite's setups record
# their command lines, orvainfo.sys is the stand-in detection driver of that answer. Its text
# files have CR LF line ends, as Windows' own tools write them (Wine rewrites a whole profile
# file into CR LF when it writes one entry: a known difference the contract suite states; with
# CR LF files the comparison needs no line-end normalisation). The disc is read-only media.
build_disc() {
  local program=${1:-$setup_exe} answer=${2:-maker} file
  cp -r "$source/examples/disc/." "$disc/"
  cp "$program" "$disc/SETUP.EXE"
  cp "$drivers/orvainfo-$answer.sys" "$disc/orvainfo.sys"
  for file in MESetup.dat W2KSetup.dat Applications/Setup.exe Win_ME/app/Setup.exe \
    W95-98/app/Setup.exe NT40/app/Setup.exe; do
    cp "$standin_exe" "$disc/$file"
  done
  while IFS= read -r -d '' file; do
    to_crlf "$file"
  done < <(find "$disc" -type f \( -iname '*.ini' -o -iname '*.inf' -o -iname '*.txt' \) -print0)
}

# set_option KEY VALUE: in the disc's option file.
set_option() {
  sed -i "s/^$1=.*\r\$/$1=$2\r/" "$disc/setup.ini"
  grep -q "^$1=$2"$'\r'"\$" "$disc/setup.ini" || printf '%s=%s\r\n' "$1" "$2" >> "$disc/setup.ini"
}

disc_read_only() {
  find "$disc" -type f -exec chmod a-w {} +
}

# The Windows form of a host path under Wine (drive Z: is the host's root).
wine_path() {
  local path
  path=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
  echo "Z:${path//\//\\}"
}

# board_from MACHINE: the next start of the launcher with the simulated board detects on that
# machine's PCI bus (its machine.ini's [Hardware] and [PCI]).
board_from() {
  export ORV_SIM_MACHINE
  ORV_SIM_MACHINE=$(wine_path "$1/machine.ini")
}

# start_setup [ARGS...]: the launcher from the disc, in the background; setup_pid is its
# process. It is started from the disc's root, as the simulated machine starts it.
start_setup() {
  (cd "$disc" && exec timeout 60 "$wine" 'D:\SETUP.EXE' "$@") &
  setup_pid=$!
}

# wait_setup: its exit status into setup_status (124 when it had to be stopped).
wait_setup() {
  setup_status=0
  wait "$setup_pid" || setup_status=$?
}

# drive COMMANDS...: the UI driver (see tools/ui-driver/main.cpp).
drive() {
  "$wine" "$ui_driver_exe" "$@" | tr -d '\r'
  return "${PIPESTATUS[0]}"
}

# wait_log PATTERN SECONDS: until the stand-ins' log has a line matching the pattern.
wait_log() {
  local deadline=$((SECONDS + $2))
  while [ $SECONDS -lt "$deadline" ]; do
    [ -f "$standin_log" ] && tr -d '\r' < "$standin_log" | grep -qE "$1" && return 0
    sleep 0.05
  done
  return 1
}

standin_lines() {
  [ -f "$standin_log" ] && tr -d '\r' < "$standin_log"
  return 0
}

# sim_machine NAME EXAMPLE: a machine folder for the lab tool, copied from examples/machines.
sim_machine() {
  machine=$work/sim-$1
  rm -rf "$machine"
  cp -r "$source/examples/machines/$2" "$machine"
}

# run_sim ARGS...: the lab tool on the machine and the same disc, saving the machine; its
# journal is in $work/sim-journal.txt.
run_sim() {
  if [ ! -x "$setup_sim" ]; then
    fail "the lab tool $setup_sim is not built (build the host preset first)"
    return 1
  fi
  "$setup_sim" --journal --machine "$machine" --disc "$disc" --save "$@" > "$work/sim-journal.txt" 2>&1
}

# The simulation's journal lines of one kind, without their times.
sim_journal() {
  sed -n "s/^ *[0-9]* ms  $1 *//p" "$work/sim-journal.txt"
}

# dump_tree ROOT [ATTRIBUTES-FILE DOS-ROOT]: every file below ROOT as
# "path<TAB>ro|rw<TAB>checksum", sorted. Wine keeps the read-only attribute in the file's write
# permissions (none at all: read-only); the simulated machine's folder keeps it in files.txt,
# by C: path, given as ATTRIBUTES-FILE with the C: path of ROOT as DOS-ROOT.
dump_tree() {
  local root=$1 attributes=${2:-} dos_root=${3:-} path relative mode line
  local -A read_only=()
  [ -d "$root" ] || return 0
  if [ -n "$attributes" ] && [ -f "$attributes" ]; then
    # attributes<TAB>8.3 name<TAB>path (the 8.3 name may be empty)
    while IFS= read -r line; do
      path=${line##*$'\t'}
      [ $((${line%%$'\t'*} & 1)) -eq 1 ] && read_only[${path,,}]=1
    done < <(grep -v '^;' "$attributes" | tr -d '\r')
  fi
  while IFS= read -r -d '' path; do
    relative=${path#"$root"/}
    mode=rw
    if [ -n "$attributes" ]; then
      local dos="$dos_root\\${relative//\//\\}"
      [ -n "${read_only[${dos,,}]+x}" ] && mode=ro
    elif [ -z "$(find "$path" -perm /222)" ]; then
      mode=ro
    fi
    printf '%s\t%s\t%s\n' "$relative" "$mode" "$(sha256sum < "$path" | cut -c1-16)"
  done < <(find "$root" -type f -print0) | LC_ALL=C sort
}

# compare_trees WHAT WINE-ROOT SIM-ROOT DOS-ROOT [PROFILE...]: the same files, attributes and
# bytes; the differences are shown. The PROFILE files (names relative to the roots) are files the
# launcher writes entries into: their bytes are compared by compare_profile instead.
compare_trees() {
  local what=$1 wine_root=$2 sim_root=$3 dos_root=$4 profile
  shift 4
  dump_tree "$wine_root" > "$work/wine-tree.txt"
  dump_tree "$sim_root" "$machine/files.txt" "$dos_root" > "$work/sim-tree.txt"
  for profile in "$@"; do
    sed -i "s|^\($profile\t[a-z]*\)\t.*|\1\tprofile|" "$work/wine-tree.txt" "$work/sim-tree.txt"
  done
  if [ ! -s "$work/wine-tree.txt" ]; then
    fail "$what: nothing under $wine_root"
  elif diff -u "$work/sim-tree.txt" "$work/wine-tree.txt" > "$work/tree.diff"; then
    pass "$what: $(wc -l < "$work/wine-tree.txt") files equal byte for byte, attributes too"
  else
    fail "$what differs (- simulation, + Wine):"
    cat "$work/tree.diff"
    show_file_differences "$wine_root" "$sim_root"
  fi
  for profile in "$@"; do
    compare_profile "$what: $profile" "$wine_root/$profile" "$sim_root/$profile"
  done
}

# compare_profile WHAT WINE-FILE SIM-FILE: a profile file the launcher wrote entries into.
# Windows changes only the line it writes (and so does the simulation); Wine rewrites the whole
# file, and drops its blank lines. Equal bytes pass; files equal but for blank lines pass as
# that known Wine difference, so that the day Wine keeps them the test says so.
compare_profile() {
  local what=$1
  if [ ! -f "$2" ] || [ ! -f "$3" ]; then
    fail "$what: missing ($( [ -f "$3" ] || echo "simulation ")$( [ -f "$2" ] || echo "Wine"))"
  elif cmp -s "$2" "$3"; then
    pass "$what: equal byte for byte"
  elif cmp -s <(grep -vE $'^\r?$' "$2") <(grep -vE $'^\r?$' "$3"); then
    pass "$what: equal but for the blank lines"
    known_wine_difference "$what: WritePrivateProfileStringA rewrote the whole file without" \
      "its $(grep -cE $'^\r?$' "$3") blank line(s); Windows and the simulation keep them"
  else
    fail "$what differs (- simulation, + Wine):"
    diff -u <(cat -A "$3") <(cat -A "$2") | head -40
  fi
}

# For every file of both trees whose bytes differ, the differing text.
show_file_differences() {
  local wine_root=$1 sim_root=$2 relative
  while IFS= read -r relative; do
    if [ -f "$wine_root/$relative" ] && [ -f "$sim_root/$relative" ] &&
      ! cmp -s "$wine_root/$relative" "$sim_root/$relative"; then
      echo "--- $relative (simulation) / +++ (Wine):"
      diff -u <(cat -A "$sim_root/$relative") <(cat -A "$wine_root/$relative") | head -40
    fi
  done < <(cut -f1 "$work/wine-tree.txt" "$work/sim-tree.txt" | sort -u)
}

# compare_files WHAT WINE-FILE SIM-FILE: byte for byte.
compare_files() {
  local what=$1
  if [ ! -f "$2" ] || [ ! -f "$3" ]; then
    fail "$what: missing ($( [ -f "$3" ] || echo "simulation ")$( [ -f "$2" ] || echo "Wine"))"
  elif cmp -s "$2" "$3"; then
    pass "$what: equal byte for byte"
  else
    fail "$what differs (- simulation, + Wine):"
    diff -u <(cat -A "$3") <(cat -A "$2") | head -40
  fi
}

# A path below drive C:, found whatever the letter case of its names (Windows' names are
# case-insensitive: the simulated machine keeps its Windows folder as "WINDOWS" on the host
# even when the machine calls it C:\windows, as Wine does); as given when there is none.
find_path() {
  local found
  found=$(find "$1" -ipath "$1/$2" -print -quit 2> /dev/null)
  echo "${found:-$1/$2}"
}
wine_file() { find_path "$prefix_c" "$1"; }
sim_file() { find_path "$machine/drive_c" "$1"; }

# journal_lines FILE [WINE-SHORT SIM-SHORT]: the lines of a journal (the real run's, written
# where ORVSETUP_JOURNAL said, or the lab tool's output) that both journals can say, without
# their times and in lower case, Wine's short form of a folder put back into the simulation's.
# Left out, as the journaling layer's own test leaves them out (tests/journal/): what only the
# simulation sees (injected faults, its notes on what Windows does unseen, such as a loop that
# polls an exit code, a service removed when its last handle closes, clicks on
# disabled controls, the messages the system sends a driver library as it opens and closes it,
# the simulated restart after the run) and what only the layer says (calls that failed, the
# library opened and closed). The simulation names the program a command line started, the PCI
# function's identifiers and the function decoding a port; it calls a command a click; it names
# the current user's keys and the classes by the keys they are views of. The window a driver
# library is given as its owner has a number of each machine's own.
journal_lines() {
  local file=$1 wine_short=${2:-} sim_short=${3:-}
  tr -d '\r' < "$file" | sed -n 's/^ *[0-9]* ms  \([a-z]*\) *\(.*\)$/\1 \2/p' |
    grep -vE '^(fault|failed|stopped|note) |nothing happens$|^service ".*" removed$' |
    grep -vE '^driver .*: DRV_(LOAD|ENABLE|OPEN|CLOSE|DISABLE|FREE) |^driver (OpenDriver|CloseDriver) ' |
    grep -vE '^restart (Windows restarts|renamed |deleted |could not )' |
    sed -E 's/^(process (WinExec|CreateProcess) ".*") \(program .*\)$/\1/;
            s/^ui click /ui command /;
            s/^(pci [0-9A-F:.]+) \([0-9A-F:]+\)/\1/;
            s/^(port .*h) \(.*\)$/\1/;
            s/: (DRV_INSTALL|DRV_CONFIGURE) \(0x[0-9A-F]+, /: \1 (window, /;
            s/HKEY_CURRENT_USER/HKEY_USERS\\.DEFAULT/;
            s/HKEY_CLASSES_ROOT/HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes/' |
    if [ -n "$wine_short" ]; then sed "s/${wine_short//\\/\\\\}/${sim_short//\\/\\\\}/g"; else cat; fi |
    tr '[:upper:]' '[:lower:]'
}

# compare_journals WHAT [WINE-SHORT SIM-SHORT]: the real run's journal ($work/journal.txt)
# against the lab tool's ($work/sim-journal.txt), line by line; differences shown.
compare_journals() {
  local what=$1
  shift
  if [ ! -s "$work/journal.txt" ]; then
    fail "$what: the real run wrote no journal"
    return
  fi
  journal_lines "$work/journal.txt" "$@" > "$work/journal-wine-all.txt"
  journal_lines "$work/sim-journal.txt" > "$work/journal-sim.txt"
  # Wine reports the archive attribute on every file, also after its attributes were reset
  # (tests/contract/ContractFiles.cpp): a file reset twice reads as changed twice. Windows, and
  # the simulation, have nothing to journal the second time.
  awk '!(/^file attributes / && $0 == previous) { print } { previous = $0 }' \
    "$work/journal-wine-all.txt" > "$work/journal-wine.txt"
  if ! cmp -s "$work/journal-wine-all.txt" "$work/journal-wine.txt"; then
    known_wine_difference "$what: a file's attributes reset again read as a change (the archive" \
      "attribute Wine always reports): $(diff "$work/journal-wine-all.txt" "$work/journal-wine.txt" |
        sed -n 's/^< //p' | tr '\n' ';')"
  fi
  if diff -u "$work/journal-sim.txt" "$work/journal-wine.txt" > "$work/journal.diff"; then
    pass "$what: the two journals agree, $(wc -l < "$work/journal-wine.txt") lines"
  elif cmp -s <(sort "$work/journal-sim.txt") <(sort "$work/journal-wine.txt") &&
    cmp -s <(grep -v '^file copy ' "$work/journal-sim.txt") \
      <(grep -v '^file copy ' "$work/journal-wine.txt"); then
    # The launcher copies a folder's files in the order the system lists them. Wine lists a
    # folder's names sorted ignoring case, as NTFS does; the simulated disc lists them in the
    # order of its directory, as a CD's does (Joliet sorts names with their letter case).
    pass "$what: the two journals agree, $(wc -l < "$work/journal-wine.txt") lines, but for the order of copies"
    known_wine_difference "$what: files copied from a folder in another order (Wine lists names" \
      "sorted ignoring case; the disc lists them as its directory holds them):" \
      "$(grep '^[-+]file copy ' "$work/journal.diff" | tr '\n' ';')"
  else
    fail "$what: the journals differ (- simulation, + Wine):"
    cat "$work/journal.diff"
  fi
}

# The journal of the next start of the launcher goes to $work/journal.txt.
journal_on() {
  export ORVSETUP_JOURNAL
  ORVSETUP_JOURNAL=$(wine_path "$work/journal.txt")
}
