#!/bin/sh
# Runs the benchmarks of one lane or both: scripts/bench.sh [32|64|both]
# [NAME...] (names without bench_ and .exe; default: all). Each prints its
# figures beside the raw platform doing the same work in the same run.
# Build first: cmake --preset win64 && cmake --build --preset win64 (and win32).
# Where this machine cannot execute 32-bit code, the 32-bit lane runs in the
# emulated machine of scripts/setup-vm.sh: its seconds are the emulated
# CPU's, but each ratio compares two things measured under the same CPU.
set -eu
cd "$(dirname "$0")/.."
. scripts/lanes.sh
lanes="${1:-64}"
[ $# -gt 0 ] && shift
[ "$lanes" = both ] && lanes="64 32"
# One display for the lane's run; its Wine server ends before the display.
run='
  . scripts/lanes.sh
  lane=$1; shift
  vorda_wine_env "$lane" "$PWD/build/win$lane/wineprefix"
  vorda_wine_stop
  vorda_wine_boot
  for name in "$@"; do
    echo "== $lane-bit lane: bench_$name"
    vorda_wine_exec "build/win$lane/bin/bench_$name.exe" || echo "bench_$name failed"
  done
  vorda_wine_stop'
for lane in $lanes; do
  names="$*"
  [ -n "$names" ] || names=$(ls "build/win$lane/bin/" | sed -n 's/^bench_\(.*\)\.exe$/\1/p')
  if [ "$lane" = 64 ] || { vorda_runs_32bit && vorda_wine32_installed; }; then
    xvfb-run -a -s "-screen 0 1280x1024x24" sh -c "$run" sh "$lane" $names
  elif vorda_vm_installed && vorda_wine32_installed; then
    echo "bench: 32-bit lane in the emulated machine ($(vorda_no_32bit_reason))"
    sh scripts/vm-run.sh "$PWD" xvfb-run -a -s "-screen 0 1280x1024x24" sh -c "$run" sh "$lane" $names
  else
    echo "bench: 32-bit lane NOT RUN: $(vorda_no_32bit_reason)"
  fi
done
