#!/usr/bin/env bash
# Builds the web page, the bare WebGL 2 page and the same program on Emscripten's legacy GL
# emulation in a tree of their own (build/web-bench, the web preset with the benchmarks on), then
# measures them in headless Chromium with bench/web_bench.mjs; the report goes to
# build/bench/web-results.md and is printed.
# Usage: bench/web.sh [--quick]   (--quick: one short round, to see that it all runs)
# Environment: SUBJECTS (ours,bare), ROUNDS (5), WARMUP (3 s), MEASURE (10 s), IDLE (10 s),
#   READ (1 s), HEIGHT (1024); NO_BUILD=1; PROFILE=1: sampling profiles instead, in
#   build/web-profile (the same with the functions' names kept), to build/bench/web-profile.md.
#   WEB_PATCHED=DIR: a second web build's page (a change under test), measured as `patched`.
set -euo pipefail
cd "$(dirname "$0")/.."
out="$PWD/build/bench"
tree=build/web-bench report=web-results
[ -z "${PROFILE:-}" ] || { tree=build/web-profile report=web-profile names=--profiling-funcs; }
mkdir -p "$out/logs"
[ "${1:-}" != --quick ] || export ROUNDS=1 WARMUP=1 MEASURE=3 IDLE=3
# Emscripten's optimiser needs Debian's Node modules (acorn).
export NODE_PATH=/usr/share/nodejs

if [ -z "${NO_BUILD:-}" ]; then
  echo "== build $tree"
  [ -f "$tree/CMakeCache.txt" ] ||
    cmake --preset web -B "$tree" -DHELICOID_BUILD_BENCH=ON -DBUILD_TESTING=OFF \
      -DCMAKE_EXE_LINKER_FLAGS="${names:-}" >"$out/logs/configure-web-bench.log"
  cmake --build "$tree" --target helicoid helicoid_favicon helicoid_emulated bare_page >"$out/logs/build-web-bench.log" 2>&1 || {
    echo "   the build failed: see $out/logs/build-web-bench.log"
    exit 1
  }
  [ -d tests/web/node_modules ] || npm ci --prefix tests/web >"$out/logs/npm.log" 2>&1
fi

[ -z "${WEB_PATCHED:-}" ] || ln -sfn "$(realpath "$WEB_PATCHED")" "$tree/patched"
echo "== web_bench.mjs (load average $(cut -d' ' -f1-3 /proc/loadavg))"
node bench/web_bench.mjs "$tree" "$out/web-runner.md"
emscripten=$(emcc --version | sed -n '1s/.* \([0-9][0-9.]*\) .*/\1/p')
{
  echo "# Web benchmark results"
  echo
  echo "$(date -u '+%Y-%m-%d %H:%M UTC'), $(lscpu | sed -n 's/^Model name: *//p' | head -1), $(nproc) cores;" \
    "Emscripten $emscripten; commit $(git rev-parse --short HEAD) plus the working tree;" \
    "load average at the end $(cut -d' ' -f1-3 /proc/loadavg)."
  echo
  cat "$out/web-runner.md"
} >"$out/$report.md"
cat "$out/$report.md"
echo "== results: $out/$report.md"
