#!/bin/sh
# Installs what is missing, builds both presets and runs every test: the
# static checks of the shipped 32-bit DLL, then the 64-bit build's tests
# under Wine on a private X display.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
sh scripts/setup.sh

# The pure code natively, under the sanitizers and the fuzzers.
sh scripts/native.sh

cmake --preset win32
cmake --build --preset win32
ctest --preset win32

cmake --preset win64
cmake --build --preset win64

prefix="$root/build/win64/wineprefix"
cleanup() { WINEPREFIX="$prefix" /usr/lib/wine/wineserver64 -k 2>/dev/null || true; }
trap cleanup EXIT INT TERM
# Wine keeps the display its server started with: start afresh under Xvfb.
cleanup
xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
  WINEPREFIX="$1" WINEDEBUG=-all /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
  ctest --preset win64
  status=$?
  # The robustness tests count what they tried; show the totals.
  grep -h -E "^(fault sweep: [0-9]+ |bad input: [0-9]+ |soak: )" \
    build/win64/Testing/Temporary/LastTest.log 2>/dev/null || true
  WINEPREFIX="$1" /usr/lib/wine/wineserver64 -k 2>/dev/null || true
  exit $status' sh "$prefix"
