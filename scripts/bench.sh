#!/bin/sh
# Runs the benchmarks of one lane or both: scripts/bench.sh [32|64|both]
# [NAME...] (names without bench_ and .exe; default: all). Each prints its
# figures beside the raw platform doing the same work in the same run.
# Build first: cmake --preset win64 && cmake --build --preset win64 (and win32).
set -eu
cd "$(dirname "$0")/.."
. scripts/lanes.sh
lanes="${1:-64}"
[ $# -gt 0 ] && shift
[ "$lanes" = both ] && lanes="64 32"
for lane in $lanes; do
  if [ "$lane" = 32 ] && ! { vorda_runs_32bit && vorda_wine32_installed; }; then
    echo "bench: 32-bit lane NOT RUN: $(vorda_no_32bit_reason)"
    continue
  fi
  names="$*"
  [ -n "$names" ] || names=$(ls "build/win$lane/bin/" | sed -n 's/^bench_\(.*\)\.exe$/\1/p')
  # One display for the lane's run; its Wine server ends before the display.
  xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
    . scripts/lanes.sh
    lane=$1; shift
    vorda_wine_env "$lane" "$PWD/build/win$lane/wineprefix"
    vorda_wine_stop
    for name in "$@"; do
      echo "== $lane-bit lane: bench_$name"
      vorda_wine_exec "build/win$lane/bin/bench_$name.exe" || echo "bench_$name failed"
    done
    vorda_wine_stop' sh "$lane" $names
done
