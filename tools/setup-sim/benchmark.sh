#!/usr/bin/env bash
# How long the matrix of a disc takes (every Windows version, the four commands of the main
# window), beside the time of copying the disc's bytes once with cp on the same machine: the
# median of several rounds of each, in milliseconds.
#   benchmark.sh SETUP-SIM [DISC [MACHINES [ROUNDS]]]
set -euo pipefail
tool=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
disc=${2:-$root/examples/disc}
machines=${3:-$root/examples/machines}
rounds=${4:-21}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

now() { date +%s%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { printf "%.1f", v[int((NR + 1) / 2)] / 1e6 }'; }

matrix=()
copy=()
for _ in $(seq "$rounds"); do
  start=$(now)
  "$tool" matrix --disc "$disc" --machines "$machines" --commands all > "$scratch/matrix.txt"
  matrix+=($(( $(now) - start )))
  rm -rf "$scratch/copy"
  start=$(now)
  cp -r "$disc" "$scratch/copy"
  copy+=($(( $(now) - start )))
done
runs=$(($(wc -l < "$scratch/matrix.txt") - 1))
files=$(find "$disc" -type f | wc -l)
bytes=$(find "$disc" -type f -printf '%s\n' | awk '{ s += $1 } END { print s }')
echo "matrix of ${disc#"$root"/}: $runs runs (7 Windows versions x 4 commands), median of $rounds rounds: $(printf '%s\n' "${matrix[@]}" | median) ms"
echo "cp -r of the disc ($files files, $bytes bytes), median of $rounds rounds: $(printf '%s\n' "${copy[@]}" | median) ms"
