#!/usr/bin/env bash
# Builds what the benchmarks need, makes their Wine prefix once and runs bench_runner, which
# measures on a private X server of its own; the report goes to build/bench/results.md.
# Usage: bench/run.sh [--quick]   (--quick: one short round of everything, to see that it all runs)
# Environment: ROUNDS (5), WARMUP (3 s), MEASURE (10 s), IDLE (10 s), SPIN (60 s), KEYS (50), ESC_RUNS (100);
# ONLY=frames,idle,keys,esc,spin; SUBJECTS=native,glx,wine,wgl[,native-patched with NATIVE_PATCHED=path]; NO_BUILD=1.
set -euo pipefail
cd "$(dirname "$0")/.."
out="$PWD/build/bench"
mkdir -p "$out/logs"
[ "${1:-}" != --quick ] || export ROUNDS=1 WARMUP=1 MEASURE=3 IDLE=3 SPIN=5 KEYS=10 ESC_RUNS=3

if [ -z "${NO_BUILD:-}" ]; then
  scripts/install-packages.sh test
  for preset in linux windows-x86; do
    echo "== build $preset"
    [ -f "build/$preset/CMakeCache.txt" ] || cmake --preset "$preset" >/dev/null
    # A program mid-change does not stop the benchmark: its own parts build alone.
    part=bench_runner; [ "$preset" = linux ] || part=wgl_loop
    cmake --build --preset "$preset" >"$out/logs/build-$preset.log" 2>&1 || {
      echo "   the full build failed (see $out/logs/build-$preset.log); building $part alone"
      cmake --build --preset "$preset" --target "$part" >>"$out/logs/build-$preset.log" 2>&1
    }
  done
fi

if [ ! -f "$out/wineprefix/.ready" ]; then
  echo "== Wine prefix $out/wineprefix"
  scripts/wine-prefix.sh "$out/wineprefix" >"$out/logs/wine-prefix.log" 2>&1
  [ ! -d "$out/wineprefix" ] || touch "$out/wineprefix/.ready"
fi

echo "== bench_runner (load average $(cut -d' ' -f1-3 /proc/loadavg))"
build/linux/bench/bench_runner "$out"
version() { dpkg-query -W -f='${Version}\n' "$1" 2>/dev/null | head -1 || echo unknown; }
{
  echo "# Benchmark results"
  echo
  echo "$(date -u '+%Y-%m-%d %H:%M UTC'), $(lscpu | sed -n 's/^Model name: *//p' | head -1), $(nproc) cores;" \
    "Mesa $(version libgl1-mesa-dri) (llvmpipe), SDL2 $(version libsdl2-2.0-0), Wine $(version wine32:i386) (32-bit);" \
    "Xvfb 1280x1024x24; commit $(git rev-parse --short HEAD) plus the working tree."
  echo
  cat "$out/runner.md"
} >"$out/results.md"
echo "== results: $out/results.md"
