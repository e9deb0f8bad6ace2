#!/usr/bin/env bash
# Makes a throwaway 64-bit Wine prefix in DIR (replacing what is there) and leaves no Wine running:
# no Mono or Gecko installer, no debug chatter, the null graphics driver and no display.
#   tools/wine-prefix.sh DIR
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 DIR" >&2; exit 2; }
WINE=${WINE:-$(command -v wine64 || echo /usr/lib/wine/wine64)}
WINESERVER=${WINESERVER:-$(command -v wineserver || echo /usr/lib/wine/wineserver)}
[ -x "$WINE" ] || { echo "wine-prefix: $WINE not found (Debian package wine64)" >&2; exit 1; }
export WINEPREFIX=$1 WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
rm -rf "$WINEPREFIX"
"$WINE" wineboot --init >/dev/null 2>&1
"$WINE" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
"$WINESERVER" -k 2>/dev/null || true
"$WINESERVER" -w 2>/dev/null || true
[ -f "$WINEPREFIX/system.reg" ] || { echo "wine-prefix: wineboot made no prefix in $1" >&2; exit 1; }
