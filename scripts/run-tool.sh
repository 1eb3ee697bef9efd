# Runs one of the project's Windows programs (vorda-chart, vorda-view) for
# a user: sourced by their launchers with `tool` set. Chooses the lane (the
# shipped 32-bit build unless --64 or VORDA_LANE=64 says otherwise, or the
# machine cannot execute 32-bit code, which is then said), and gives Wine
# the paths as the user typed them.
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lanes.sh"
lane="${VORDA_LANE:-32}"
if [ "${1:-}" = --64 ]; then lane=64; shift; fi
if [ "$lane" = 32 ] && ! { vorda_runs_32bit && vorda_wine32_installed; }; then
  if vorda_runs_32bit; then
    echo "$tool: the 32-bit Wine is not installed (sh scripts/setup.sh); using the 64-bit build" >&2
  else
    echo "$tool: $(vorda_no_32bit_reason); using the 64-bit build" >&2
  fi
  lane=64
fi
exe="$root/build/win$lane/bin/$tool.exe"
if [ ! -f "$exe" ]; then
  echo "$tool: not built yet; run: sh scripts/chart.sh  (or cmake --preset win$lane && cmake --build --preset win$lane --target $tool)" >&2
  exit 1
fi
# Wine runs the program in the current directory (mapped as drive Z:, the
# Unix root), so relative paths work as they are; an absolute Unix path is
# given its drive, so that it cannot be taken for one on drive C:; the
# tool is told the drive, so that its messages show the path as typed.
export VORDA_CHART_UNIX_DRIVE=Z:
n=$#
i=0
after_title=0
for arg in "$@"; do
  i=$((i + 1))
  case "$arg" in
    /*) [ $after_title = 1 ] || arg="Z:$arg" ;;
    --*=/*) arg="${arg%%=*}=Z:${arg#*=}" ;;
  esac
  case "$arg" in --title) after_title=1 ;; *) after_title=0 ;; esac
  set -- "$@" "$arg"
done
shift "$n"
vorda_wine_env "$lane" "${VORDA_WINEPREFIX:-$root/build/win$lane/wineprefix}"
vorda_wine_display "${tool_display:-any}" || exit 1
vorda_wine_boot
