#!/usr/bin/env bash
# Builds what the benchmarks need, starts a private Xvfb (1280x1024x24, Mesa's llvmpipe) and runs
# bench_runner on it: frame rate of the native build, the bare GLX loop, the windows-x64 build
# and the bare WGL loop under wine64 (interleaved rounds), start-up, idle cost, key delay, Esc
# endings and a long spin.
# Results go to build/bench/results.md and are printed at the end.
#
# Usage: bench/run.sh [--quick]
#   --quick   one short round of everything, to check that it all runs (figures not meaningful)
# Environment: ROUNDS (5), WARMUP (3 s), MEASURE (10 s), IDLE (10 s), SPIN (60 s), KEYS (50),
# ESC_RUNS (100) override the lengths; ONLY=frames,idle,keys,esc,spin picks parts; SUBJECTS=native,native-tuned,glx,wine,wgl picks
# programs; NO_BUILD=1 skips the builds; NATIVE_PATCHED=path/to/helicoid adds a native build with
# a change under test (subject native-patched).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

rounds=${ROUNDS:-5} warmup=${WARMUP:-3} measure=${MEASURE:-10} idle=${IDLE:-10} spin=${SPIN:-60}
keys=${KEYS:-50} esc_runs=${ESC_RUNS:-100}
if [ "${1:-}" = "--quick" ]; then
  rounds=1 warmup=1 measure=3 idle=3 spin=5 keys=10 esc_runs=3
fi

# The allocator experiment: glibc's thresholds raised from outside the program (no preload), the
# same values as the mallopt() calls proposed for the platform subset's main().
tunables="glibc.malloc.mmap_threshold=16777216:glibc.malloc.trim_threshold=67108864"

out="$root/build/bench"
mkdir -p "$out/logs"

if [ -z "${NO_BUILD:-}" ]; then
  scripts/install-packages.sh test
  for preset in linux windows-x64; do
    echo "== build $preset"
    [ -f "build/$preset/CMakeCache.txt" ] || cmake --preset "$preset" >/dev/null
    if ! cmake --build --preset "$preset" >"$out/logs/build-$preset.log" 2>&1; then
      # The program may be mid-change; the benchmark's own parts still build on their own.
      echo "   the full $preset build failed (see $out/logs/build-$preset.log); building the benchmark parts only"
      if [ "$preset" = linux ]; then targets=(glx_loop swap_counter bench_runner); else targets=(wgl_loop); fi
      cmake --build --preset "$preset" --target "${targets[@]}" >>"$out/logs/build-$preset.log" 2>&1 ||
        { echo "   the benchmark parts of $preset do not build either"; tail -20 "$out/logs/build-$preset.log"; exit 1; }
    fi
  done
fi

native="$root/build/linux/helicoid"
glx="$root/build/linux/bench/glx_loop"
counter="$root/build/linux/bench/libswap_counter.so"
runner="$root/build/linux/bench/bench_runner"
wine_exe="$root/build/windows-x64/helicoid.exe"
wgl_exe="$root/build/windows-x64/bench/wgl_loop.exe"
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64
prefix="$out/wineprefix"

wine_env=(env WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64)

# A private prefix with a virtual desktop the size of the screen, made once.
if [ ! -f "$prefix/.bench-ready" ]; then
  echo "== Wine prefix $prefix"
  rm -rf "$prefix"
  (
    unset DISPLAY
    "${wine_env[@]}" "$wine" wineboot -i
    "${wine_env[@]}" "$wineserver" -w
    "${wine_env[@]}" "$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d bench /f
    "${wine_env[@]}" "$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v bench /d 1280x1024 /f
    "${wine_env[@]}" "$wineserver" -w
  ) >"$out/logs/wine-prefix.log" 2>&1
  touch "$prefix/.bench-ready"
fi

# Our own X server, on a display number it picks itself; ended by its PID on the way out.
xvfb_pid=""
cleanup() {
  "${wine_env[@]}" "$wineserver" -k >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -f "$out/display"
}
trap cleanup EXIT
rm -f "$out/display"
Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp 9>"$out/display" >"$out/logs/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$out/display" ] && break; sleep 0.1; done
[ -s "$out/display" ] || { echo "Xvfb did not start (see $out/logs/xvfb.log)"; exit 1; }
display=":$(cat "$out/display")"
echo "== Xvfb on $display (PID $xvfb_pid); load average $(cut -d' ' -f1-3 /proc/loadavg)"
"${wine_env[@]}" "$wineserver" -k >/dev/null 2>&1 || true

"$runner" --display "$display" --work "$out" --counter "$counter" \
  --native "$native" --tuned "$tunables" --glx "$glx" \
  --wine "$wine" --wine-prefix "$prefix" --wine-exe "$wine_exe" --wgl-exe "$wgl_exe" \
  --x-server-pid "$xvfb_pid" --rounds "$rounds" --warmup "$warmup" --measure "$measure" \
  --idle "$idle" --spin "$spin" --keys "$keys" --esc-runs "$esc_runs" ${ONLY:+--only "$ONLY"} ${SUBJECTS:+--subjects "$SUBJECTS"} \
  ${NATIVE_PATCHED:+--native-patched "$NATIVE_PATCHED"}

mesa=$(dpkg-query -W -f='${Version}' libgl1-mesa-dri 2>/dev/null || echo unknown)
wine_version=$(dpkg-query -W -f='${Version}' wine64 2>/dev/null || echo unknown)
sdl=$(dpkg-query -W -f='${Version}' libsdl2-2.0-0 2>/dev/null || echo unknown)
{
  echo "# Benchmark results"
  echo
  echo "$(date -u '+%Y-%m-%d %H:%M UTC'), $(lscpu | sed -n 's/^Model name: *//p' | head -1), $(nproc) cores;" \
    "Mesa $mesa (llvmpipe), SDL2 $sdl, Wine $wine_version; Xvfb 1280x1024x24; commit $(git rev-parse --short HEAD 2>/dev/null || echo none)" \
    "plus the working tree."
  echo
  cat "$out/runner.md"
} >"$out/results.md"
echo
echo "== results: $out/results.md"
cat "$out/results.md"
