#!/usr/bin/env bash
# For machines without a display: starts the viewer on a virtual display (Xvfb), dismisses its
# notice, saves its window's first frame as a PNG and closes it with Esc. Exits with the viewer's
# exit code. Usage: scripts/first-frame.sh PROGRAM PICTURE.png
set -euo pipefail
program=$1
picture=$2
"$(dirname "$0")/install-packages.sh" headless
echo "No display here: starting the viewer on a virtual display (Xvfb) to show its first frame."

work=$(mktemp -d)
xvfb_pid=""
viewer_pid=""
cleanup() {
  [ -z "$viewer_pid" ] || kill "$viewer_pid" 2>/dev/null || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "$1 (the viewer said: $(tail -3 "$work/viewer.log" 2>/dev/null))" >&2; exit 1; }

# Xvfb picks a free display number itself and writes it on descriptor 3 once it is ready.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"
# NOTE: now and then, on a busy machine, the viewer found no display right after Xvfb gave its
# number; it starts once a client of ours has been answered.
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

"$program" >"$work/viewer.log" 2>&1 &
viewer_pid=$!

# The viewer's windows are the only ones here: first its notice, then, once Return has dismissed
# the notice, its own window. With no window manager the keyboard follows the pointer.
# NOTE: xwininfo, because xdotool's search cannot read the UTF-8 title SDL gives its notice.
visible_window() {
  for id in $(xwininfo -root -children 2>/dev/null | sed -n 's/^ *\(0x[0-9a-f]*\) ".*/\1/p'); do
    [ "$id" != "${1:-}" ] && xwininfo -id "$id" 2>/dev/null | grep -q IsViewable && { echo "$id"; return; }
  done
}
wait_for_window() {
  for _ in $(seq 600); do
    id=$(visible_window "${1:-}") && [ -n "$id" ] && { echo "$id"; return; }
    kill -0 "$viewer_pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}
notice=$(wait_for_window) || fail "The notice did not show"
xdotool mousemove --window "$notice" 20 20 key Return
window=$(wait_for_window "$notice") || fail "The viewer's window did not show"
sleep 2  # the first frames

xwd -silent -id "$window" | xwdtopnm 2>/dev/null | pnmtopng >"$picture"
echo "First frame saved: $picture"
xdotool mousemove --window "$window" 20 20 key Escape
for _ in $(seq 600); do kill -0 "$viewer_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$viewer_pid" 2>/dev/null && fail "The viewer did not close on Esc"
status=0
wait "$viewer_pid" || status=$?
viewer_pid=""
[ "$status" -eq 0 ] || echo "The viewer ended with exit code $status" >&2
exit "$status"
