#!/bin/sh
# Runs a Windows program under 64-bit Wine with the build tree's private prefix.
# VORDA_WINEPREFIX overrides the prefix; by default it sits beside the program.
prog="$1"
if [ -z "${VORDA_WINEPREFIX:-}" ]; then
  VORDA_WINEPREFIX="$(cd "$(dirname "$prog")/.." && pwd)/wineprefix"
fi
WINEPREFIX="$VORDA_WINEPREFIX" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
  exec /usr/lib/wine/wine64 "$@"
