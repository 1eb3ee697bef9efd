#!/bin/sh
# The main command: installs what is missing, builds the chart tool of the
# shipped 32-bit build (the 64-bit one on a machine that cannot execute
# 32-bit code) and draws the bundled example recording into out/.
set -eu
cd "$(dirname "$0")/.."
sh scripts/setup.sh
. scripts/lanes.sh
lane=64
if vorda_runs_32bit && vorda_wine32_installed; then lane=32; fi
cmake --preset "win$lane" >/dev/null
cmake --build --preset "win$lane" --target vorda-chart
mkdir -p out
scripts/vorda-chart examples/bursts.csv -o out/bursts.png --title "Pressure and flow, three bursts"
echo "The chart is in $(pwd)/out/bursts.png."
echo "Chart your own recording with: scripts/vorda-chart RECORDING.csv -o chart.png  (--help for the options)"
