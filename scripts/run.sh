#!/usr/bin/env bash
# Builds the native viewer and starts it. Without a display, it shows the viewer on a virtual
# one (Xvfb) instead and saves its first frame as a PNG (scripts/first-frame.sh).
#
# scripts/run.sh web: builds the web page and serves it on 127.0.0.1 with Python's web server,
# printing the address to open. Without a display it opens the page in headless Chromium instead,
# dismisses the notice and saves the first frame as a PNG, whose path it prints.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = web ]; then
  exec scripts/serve-web.sh
fi

scripts/install-packages.sh viewer
cmake --preset linux-viewer >/dev/null
cmake --build --preset linux-viewer
program="$PWD/build/linux-viewer/helicoid"
echo "Built $program"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$program"
fi
exec scripts/first-frame.sh "$program" "$PWD/build/linux-viewer/first-frame.png"
