#!/bin/sh
# vorda-view as a person uses it: the real program on the X display, real
# pointer and key events (xdotool), the screen read back (ImageMagick).
# Checks that the chart is drawn, that a crosshair line passes through the
# pointer and leaves where the pointer was, that a drag changes the x tick
# labels, that a click pins cursor A (a second click moves it, Escape
# clears it) and the status line then reads both cursors, that a Shift-drag
# leaves nothing behind above the plot, and that Escape ends the program
# with status 0 and no output.
# Usage: view_e2e.sh LANE BIN_DIR   (LANE 32 or 64; needs DISPLAY)
# VORDA_VIEW_SHOTS=DIR keeps the screenshots there.
set -eu
lane="$1"
bin=$(cd "$2" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lanes.sh"
fail() { echo "FAIL: $*"; exit 1; }
[ -n "${DISPLAY:-}" ] || fail "no X display (run under xvfb-run)"
for tool in xdotool import convert compare; do
  command -v $tool >/dev/null || fail "$tool is missing (sh scripts/setup.sh)"
done

work=$(mktemp -d)
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT INT TERM
cd "$work"
# 40 s of two channels at 100 Hz: dense enough that the nearest sample to
# any pixel column lies in that column.
awk 'BEGIN { print "t,a,b"; for (i = 0; i < 4000; i++) printf "%.2f,%.4f,%.4f\n", i / 100, sin(i / 200), cos(i / 300) }' >rec.csv

# The pointer starts away from where the window opens.
xdotool mousemove 1270 1010
vorda_wine_env "$lane" "$(dirname "$bin")/wineprefix"
vorda_wine_exec "$bin/vorda-view.exe" rec.csv --size 800x500px >out.txt 2>err.txt &
pid=$!

window=""
for i in $(seq 1 150); do
  window=$(xdotool search --name '^vorda-view: rec.csv$' 2>/dev/null | head -1) || true
  [ -n "$window" ] && break
  sleep 0.2
done
[ -n "$window" ] || fail "no window titled 'vorda-view: rec.csv' appeared; stderr: $(cat err.txt)"
eval "$(xdotool getwindowgeometry --shell "$window")"

# The screen as it is now, in NAME.png.
screen() {
  import -window root "$1.png"
  [ -n "${VORDA_VIEW_SHOTS:-}" ] && cp "$1.png" "$VORDA_VIEW_SHOTS/" || true
}
# x positions of pixels of one colour along a row (or y along a column).
along_row() { convert "$1" -crop "${WIDTH}x1+${X}+$2" +repage txt:- | grep -i "$3" | sed 's/^\([0-9]*\),.*/\1/'; }
along_column() { convert "$1" -crop "1x${HEIGHT}+$2+${Y}" +repage txt:- | grep -i "$3" | sed 's/^[0-9]*,\([0-9]*\):.*/\1/'; }
# Pixels that differ between two screenshots in a box W H LEFT TOP.
differ() {
  convert "$1" -crop "$3x$4+$5+$6" +repage a.png
  convert "$2" -crop "$3x$4+$5+$6" +repage b.png
  compare -metric AE a.png b.png null: 2>&1 | sed 's/[^0-9].*//'
}

# The chart: its frame (the frame's grey), found in the middle of the
# window, with the first channel's colour inside it.
row=""
for i in $(seq 1 50); do
  sleep 0.2
  screen before
  row=$(along_row before.png $((Y + HEIGHT / 2)) '#333333' | sort -n)
  [ -n "$row" ] && break
done
[ -n "$row" ] || fail "no chart frame on the screen"
left=$((X + $(echo "$row" | head -1)))
right=$((X + $(echo "$row" | tail -1)))
column=$(along_column before.png $(((left + right) / 2)) '#333333' | sort -n)
top=$((Y + $(echo "$column" | head -1)))
bottom=$((Y + $(echo "$column" | tail -1)))
[ $((right - left)) -gt 300 ] && [ $((bottom - top)) -gt 200 ] || fail "frame $left,$top-$right,$bottom too small"
plotw=$((right - left - 1))
ploth=$((bottom - top - 1))
trace=$(convert before.png -crop "${plotw}x${ploth}+$((left + 1))+$((top + 1))" +repage txt:- | grep -ci '#1E77B5' || true)
[ "$trace" -gt 300 ] || fail "the first channel has $trace pixels in the plot"
echo "chart drawn: plot $left,$top-$right,$bottom, $trace pixels of the first channel"

# The crosshair: a vertical line of inverted pixels down the pointer's
# column (the nearest sample is in that column or the next).
px=$((left + (right - left) * 2 / 5))
py=$((top + (bottom - top) / 3))
xdotool mousemove "$px" "$py"
sleep 0.8
screen crossed
best=0
for c in $((px - 1)) $px $((px + 1)); do
  n=$(differ before.png crossed.png 1 "$ploth" "$c" $((top + 1)))
  [ "$n" -gt "$best" ] && best=$n
done
[ "$best" -ge $((ploth * 9 / 10)) ] || fail "only $best of $ploth pixels changed in the pointer's column"
echo "crosshair through the pointer: $best of $ploth pixels inverted in its column"

# Elsewhere, the old column is as it was, but where the new horizontal
# bar crosses it.
xdotool mousemove $((px + 150)) $((py + 60))
sleep 0.8
screen moved
left_behind=0
for c in $((px - 1)) $px $((px + 1)); do
  n=$(differ before.png moved.png 1 "$ploth" "$c" $((top + 1)))
  left_behind=$((left_behind + n))
done
[ "$left_behind" -le 3 ] || fail "$left_behind pixels stayed inverted where the pointer was"
echo "the crosshair left the old column ($left_behind pixels differ, the new bar's crossing)"

# A drag across the middle third zooms: the x tick labels below the plot change.
labels="$((right - left + 40)) 30 $((left - 20)) $((bottom + 6))"
xdotool mousemove $((left + plotw / 3)) "$py" mousedown 1 mousemove $((left + plotw / 2)) "$py" \
  mousemove $((left + plotw * 2 / 3)) "$py" mouseup 1
sleep 2
screen zoomed
# shellcheck disable=SC2086
changed=$(differ moved.png zoomed.png $labels)
[ "$changed" -gt 20 ] || fail "the x tick labels did not change after the drag ($changed pixels differ)"
echo "the drag changed the x tick labels ($changed pixels)"

# Two cursors: a click pins A (a dashed line in its red down the column),
# the status line grows to read A, B and their differences, a second click
# moves A, Escape clears it and leaves the program running.
red='#CC1919'
# Pixels of cursor A's red down the column nearest $2 (the snapped sample
# lies in that column or the next) that holds the most.
reds() {
  most=0
  for c in $(($2 - 1)) $2 $(($2 + 1)); do
    n=$(along_column "$1" "$c" "$red" | wc -l)
    [ "$n" -gt "$most" ] && most=$n
  done
  echo "$most"
}
status_ink() {
  convert "$1" -crop "${WIDTH}x16+${X}+$((Y + HEIGHT - 18))" +repage txt:- | grep -vic '#FFFFFF' || true
}
ax=$((left + plotw / 4)); bx=$((left + plotw * 3 / 4))
xdotool mousemove "$bx" "$py"
sleep 0.8
screen single
xdotool mousemove "$ax" "$py" click 1
sleep 1.5
xdotool mousemove "$bx" "$py"
sleep 1
screen pinned
pinned_at=$(reds pinned.png "$ax")
[ "$pinned_at" -ge $((ploth * 3 / 10)) ] || fail "no cursor A down the clicked column ($pinned_at red pixels)"
one=$(status_ink single.png); two=$(status_ink pinned.png)
[ "$two" -gt $((one * 3 / 2)) ] || fail "the status line did not grow with cursor A ($one, then $two pixels of text)"
echo "a click pinned cursor A ($pinned_at red pixels down its column); the status line grew from $one to $two pixels"
cx=$((left + plotw / 2))
xdotool mousemove "$cx" "$py" click 1
sleep 1.5
xdotool mousemove "$bx" "$py"
sleep 1
screen moved_a
old_a=$(reds moved_a.png "$ax"); new_a=$(reds moved_a.png "$cx")
[ "$old_a" -eq 0 ] && [ "$new_a" -ge $((ploth * 3 / 10)) ] || fail "a second click did not move cursor A ($old_a red pixels left, $new_a at the new place)"
xdotool key Escape
sleep 1.5
screen cleared
kill -0 "$pid" 2>/dev/null || fail "Escape with cursor A pinned ended the program"
[ "$(reds cleared.png "$cx")" -eq 0 ] || fail "Escape did not clear cursor A"
echo "a second click moved cursor A, Escape cleared it and left the viewer open"

# A Shift-drag zooms the values too, and leaves no pixel of the crosshair
# in the row above the plot's frame.
xdotool mousemove "$ax" $((top + ploth / 4)) keydown shift mousedown 1 mousemove "$cx" $((top + ploth / 2)) \
  mousemove "$bx" $((top + ploth * 3 / 4)) mouseup 1 keyup shift
sleep 2
xdotool mousemove "$cx" "$py"
sleep 1
screen shifted
above=$(differ before.png shifted.png "$plotw" 1 $((left + 1)) $((top - 1)))
[ "$above" -eq 0 ] || fail "$above pixels changed in the row above the plot after a Shift-drag"
echo "the Shift-drag left the row above the plot as it was"

xdotool key Escape
status=""
for i in $(seq 1 100); do
  if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid" && status=0 || status=$?
    break
  fi
  sleep 0.1
done
pid_done=$pid
pid=""
[ -n "$status" ] || { kill "$pid_done" 2>/dev/null; fail "Escape did not end the program"; }
[ "$status" = 0 ] || fail "vorda-view ended with status $status"
[ ! -s out.txt ] && [ ! -s err.txt ] || fail "vorda-view printed: $(cat out.txt err.txt)"
echo "Escape ended vorda-view with status 0 and no output"
