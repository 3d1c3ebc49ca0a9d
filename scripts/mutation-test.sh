#!/usr/bin/env bash
# Mutation test: does a changed line of the launcher's logic fail a test? Makes single-line
# changes to the sources of install/, cleanup/, apps/, app/ and detect/ (scripts/mutation/
# mutants.awk: comparisons flipped or loosened, && and || exchanged, a condition negated, a call
# removed, two statements swapped, a constant moved by one), rebuilds only the test programs
# that cover the changed file, runs them, and reports each change killed (a test failed, or the
# program crashed or hung) or survived. A change that does not compile is no change and counts
# for nothing.
#
# The catalogue is every STRIDE-th change the generator finds, in the order of the files and
# their lines. Survivors must be killed by a better test or listed, with the reason, in
# scripts/mutation/equivalent.txt; the run fails when one is neither.
#
# It works on a copy of the sources in its own build folder (build/mutation, or
# ORV_MUTATION_DIR): the working tree and the other build folders are never written.
#
# Usage: scripts/mutation-test.sh [--sample] [--stride N] [--only REGEX] [--list] [--from FILE]
#   --sample     every 40th change of the catalogue (what CI runs)
#   --stride N   the catalogue: every Nth change found (default 4)
#   --only RE    only the files whose path matches RE
#   --list       print the catalogue and stop (one change a line, as --from reads them)
#   --from FILE  the changes of FILE instead of the catalogue
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
generator=$root/scripts/mutation/mutants.awk
equivalents=$root/scripts/mutation/equivalent.txt
work=${ORV_MUTATION_DIR:-$root/build/mutation}
stride=4
every=1
only=.
list=0
from=
while [ $# -gt 0 ]; do
  case $1 in
    --sample) every=40 ;;
    --stride) stride=$2; shift ;;
    --only) only=$2; shift ;;
    --list) list=1 ;;
    --from) from=$(cd "$(dirname "$2")" && pwd)/$(basename "$2"); shift ;;
    *) echo "usage: $0 [--sample] [--stride N] [--only REGEX] [--list] [--from FILE]" >&2; exit 2 ;;
  esac
  shift
done

# The test programs that cover a source file.
tests_for() {
  case $1 in
    install/* | apps/*) echo install_tests ;;
    cleanup/*) echo cleanup_tests install_tests ;;
    app/*) echo app_tests install_tests ;;
    detect/*) echo detect_tests ;;
  esac
}

# The catalogue: "FILE <TAB> LINE <TAB> KIND <TAB> TEXT" for every STRIDE-th change found, then
# every EVERY-th of those.
catalogue() {
  local file
  if [ -n "$from" ]; then
    cat "$from"
    return
  fi
  git -C "$root" ls-files -- 'install/*.cpp' 'cleanup/*.cpp' 'apps/*.cpp' 'app/*.cpp' \
    'detect/*.cpp' | grep -E -- "$only" | while IFS= read -r file; do
    awk -f "$generator" "$root/$file" | sed "s|^|$file\t|"
  done | awk -v stride="$stride" -v every="$every" \
    '(NR - 1) % stride == 0 && ((NR - 1) / stride) % every == 0'
}

if [ $list -eq 1 ]; then
  catalogue
  exit 0
fi

started=$(date +%s)
src=$work/src
build=$work/build
mkdir -p "$src" "$build"

# The copy of the sources: files that differ are copied again, the others keep their times so
# that the build stays incremental.
(cd "$root" && git ls-files --cached --others --exclude-standard -z) |
  while IFS= read -r -d '' file; do
    [ -f "$root/$file" ] || continue
    if ! cmp -s "$root/$file" "$src/$file"; then
      mkdir -p "$(dirname "$src/$file")"
      cp "$root/$file" "$src/$file"
    fi
  done

# The file being changed, and its own text, restored whatever ends the run.
current=
saved=$work/saved-source
restore() {
  if [ -n "$current" ]; then
    cp "$saved" "$src/$current"
    current=
  fi
}
trap restore EXIT
trap 'restore; exit 130' INT TERM

# Unoptimised and without warnings (a change may leave a variable unused): quick to rebuild.
if [ ! -f "$build/build.ninja" ]; then
  env -u CMAKE_CXX_COMPILER_LAUNCHER -u CMAKE_C_COMPILER_LAUNCHER cmake -S "$src" -B "$build" \
    -G Ninja -DCMAKE_BUILD_TYPE= -DCMAKE_CXX_FLAGS="-O0 -w" \
    -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=gold > "$work/configure.log"
fi
programs=(install_tests cleanup_tests app_tests detect_tests)
if ! ninja -j2 -C "$build" "${programs[@]/#/tests/}" > "$work/build.log" 2>&1; then
  echo "mutation-test: the unchanged sources do not build (see $work/build.log)" >&2
  exit 1
fi

# Runs the programs; 0 when every test passed. A crash or a hang fails too: `failed` names the
# first test that failed, or the program that crashed or hung.
run_tests() {
  local program
  failed=
  for program in "$@"; do
    if ! GTEST_FAIL_FAST=1 timeout 120 "$build/tests/$program" --gtest_brief=1 \
      > "$work/test.log" 2>&1; then
      failed=$(sed -n 's/^\[  FAILED  \] \([^ ]*\).*/\1/p' "$work/test.log" | head -n 1)
      failed=${failed:-$program}
      return 1
    fi
  done
}
for program in "${programs[@]}"; do
  if ! run_tests "$program"; then
    echo "mutation-test: $program fails without any change" >&2
    exit 1
  fi
done

declare -A listed=()
if [ -f "$equivalents" ]; then
  while read -r id _; do
    [ -n "$id" ] && [ "${id:0:1}" != "#" ] && listed[$id]=1
  done < "$equivalents"
fi

report=$work/report.txt
: > "$report"
changes=0 killed=0 survived=0 equivalent=0 unbuilt=0
while IFS=$'\t' read -r file line kind text; do
  original=$(sed -n "${line}p" "$src/$file")
  if [ "$kind" = swap ]; then
    changed="$(sed -n "$((line + 1))p" "$src/$file") / $original"
  else
    changed=$text
  fi
  # A change is known by its file and its text, not by its line number.
  id=$file:$(printf '%s\n%s\n%s\n' "$kind" "$original" "$changed" | cksum | cut -d' ' -f1)
  cp "$src/$file" "$saved"
  current=$file
  TEXT=$text awk -v n="$line" -v kind="$kind" '
    kind == "swap" && FNR == n { held = $0; next }
    kind == "swap" && FNR == n + 1 { print; print held; next }
    kind != "swap" && FNR == n { print ENVIRON["TEXT"]; next }
    { print }' "$saved" > "$src/$file"
  read -r -a covering <<< "$(tests_for "$file")"
  if ! ninja -j2 -C "$build" "${covering[@]/#/tests/}" > /dev/null 2>&1; then
    outcome=no-build
    unbuilt=$((unbuilt + 1))
  elif run_tests "${covering[@]}"; then
    if [ -n "${listed[$id]+x}" ]; then
      outcome=equivalent
      equivalent=$((equivalent + 1))
    else
      outcome=SURVIVED
    fi
    survived=$((survived + 1))
  else
    outcome=killed
    killed=$((killed + 1))
    changed+="  [$failed]"
  fi
  restore  # newer than its build: rebuilt unchanged before a change of another file
  [ "$outcome" = no-build ] || changes=$((changes + 1))
  printf '%-10s %s %s:%s %s: %s\n' "$outcome" "$id" "$file" "$line" "$kind" \
    "$(sed -E 's/^ +//' <<< "$changed")" | tee -a "$report"
done < <(catalogue)

elapsed=$(($(date +%s) - started))
percent=0
[ $changes -gt 0 ] && percent=$((killed * 100 / changes))
summary="changes $changes, killed $killed ($percent %), survived $survived ($equivalent listed as"
summary+=" equivalent), not compiled $unbuilt, time $((elapsed / 60)) min $((elapsed % 60)) s"
echo "$summary" | tee -a "$report"
# Leave the copy as the sources are.
ninja -j2 -C "$build" "${programs[@]/#/tests/}" > /dev/null 2>&1 || true
[ $((survived - equivalent)) -eq 0 ]
