#!/usr/bin/env bash
# Installs what the tests need and runs every test: the unit and contract tests on Linux, the
# same with AddressSanitizer and UndefinedBehaviorSanitizer, the contract suite and the
# end-to-end runs of the real Win32 backend under Wine (x86_64 build), the checks of the
# shipped i686 Setup.exe, a short run of every fuzz target, and a sample of the mutation test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh all
jobs=$(nproc)
echo "== format"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
for preset in host host-asan win64 win32 fuzz; do
  echo "== build $preset"
  cmake --preset "$preset" > /dev/null
  cmake --build --preset "$preset" -j "$jobs"
done
for preset in host host-asan win64 win32 fuzz; do
  echo "== test $preset"
  ctest --preset "$preset" -j "$jobs"
done
echo "== mutation test (sample)"
scripts/mutation-test.sh --sample
