#!/usr/bin/env bash
# Builds the native viewer and starts it. Without a display, it shows the viewer on a virtual
# one (Xvfb) instead and saves its first frame as a PNG.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-packages.sh build

cmake --preset linux >/dev/null
cmake --build --preset linux --target helicoid helicoid_first_frame
program="$PWD/build/linux/helicoid"
echo "Built $program"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$program"
fi

echo "No display here: starting the viewer on a virtual display (Xvfb) to show its first frame."
picture="$PWD/build/linux/first-frame.png"
build/linux/helicoid_first_frame "$program" "$picture"
echo "First frame saved: $picture"
