#!/usr/bin/env bash
# Builds the web page (the web preset) and serves build/web on 127.0.0.1 (HELICOID_WEB_PORT, 8000
# by default). With a display it serves until interrupted; without one it saves the page's first
# frame, after the notice, as build/web/first-frame.png through headless Chromium, and stops.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-packages.sh web
cmake --preset web >/dev/null
cmake --build --preset web
site="$PWD/build/web"
port="${HELICOID_WEB_PORT:-8000}"
url="http://127.0.0.1:$port/"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "Serving $site: open $url (Ctrl+C stops it)"
  exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site"
fi

echo "No display: opening $url in headless Chromium"
scripts/install-packages.sh web-headless
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site" >/dev/null 2>&1 &
server=$!
trap 'kill "$server"' EXIT
# Wait until the server answers.
for _ in $(seq 50); do
  python3 -c "import urllib.request; urllib.request.urlopen('$url')" 2>/dev/null && break
  sleep 0.1
done
node scripts/web-first-frame.mjs "$url" "$site/first-frame.png"
echo "First frame: $site/first-frame.png"
