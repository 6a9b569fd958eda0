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
# Which Windows build ran under Wine, and why (the 64-bit one where the kernel refuses 32-bit programs).
reason=build/linux/e2e-wine/windows-build-reason
echo "Wine: $(cat "$reason" 2>/dev/null || echo "none ran; ctest --preset linux -R wine_prefix -V says why")"
exit $status
