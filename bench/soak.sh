#!/usr/bin/env bash
# The long robustness runs: the sanitized program soaked for 10 minutes under random input in a
# real window, and the window procedure fuzzed with a million random messages, both with
# AddressSanitizer and UndefinedBehaviorSanitizer. Usage: bench/soak.sh [SECONDS] [MESSAGES]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-600}"
messages="${2:-1000000}"

scripts/install-packages.sh test
cmake --preset linux >/dev/null
cmake --build --preset linux --target sanitized_build helicoid_soak

out="$PWD/build/linux/soak"
mkdir -p "$out"
export LSAN_OPTIONS="suppressions=$PWD/tests/soak/lsan.supp"
export UBSAN_OPTIONS=print_stacktrace=1

echo "== soak: $seconds s of random input"
build/linux/helicoid_soak build/linux/sanitized/helicoid "$seconds" "$out" | tee "$out/soak-report.txt"

echo "== fuzz: $messages messages to the window procedure"
LSAN_OPTIONS="suppressions=$PWD/tests/fuzz/lsan.supp" \
  build/linux/sanitized/tests/fuzz/window_procedure_fuzz "$messages" 7 | tee "$out/fuzz-report.txt"
