#!/bin/sh
# Writes a large recording for the chart tool: SAMPLES rows (default ten
# million) of a time column and one channel, a slow sine (400 s) with a 50 Hz ripple
# sampled at 10 kHz, in one burst.
# Usage: sh examples/make-large.sh [SAMPLES] [FILE]   (default out/large.csv)
set -eu
samples="${1:-10000000}"
file="${2:-out/large.csv}"
mkdir -p "$(dirname "$file")"
awk -v n="$samples" 'BEGIN {
  print "time (s),signal (V)"
  for (i = 0; i < n; i++) {
    t = i / 10000
    printf "%.4f,%.5f\n", t, sin(t * 0.015708) + 0.2 * sin(t * 314.159) + 0.05 * sin(i * 1.7)
  }
}' > "$file"
echo "wrote $file ($samples samples); chart it with: scripts/vorda-chart $file -o out/large.png"
