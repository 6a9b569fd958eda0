#!/usr/bin/env bash
# Wine in a prefix of our own, with a 1280x1024 virtual desktop in which Wine draws real Win32
# frames and runs its own sizing loop:
#   wine-prefix.sh PREFIX              makes the prefix anew, for 32-bit Wine where the kernel runs
#                                      32-bit programs, else for 64-bit Wine; says which in one line
#                                      and writes the Windows build it runs (x86 or x64) to
#                                      PREFIX/windows-build
#   wine-prefix.sh PREFIX run ARGS...  runs a Windows program in it (WINEDEBUG as set, else -all);
#                                      exits with 77 where the prefix could not be made
#   wine-prefix.sh PREFIX end          ends the prefix's processes
# WINE and WINE64 name the 32-bit and 64-bit loaders (Debian's by default); WINE_BUILD=x64 makes a
# 64-bit prefix even where 32-bit Wine runs. Where neither Wine runs, making the prefix says why
# in one line, leaves no prefix and exits with 77, which the tests report as skipped.
set -euo pipefail
export WINEPREFIX="$1" WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml="
wine32=${WINE:-/usr/lib/wine/wine}
wine64=${WINE64:-/usr/lib/wine/wine64}

# The loader of a prefix's build, with WINEARCH set to match.
use() {
  if [ "$1" = x64 ]; then
    wine=$wine64 wineserver=$(dirname "$wine64")/wineserver64 WINEARCH=win64
  else
    wine=$wine32 wineserver=$(dirname "$wine32")/wineserver WINEARCH=win32
  fi
  export WINEARCH
}

case "${2:-}" in
  run)
    [ -f "$WINEPREFIX/windows-build" ] || { echo "skipped: no Wine prefix in $WINEPREFIX"; exit 77; }
    use "$(cat "$WINEPREFIX/windows-build")"
    shift 2
    exec "$wine" "$@" ;;
  end)
    [ -f "$WINEPREFIX/windows-build" ] || exit 0
    use "$(cat "$WINEPREFIX/windows-build")"
    exec "$wineserver" -k ;;
esac

# Whether a loader starts; bash answers 126 when the kernel refuses it (exec format error).
starts() { "$1" --version >/dev/null 2>&1; }

unset DISPLAY
for build in x86 x64; do
  use $build
  "$wineserver" -k 2>/dev/null || true
done
rm -rf "$WINEPREFIX"
status=0
[ "${WINE_BUILD:-}" = x64 ] && status=-1 || starts "$wine32" || status=$?
if [ $status -eq 0 ]; then
  build=x86 why="32-bit Wine runs the windows-x86 build (the product)"
else
  case $status in
    -1) why="WINE_BUILD=x64 asks for it" ;;
    126) why="this machine's kernel cannot run 32-bit programs (exec format error)" ;;
    *) why="32-bit Wine ($wine32) does not start: exit code $status" ;;
  esac
  status=0
  starts "$wine64" || status=$?
  [ $status -eq 0 ] || { echo "skipped: $why, and 64-bit Wine ($wine64) does not start: exit code $status"; exit 77; }
  build=x64 why="64-bit Wine runs the windows-x64 build: $why"
fi
use $build
echo "$why"
"$wine" wineboot -i
"$wineserver" -w
"$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d e2e /f
"$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v e2e /d 1280x1024 /f
"$wineserver" -w
echo "$build" >"$WINEPREFIX/windows-build"
echo "$why" >"$WINEPREFIX/windows-build-reason"
