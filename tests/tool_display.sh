#!/bin/sh
# The launchers whatever ran before in the prefix: a new prefix's first
# chart made without an X display, then the viewer on this display, then on a
# second X display, each window appearing where it was asked for.
# Usage: tool_display.sh LANE BIN_DIR   (needs DISPLAY)
set -eu
lane="$1"
bin=$(cd "$2" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lanes.sh"
vorda_wine_env "$lane" /nonexistent
fail() { echo "FAIL: $*"; exit 1; }
[ -n "${DISPLAY:-}" ] || fail "no X display (run under xvfb-run)"
export VORDA_LANE="$lane"

work=$(mktemp -d)
pid=""
xvfb=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  export WINEPREFIX="$VORDA_WINEPREFIX"
  vorda_wine_stop
  rm -rf "$work"
}
trap cleanup EXIT INT TERM
cd "$work"
# A prefix of its own, made by the first program: its first start leaves
# Wine's desktop running for a while, on no display.
export VORDA_WINEPREFIX="$work/prefix"
printf 't,a\n0,1\n1,2\n2,0\n' >rec.csv

# Starts the viewer on display $1 and waits for its window there.
view_on() {
  DISPLAY="$1" sh "$root/scripts/vorda-view" rec.csv >out.txt 2>err.txt &
  pid=$!
  for i in $(seq 1 150); do
    DISPLAY="$1" xdotool search --name '^vorda-view: rec.csv$' >/dev/null 2>&1 && break
    kill -0 "$pid" 2>/dev/null || fail "the viewer on $1 ended: $(cat err.txt)"
    sleep 0.2
  done
  DISPLAY="$1" xdotool search --name '^vorda-view: rec.csv$' >/dev/null 2>&1 ||
    fail "no viewer window on $1: $(cat err.txt)"
  # The window is there; the program under the launcher is ended.
  pkill -P "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  pid=""
}

(unset DISPLAY; sh "$root/scripts/vorda-chart" rec.csv -o a.png >/dev/null 2>err.txt) ||
  fail "the chart without a display: $(cat err.txt)"
[ -s a.png ] || fail "the chart without a display wrote nothing"
view_on "$DISPLAY"

n=90
while [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
for i in $(seq 1 50); do [ -S "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
view_on ":$n"
echo "tool_display: chart without a display, then the viewer on $DISPLAY and on :$n: passed"
