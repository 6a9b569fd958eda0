#!/bin/sh
# A fresh Wine prefix (its path the first argument) with a 1280x1024 virtual desktop, in which Wine
# draws real Win32 frames and runs its own sizing loop. With "end" as the second argument, ends
# the prefix's processes instead.
set -e
export WINEPREFIX="$1" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
unset DISPLAY
wine=/usr/lib/wine/wine64 wineserver=/usr/lib/wine/wineserver64
if [ "${2:-}" = end ]; then exec "$wineserver" -k; fi
[ -x "$wine" ] || { echo "no wine64"; exit 0; }
"$wineserver" -k 2>/dev/null || true
rm -rf "$WINEPREFIX"
"$wine" wineboot -i
"$wineserver" -w
"$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d e2e /f
"$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v e2e /d 1280x1024 /f
"$wineserver" -w
