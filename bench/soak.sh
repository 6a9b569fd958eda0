#!/usr/bin/env bash
# The long robustness runs with AddressSanitizer and UndefinedBehaviorSanitizer: the program soaked
# under random input in a real window (its resident memory must stay flat after the warm-up), and
# the window procedure fuzzed with random messages. Usage: bench/soak.sh [SECONDS] [MESSAGES]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-600}" messages="${2:-1000000}"
scripts/install-packages.sh test
cmake --preset linux-asan >/dev/null
cmake --build --preset linux-asan
tree="$PWD/build/linux-asan" out="$PWD/build/linux-asan/e2e-shots/native"
mkdir -p "$out" && : >"$out/memory.txt"  # a soak that fails early leaves no samples

echo "== soak: $seconds s of random input (the soak test, longer)"
status=0
SOAK_SECONDS="$seconds" ctest --test-dir "$tree" -R '^soak$' --output-on-failure --timeout $((seconds + 300)) >"$out/soak-report.txt" 2>&1 &
run=$!
# The soaked program is the test's child (ctest, e2e_tests, helicoid): its resident memory in kB,
# once a second while it runs.
while kill -0 "$run" 2>/dev/null; do
  for test in $(ps -o pid= --ppid "$run"); do
    for pid in $(ps -o pid=,comm= --ppid "$test" | awk '$2 == "helicoid" {print $1}'); do
      awk '/^VmRSS:/ {print $2}' "/proc/$pid/status" 2>/dev/null >>"$out/memory.txt" || true
    done
  done
  sleep 1
done
wait "$run" || status=1
cat "$out/soak-report.txt"

# Memory, one sample a second: the median of the first stretch after the warm-up (a minute, or a
# third of a short run) against that of the last, judged from 3 minutes on. The sanitizer's
# quarantine and the GL driver's buffers swing single samples by tens of MB, hence medians.
median_mb() { sed -n "$1,$2p" "$out/memory.txt" | sort -n | awk '{v[NR] = $1} END {printf "%.1f", v[int((NR + 1) / 2)] / 1024}'; }
n=$(wc -l <"$out/memory.txt") warm=$((n / 3 < 60 ? n / 3 : 60))
span=$(((n - warm) / 2 < 60 ? (n - warm) / 2 : 60))
early=$(median_mb $((warm + 1)) $((warm + span))) late=$(median_mb $((n - span + 1)) "$n")
peak=$(sort -n "$out/memory.txt" | tail -1 | awk '{printf "%.1f", $1 / 1024}')
echo "memory: median $early MB after the warm-up, $late MB at the end ($span s each), peak $peak MB" | tee -a "$out/soak-report.txt"
[ "$n" -lt 180 ] || awk -v early="$early" -v late="$late" 'BEGIN {exit !(late <= early * 1.05)}' || { echo "memory grows"; status=1; }

echo "== fuzz: $messages messages to the window procedure"
LSAN_OPTIONS="suppressions=$PWD/tests/fuzz/lsan.supp" UBSAN_OPTIONS=print_stacktrace=1 \
  "$tree/tests/window_procedure_fuzz" "$messages" 7 | tee "$out/fuzz-report.txt" || status=1
exit "$status"
