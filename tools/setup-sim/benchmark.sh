#!/usr/bin/env bash
# How long the matrix of a disc takes (every Windows version, the four commands of the main
# window), beside the time of copying the disc's bytes once with cp on the same machine, and what
# one more row costs (the same matrix with a second variant of every row, less the first): the
# median of several rounds of each, in milliseconds. Without a disc, a synthetic one of 500 files
# and 100 MB is made from the sample disc: its driver folders and the application suite filled
# with files as a real disc has them.
#   benchmark.sh SETUP-SIM [DISC [MACHINES [ROUNDS]]]
set -euo pipefail
tool=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
disc=${2:-}
machines=${3:-$root/examples/machines}
rounds=${4:-11}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# COUNT files of SIZE bytes each, named PREFIX001.EXT..., in FOLDER.
fill() {
  local folder=$1 count=$2 size=$3 prefix=$4 ext=$5
  mkdir -p "$folder"
  head -c $((count * size)) /dev/urandom > "$scratch/blob"
  for i in $(seq "$count"); do
    dd if="$scratch/blob" of="$folder/$prefix$(printf %03d "$i").$ext" bs="$size" skip=$((i - 1)) \
       count=1 status=none
  done
}
if [ -z "$disc" ]; then
  disc=$scratch/disc
  cp -r "$root/examples/disc" "$disc"
  for folder in W95-98/drv/98 W95-98/drv/95 Win_98SE/drv Win_ME/drv; do
    fill "$disc/$folder" 60 204800 OVF BIN
  done
  fill "$disc/NT40/drv" 40 204800 OVF BIN
  fill "$disc/Applications" $((500 - 27 - 280)) 235000 DATA CAB
  rm -f "$scratch/blob"
fi

now() { date +%s%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { printf "%.1f", v[int((NR + 1) / 2)] / 1e6 }'; }

matrix=()
twice=()
copy=()
for _ in $(seq "$rounds"); do
  rm -rf "$scratch/copy"
  start=$(now)
  cp -r "$disc" "$scratch/copy"
  copy+=($(( $(now) - start )))
  start=$(now)
  "$tool" matrix --disc "$disc" --machines "$machines" --commands all > "$scratch/matrix.txt"
  matrix+=($(( $(now) - start )))
  start=$(now)
  "$tool" matrix --disc "$disc" --machines "$machines" --commands all --vary DriverOnly=0 \
    > /dev/null
  twice+=($(( $(now) - start )))
done
runs=$(($(wc -l < "$scratch/matrix.txt") - 1))
files=$(find "$disc" -type f | wc -l)
bytes=$(find "$disc" -type f -printf '%s\n' | awk '{ s += $1 } END { print s }')
m=$(printf '%s\n' "${matrix[@]}" | median)
t=$(printf '%s\n' "${twice[@]}" | median)
c=$(printf '%s\n' "${copy[@]}" | median)
echo "disc: $files files, $bytes bytes; median of $rounds rounds of each"
echo "matrix --commands all, $runs rows: $m ms"
echo "cp -r of the disc: $c ms"
awk -v m="$m" -v c="$c" -v t="$t" -v n="$runs" 'BEGIN {
  printf "ratio matrix / cp -r: %.2f (aim: at most 1.0)\n", m / c
  row = (t - m) / n
  printf "one more row (%d rows: %.1f ms, less %d rows, over %d): %.2f ms, ", 2 * n, t, n, n, row
  if (row > 0) printf "1/%.0f of the whole (aim: at most 1/28)\n", m / row
  else printf "nothing measurable (aim: at most 1/28 of the whole)\n"
}'
