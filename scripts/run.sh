#!/usr/bin/env bash
# Builds the native viewer and starts it. Without a display, it shows the viewer on a virtual
# one (Xvfb) instead and saves its first frame as a PNG (scripts/first-frame.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-packages.sh viewer
cmake --preset linux-viewer >/dev/null
cmake --build --preset linux-viewer
program="$PWD/build/linux-viewer/helicoid"
echo "Built $program"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$program"
fi
exec scripts/first-frame.sh "$program" "$PWD/build/linux-viewer/first-frame.png"
