#!/usr/bin/env bash
# Installs, from Debian's packages, what the project needs.
#   install-deps.sh build   the compiler, CMake, Ninja, GoogleTest, CLI11, nlohmann-json and
#                           Python's jsonschema (enough for the demo, the lab tool and its tests)
#   install-deps.sh all     also MinGW-w64, Wine, Xvfb, clang with libFuzzer and Chromium (the
#                           lab tool's web pages are tested in it): everything the tests need
set -euo pipefail
what=${1:-all}
packages=(g++ cmake ninja-build libgtest-dev googletest binutils-mingw-w64-x86-64 libcli11-dev
          nlohmann-json3-dev python3-jsonschema)
if [ "$what" = all ]; then
  packages+=(clang-format g++-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64-x86-64
             binutils-mingw-w64-i686 wine wine64 xvfb clang libclang-rt-dev chromium)
fi
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=
[ "$(id -u)" -ne 0 ] && sudo=sudo
echo "installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" > /dev/null
