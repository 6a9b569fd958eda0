#!/usr/bin/env bash
# The native viewer under valgrind's memcheck for a short session on a virtual display: the notice,
# the first frame, Esc. Fails on any memcheck error the suppressions in bench/memcheck.supp (system
# libraries' noise, each with its reason) do not cover.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh test
command -v valgrind >/dev/null || { sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo; $sudo apt-get install -y -qq valgrind >/dev/null; }
cmake --preset linux >/dev/null
cmake --build --preset linux --target helicoid
out="$PWD/build/linux/memcheck"
mkdir -p "$out"
cat >"$out/helicoid-under-memcheck" <<WRAP
#!/bin/sh
exec valgrind --tool=memcheck --error-exitcode=42 --num-callers=40 --leak-check=full --errors-for-leak-kinds=definite \\
  --child-silent-after-fork=yes --suppressions="$PWD/bench/memcheck.supp" --gen-suppressions=all \\
  --log-file="$out/memcheck.log" "$PWD/build/linux/helicoid" "\$@"
WRAP
chmod +x "$out/helicoid-under-memcheck"

# One rasteriser thread: llvmpipe's worker threads only slow valgrind down.
status=0
LP_NUM_THREADS=0 scripts/first-frame.sh "$out/helicoid-under-memcheck" "$out/first-frame.png" || status=$?
grep -E "ERROR SUMMARY|definitely lost" "$out/memcheck.log" || true
[ "$status" -eq 0 ] || { echo "memcheck: errors or a bad exit ($status); see $out/memcheck.log"; exit 1; }
echo "memcheck: no errors; log in $out/memcheck.log"
