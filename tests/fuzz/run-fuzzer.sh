#!/usr/bin/env bash
# Runs one fuzz target for a number of executions on seeds taken from the sample disc, the
# sample machines and the compiled resources, in a corpus folder of its own beside the target.
# Usage: run-fuzzer.sh FUZZER SOURCE_DIR SETUP_RES RUNS [more libFuzzer options]
# The seed is fixed (1), so that the short runs of CI repeat; a later -seed= overrides it.
set -euo pipefail
fuzzer=$1
source_dir=$2
resources=$3
runs=$4
shift 4
name=$(basename "$fuzzer")
corpus="$(dirname "$fuzzer")/corpus-$name"
mkdir -p "$corpus"
seed() {  # seed NAME PART...: the parts joined by zero bytes
  local name=$1
  shift
  local first=1
  for part in "$@"; do
    [ $first -eq 1 ] || printf '\0'
    first=0
    cat "$part"
  done > "$corpus/seed-$name"
}
examples="$source_dir/examples"
case "$name" in
  ProfileFuzzer)
    for inf in "$examples"/disc/*/drv/*.INF "$examples"/disc/setup.ini; do
      printf '%s\0Strings\0VSX-Legacy.DeviceDesc\0x' "$(cat "$inf")" > "$corpus/seed-$(basename "$inf")"
    done ;;
  RegistryFuzzer)
    for machine in "$examples"/machines/*/; do
      cp "$machine/registry.reg" "$corpus/seed-$(basename "$machine")"
    done ;;
  InfOptionsFuzzer)
    for inf in "$examples"/disc/*/drv/*.INF; do
      { printf '\x13'; cat "$inf"; } > "$corpus/seed-$(basename "$(dirname "$(dirname "$inf")")")"
    done ;;
  ResourcesFuzzer)
    cp "$resources" "$corpus/seed-Setup.res" ;;
  MachineFolderFuzzer)
    for machine in "$examples"/machines/*/; do
      seed "$(basename "$machine")" "$machine/machine.ini" "$machine/registry.reg" /dev/null
    done ;;
  StartupFuzzer)
    printf '\x02D:\\SETUP.EXE\0/DRIVER\0' > "$corpus/seed-driver"
    { printf '\x06.\\SETUP.EXE\0\0'; cat "$examples/disc/setup.ini"; } > "$corpus/seed-xp"
    printf '\x01\\\\server\\share\\SETUP.EXE\0/AP\0[InstallOption]\r\nWebSetup=1\r\n' > "$corpus/seed-share" ;;
esac
exec "$fuzzer" -runs="$runs" -seed=1 -max_len=65536 -timeout=20 -rss_limit_mb=2048 \
  -artifact_prefix="$(dirname "$fuzzer")/" "$@" "$corpus"
