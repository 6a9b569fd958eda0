#!/usr/bin/env bash
# Installs what the tests need, builds every preset and runs every test: the Windows
# executables' checks, the web build's OpenGL subset, the native suite (the web page in a browser
# included), and the sanitized fuzzer and soak.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-packages.sh test

# The native tests drive the Windows and web builds too: those are built first.
presets=(windows-x86 windows-x64 web linux linux-asan)
for preset in "${presets[@]}"; do
  echo "== build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

status=0
for preset in "${presets[@]}"; do
  echo "== test $preset"
  ctest --preset "$preset" || status=1
done
exit $status
