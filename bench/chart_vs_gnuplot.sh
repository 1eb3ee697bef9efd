#!/bin/sh
# vorda-chart against gnuplot on the same 10,000,000-sample CSV, both as
# whole processes a user starts (Wine's start-up included for vorda-chart),
# both drawing 960x600 pixels with lines. Prints each run's seconds and the
# ratio of the best runs; not a test.
# Usage: sh bench/chart_vs_gnuplot.sh [SAMPLES] [RUNS]   (defaults 10000000, 3)
# Runs the 64-bit build of vorda-chart; VORDA_LANE=32 runs the shipped
# 32-bit one where the machine executes 32-bit code. Needs gnuplot
# (sh scripts/setup.sh).
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
samples="${1:-10000000}"
runs="${2:-3}"
lane="${VORDA_LANE:-64}"
command -v gnuplot >/dev/null || { echo "chart_vs_gnuplot: gnuplot is missing (sh scripts/setup.sh)" >&2; exit 1; }
[ -f "build/win$lane/bin/vorda-chart.exe" ] ||
  { echo "chart_vs_gnuplot: build vorda-chart first: cmake --preset win$lane && cmake --build --preset win$lane --target vorda-chart" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
csv="$work/big.csv"
echo "writing $samples samples (not timed)..."
sh examples/make-large.sh "$samples" "$csv" >/dev/null
echo "$(du -m "$csv" | cut -f1) MB of CSV"

# Seconds a command takes, wall clock, its output thrown away.
seconds() {
  t0=$(date +%s.%N)
  "$@" >/dev/null 2>&1 || { echo "chart_vs_gnuplot: failed: $*" >&2; exit 1; }
  t1=$(date +%s.%N)
  echo "$t0 $t1" | awk '{ printf "%.3f", $2 - $1 }'
}

vorda() { VORDA_LANE=$lane scripts/vorda-chart "$csv" -o "$work/out.bmp"; }
plot() {
  gnuplot -e "set terminal png size 960,600; set output '$work/out.png'; set datafile separator ',';
              set key autotitle columnhead; plot '$csv' using 1:2 with lines"
}

. scripts/lanes.sh
vorda_wine_env "$lane" "$root/build/win$lane/wineprefix"
# The prefix is made once, as on a machine where vorda-chart has run before.
vorda_wine_boot
vorda_wine_stop

best() { tr ' ' '\n' | grep . | sort -n | head -1; }
# Wine's server stays a few seconds after a program ends, so a chart drawn
# soon after another starts faster than one drawn a while later: both are
# timed, the first with the server ended before each run.
cold=""
warm=""
plots=""
for r in $(seq "$runs"); do
  vorda_wine_stop
  c=$(seconds vorda)
  w=$(seconds vorda)
  g=$(seconds plot)
  echo "run $r: vorda-chart ${c} s (Wine's server not running), ${w} s (running); gnuplot ${g} s"
  cold="$cold $c"
  warm="$warm $w"
  plots="$plots $g"
done
# What a Windows program costs under Wine before it does anything.
vorda_wine_stop
startCold=$(seconds vorda_wine_exec cmd /c exit)
startWarm=$(seconds vorda_wine_exec cmd /c exit)
vorda_wine_stop
echo "$(echo "$cold" | best) $(echo "$warm" | best) $(echo "$plots" | best) $startCold $startWarm" | awk '{
  printf "best: gnuplot %.3f s; vorda-chart %.3f s with Wine'\''s server starting (%.1fx faster), %.3f s with it running (%.1fx faster); target 5x: %s\n",
         $3, $1, $3 / $1, $2, $3 / $2, ($3 / $2 >= 5 ? "met" : "MISSED")
  printf "Wine starting a program that does nothing: %.3f s when its server must start too, %.3f s when it runs already\n", $4, $5
}'
ls -l "$work/out.bmp" "$work/out.png" | awk '{ print "  wrote " $NF " (" $5 " bytes)" }'
