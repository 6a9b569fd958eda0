#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs, if any are missing.
# Usage: scripts/install-packages.sh build|test
#   build: what building and showing the native viewer needs
#   test:  everything: all three builds, the tests and the virtual display
set -euo pipefail

# The native build: compilers, SDL2 and GL, and what its build tree's tests and tools link.
build_packages=(cmake ninja-build g++ pkg-config libsdl2-dev libgl-dev
  libx11-dev libxtst-dev libpng-dev libgtest-dev libgmock-dev libosmesa6-dev libssl-dev
  xvfb xauth x11-utils)
# Everything else the tests need: the Windows cross builds and Wine to run one of them.
test_packages=("${build_packages[@]}"
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine64)

case "${1:-}" in
  build) wanted=("${build_packages[@]}") ;;
  test) wanted=("${test_packages[@]}") ;;
  *) echo "usage: $0 build|test" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
