#!/usr/bin/env bash
# The long robustness runs: the sanitized program soaked for 10 minutes under random input in a
# real window, and the window procedure fuzzed with a million random messages, both with
# AddressSanitizer and UndefinedBehaviorSanitizer. Usage: bench/soak.sh [SECONDS] [MESSAGES]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-600}"
messages="${2:-1000000}"

scripts/install-packages.sh test
cmake --preset linux-asan >/dev/null
cmake --build --preset linux-asan
tree="$PWD/build/linux-asan"

out="$tree/soak-long"
mkdir -p "$out"
export UBSAN_OPTIONS=print_stacktrace=1
export LSAN_OPTIONS="suppressions=$PWD/tests/soak/lsan.supp"
# As in the soak test: the GL driver kept loaded until the leak check (tests/soak/CMakeLists.txt).
export SOAK_PROGRAM_PRELOAD="$(g++ -print-file-name=libasan.so) /usr/lib/$(gcc -print-multiarch)/dri/swrast_dri.so"

echo "== soak: $seconds s of random input"
"$tree/helicoid_soak" "$tree/helicoid" "$seconds" "$out" | tee "$out/soak-report.txt"

echo "== fuzz: $messages messages to the window procedure"
LSAN_OPTIONS="suppressions=$PWD/tests/fuzz/lsan.supp" \
  "$tree/tests/fuzz/window_procedure_fuzz" "$messages" 7 | tee "$out/fuzz-report.txt"
