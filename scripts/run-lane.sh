#!/bin/sh
# Runs one lane's tests under its Wine, on the X display it is given (the
# test command starts Xvfb around it): run-lane.sh 32|64. Prints CTest's
# output and, for the 64-bit lane, the robustness checks' totals; the
# 32-bit lane ends with one line "32-bit lane: N tests passed, M failed".
set -u
cd "$(dirname "$0")/.."
. scripts/lanes.sh
lane="$1"
build="build/win$lane"
vorda_wine_env "$lane" "$PWD/$build/wineprefix"
# Wine keeps the display its server started with: start afresh here.
vorda_wine_stop
vorda_wine_boot
ctest --preset "win$lane" >"$build/ctest.log" 2>&1
status=$?
vorda_wine_stop
if [ "$lane" = 64 ]; then
  cat "$build/ctest.log"
  # The robustness tests count what they tried; show the totals.
  grep -h -E "^(fault sweep: [0-9]+ |bad input: [0-9]+ |soak: )" \
    "$build/Testing/Temporary/LastTest.log" 2>/dev/null || true
else
  # The 64-bit lane's output has been shown in full; here only failures.
  [ $status = 0 ] || cat "$build/ctest.log"
  total=$(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' "$build/ctest.log" | tail -1)
  failed=$(sed -n 's/.* \([0-9]*\) tests failed out of .*/\1/p' "$build/ctest.log" | tail -1)
  echo "32-bit lane: $(( ${total:-0} - ${failed:-0} )) tests passed, ${failed:-?} failed"
  [ -n "$total" ] || status=1
fi
exit $status
