#!/bin/sh
# Runs a Windows program under the Wine of one lane with the build tree's
# private prefix: wine-run.sh 32|64 PROGRAM [ARGS...]. VORDA_WINEPREFIX
# overrides the prefix; by default it sits beside the program's bin/.
lane="$1"
shift
prog="$1"
. "$(dirname "$0")/../scripts/lanes.sh"
if [ -z "${VORDA_WINEPREFIX:-}" ]; then
  VORDA_WINEPREFIX="$(cd "$(dirname "$prog")/.." && pwd)/wineprefix"
fi
vorda_wine_env "$lane" "$VORDA_WINEPREFIX"
vorda_wine_exec "$@"
