#!/usr/bin/env bash
# The long fuzzing run: each target for RUNS executions (ten million by default), one after the
# other, each on its corpus beside the target (kept between runs). Prints each target's figures.
# Usage: tests/fuzz/fuzz-long.sh [RUNS [FUZZER...]]   (every target when none is named;
#        after: cmake --preset fuzz && cmake --build --preset fuzz)
# JOBS=N runs each target in N processes at once (libFuzzer's fork mode), RUNS in all.
# MAX_LEN=N caps the inputs at N bytes instead of 64 KB (libFuzzer lets them grow toward the cap,
# and the slower targets slow down with them).
# Allocation stacks are not recorded (a third faster); a finding is replayed with them by running
# the target on the file it leaves beside itself. Scratch folders go to /dev/shm when it exists.
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-10000000}
shift || true
fuzzers=("$@")
if [ ${#fuzzers[@]} -eq 0 ]; then
  fuzzers=(ProfileFuzzer RegistryFuzzer InfOptionsFuzzer ResourcesFuzzer MachineFolderFuzzer
           StartupFuzzer)
fi
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=0}
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi
build=build/fuzz
options=()
if [ "${JOBS:-1}" -gt 1 ]; then
  options+=(-fork="$JOBS")
fi
if [ -n "${MAX_LEN:-}" ]; then
  options+=(-max_len="$MAX_LEN")
fi
for fuzzer in "${fuzzers[@]}"; do
  start=$(date +%s)
  log="$build/tests/fuzz/$fuzzer.log"
  status=0
  tests/fuzz/run-fuzzer.sh "$build/tests/fuzz/$fuzzer" "$PWD" "$build/Setup.res" "$runs" \
    -seed=0 -print_final_stats=1 "${options[@]}" > "$log" 2>&1 || status=$?
  # One process prints its count in its final figures; fork mode in its last words.
  done_runs=$(grep -o -e 'stat::number_of_executed_units: *[0-9]*' -e 'fuzzed for [0-9]* iterations' \
    "$log" | grep -o '[0-9][0-9]*' | tail -1 || echo "?")
  echo "$fuzzer: $done_runs executions in $(( $(date +%s) - start )) s, status $status"
done
