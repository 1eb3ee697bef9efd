#!/bin/sh
# Installs what is missing, builds, and draws the bundled chart into out/.
set -eu
cd "$(dirname "$0")/.."
sh scripts/setup.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target first-chart
mkdir -p out
WINEPREFIX="$(pwd)/build/win64/wineprefix" WINEDEBUG=-all \
  /usr/lib/wine/wine64 build/win64/bin/first-chart.exe out/first-chart.bmp
convert out/first-chart.bmp -alpha off out/first-chart.png 2>/dev/null || true
echo "The chart is in $(pwd)/out/first-chart.bmp (and out/first-chart.png to view)."
