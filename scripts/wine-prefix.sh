#!/usr/bin/env bash
# 32-bit Wine in a prefix of our own, with a 1280x1024 virtual desktop in which Wine draws real
# Win32 frames and runs its own sizing loop:
#   wine-prefix.sh PREFIX              makes the prefix anew
#   wine-prefix.sh PREFIX run ARGS...  runs a Windows program in it (WINEDEBUG as set, else -all);
#                                      exits with 77 where the prefix could not be made
#   wine-prefix.sh PREFIX end          ends the prefix's processes
# Where the kernel cannot run 32-bit programs, making the prefix says so in one line, leaves no
# prefix and exits with 77, which the tests report as skipped.
set -euo pipefail
export WINEPREFIX="$1" WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win32
# Debian's 32-bit loader, unless WINE names another (the build finds it), and the server beside it.
wine=${WINE:-/usr/lib/wine/wine}
wineserver=$(dirname "$wine")/wineserver
case "${2:-}" in
  run)
    [ -f "$WINEPREFIX/system.reg" ] || { echo "skipped: no 32-bit Wine prefix in $WINEPREFIX"; exit 77; }
    shift 2
    exec "$wine" "$@" ;;
  end) exec "$wineserver" -k ;;
esac

unset DISPLAY
"$wineserver" -k 2>/dev/null || true
rm -rf "$WINEPREFIX"
# bash answers 126 when the kernel refuses the 32-bit loader (exec format error).
status=0
"$wine" --version >/dev/null 2>&1 || status=$?
if [ $status -eq 126 ]; then
  echo "skipped: this machine's kernel cannot run 32-bit programs, so 32-bit Wine cannot run"
  exit 77
fi
[ $status -eq 0 ] || { echo "32-bit Wine ($wine) does not start: exit code $status"; exit 1; }
"$wine" wineboot -i
"$wineserver" -w
"$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d e2e /f
"$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v e2e /d 1280x1024 /f
"$wineserver" -w
