# The two Wine lanes, for the scripts that run Windows programs: sourced,
# not run. The 64-bit lane uses Debian's wine64; the 32-bit lane, which
# runs the shipped i686 DLL itself, uses Debian's wine32 unpacked into a
# folder of its own by scripts/setup-wine32.sh.

VORDA_WINE32_ROOT="${VORDA_WINE32_ROOT:-/opt/vorda-wine32}"
VORDA_VM_ROOT="${VORDA_VM_ROOT:-/opt/vorda-vm}"

# Whether this machine executes 32-bit x86 Linux programs at all: some
# kernels and hypervisors run 64-bit user code only. Answers by running a
# three-instruction 32-bit program (exit status 42).
vorda_runs_32bit() {
  if [ -z "${VORDA_RUNS_32BIT:-}" ]; then
    probe=$(mktemp -d)
    VORDA_RUNS_32BIT=no
    if printf '.globl _start\n_start: movl $1, %%eax\nmovl $42, %%ebx\nint $0x80\n' |
         as --32 -o "$probe/p.o" - 2>/dev/null &&
       ld -m elf_i386 -o "$probe/p" "$probe/p.o" 2>/dev/null; then
      "$probe/p" 2>/dev/null
      [ $? = 42 ] && VORDA_RUNS_32BIT=yes
    fi
    rm -rf "$probe"
  fi
  [ "$VORDA_RUNS_32BIT" = yes ]
}

# Why the 32-bit lane cannot run here, for the one line that says so.
vorda_no_32bit_reason() {
  why=$(dmesg 2>/dev/null | grep -i -m1 -E 'ia-?32 emulation|32-bit emulation' | sed 's/^\[[^]]*\] *//')
  echo "this machine cannot execute 32-bit x86 code${why:+ (kernel: $why)}"
}

# Whether the emulated x86-64 machine that runs the 32-bit lane where this
# machine cannot (scripts/setup-vm.sh) is ready.
vorda_vm_installed() {
  [ -f "$VORDA_VM_ROOT/.complete" ] && command -v qemu-system-x86_64 >/dev/null 2>&1
}

vorda_wine32_installed() {
  [ -x "$VORDA_WINE32_ROOT/usr/lib/wine/wine" ] && [ -f "$VORDA_WINE32_ROOT/.complete" ]
}

# Sets up the environment of one lane's Wine: vorda_wine_env 32|64 PREFIX.
# Afterwards "$VORDA_WINE" runs a program and "$VORDA_WINESERVER" is the
# server of that prefix. The 32-bit libraries are given to the Wine
# processes only (through vorda_wine_exec), never to Xvfb or the shell.
vorda_wine_env() {
  export WINEPREFIX="$2" WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml="
  if [ "$1" = 32 ]; then
    r="$VORDA_WINE32_ROOT"
    export WINEARCH=win32 WINELOADER="$r/usr/lib/wine/wine" WINESERVER="$r/usr/lib/wine/wineserver32"
    VORDA_WINE="$WINELOADER"
    VORDA_WINESERVER="$WINESERVER"
    VORDA_WINE_LIBS="$r/usr/lib/i386-linux-gnu:$r/lib/i386-linux-gnu"
    VORDA_WINE_DRI="$r/usr/lib/i386-linux-gnu/dri"
  else
    unset WINEARCH WINELOADER WINESERVER
    VORDA_WINE=/usr/lib/wine/wine64
    VORDA_WINESERVER=/usr/lib/wine/wineserver64
    VORDA_WINE_LIBS=""
    VORDA_WINE_DRI=""
  fi
}

# Runs a Windows program (or wineboot) in the lane set by vorda_wine_env.
vorda_wine_exec() {
  if [ -n "$VORDA_WINE_LIBS" ]; then
    # Debian's 32-bit user32.dll imports zlib1.dll, which the prefix must
    # hold before Wine can fill it.
    sys32="$WINEPREFIX/drive_c/windows/system32"
    if [ ! -f "$sys32/zlib1.dll" ]; then
      mkdir -p "$sys32"
      cp "$VORDA_WINE32_ROOT/usr/i686-w64-mingw32/lib/zlib1.dll" "$sys32/"
    fi
    LD_LIBRARY_PATH="$VORDA_WINE_LIBS" LIBGL_DRIVERS_PATH="$VORDA_WINE_DRI" "$VORDA_WINE" "$@"
  else
    "$VORDA_WINE" "$@"
  fi
}

# Makes the prefix if it is new. wineboot can exit non-zero on a fresh
# prefix although it filled it, so its status is not taken as the answer.
vorda_wine_boot() {
  [ -f "$WINEPREFIX/system.reg" ] && return 0
  vorda_wine_exec wineboot -i >/dev/null 2>&1 || true
}

vorda_wine_stop() {
  "$VORDA_WINESERVER" -k 2>/dev/null || true
}

# The programs of this prefix other than Wine's own desktop and services,
# one a line.
vorda_wine_programs() {
  for p in $(pgrep -f '\.exe' 2>/dev/null); do
    { tr '\0' '\n' <"/proc/$p/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX"; } 2>/dev/null || continue
    cmd=$( { tr '\0' ' ' <"/proc/$p/cmdline"; } 2>/dev/null) || continue
    case "$cmd" in
      ''|*explorer.exe*|*services.exe*|*winedevice.exe*|*plugplay.exe*|*svchost.exe*|*rpcss.exe*|*conhost.exe*) ;;
      *) echo "$cmd" ;;
    esac
  done
}

# The X display of the prefix's desktop, when Wine has made it: "none"
# when it was made without one, "stale" when its X server has ended or
# been replaced since (a new server makes its socket anew).
vorda_wine_desktop_display() {
  for p in $(pgrep -f 'explorer.exe /desktop' 2>/dev/null); do
    env=$( { tr '\0' '\n' <"/proc/$p/environ"; } 2>/dev/null) || continue
    printf '%s\n' "$env" | grep -qxF "WINEPREFIX=$WINEPREFIX" || continue
    d=$(printf '%s\n' "$env" | sed -n 's/^DISPLAY=//p')
    [ -n "$d" ] || { echo none; return 0; }
    n="${d#*:}"
    sock="/tmp/.X11-unix/X${n%%.*}"
    if [ -S "$sock" ] && [ "$(stat -c %Y "$sock")" -gt "$(stat -c %Y "/proc/$p")" ]; then
      echo stale
    elif [ -S "$sock" ] || [ "${d%%:*}" != "" ]; then
      echo "$d"
    else
      echo stale
    fi
    return 0
  done
}

# Wine's desktop takes the X display of the program that makes it, and
# keeps it while the prefix's server lives, which is a while after the last
# program ends. A program that needs a window (vorda_wine_display need)
# gets a desktop on its own display: a server whose desktop is elsewhere
# (or nowhere) is ended first when it runs nothing else; when it still runs
# a program, that is left alone and the call fails saying so. A program
# that needs no window (any) joins whatever server runs, without waiting.
vorda_wine_display() {
  [ "$1" = need ] || return 0
  have=$(vorda_wine_desktop_display)
  [ -z "$have" ] || [ "$have" = "${DISPLAY:-none}" ] && return 0
  busy=$(vorda_wine_programs)
  if [ -n "$busy" ]; then
    echo "${tool:-vorda}: Wine's desktop for $WINEPREFIX is on another display ($have), where this still runs: $busy; close it first, or give this program a prefix of its own: VORDA_WINEPREFIX=/some/folder" >&2
    return 1
  fi
  "$VORDA_WINESERVER" -k 2>/dev/null || true
  "$VORDA_WINESERVER" -w 2>/dev/null || true
}
