#!/bin/sh
# Installs what is missing, builds both lanes and runs every test: the pure
# code natively under the sanitizers and fuzzers, then each lane's suite
# under its Wine on a private X display: the 64-bit lane, and the 32-bit
# lane with the shipped i686 DLL itself.
set -eu
cd "$(dirname "$0")/.."
sh scripts/setup.sh
. scripts/lanes.sh

sh scripts/native.sh

for lane in 64 32; do
  cmake --preset "win$lane" >/dev/null
  cmake --build --preset "win$lane"
done

status=0
xvfb-run -a -s "-screen 0 1280x1024x24" sh scripts/run-lane.sh 64 || status=1
if vorda_runs_32bit; then
  if vorda_wine32_installed; then
    xvfb-run -a -s "-screen 0 1280x1024x24" sh scripts/run-lane.sh 32 || status=1
  else
    echo "32-bit lane: NOT RUN: the 32-bit Wine is missing from $VORDA_WINE32_ROOT (sh scripts/setup-wine32.sh)"
    status=1
  fi
elif vorda_vm_installed && vorda_wine32_installed; then
  # Under the emulated CPU a program runs about ten times slower: the soak
  # keeps its checks over fewer charts there: 50 after the first 50.
  echo "32-bit lane: $(vorda_no_32bit_reason); running it in an emulated x86-64 machine"
  sh scripts/vm-run.sh "$PWD" env VORDA_SOAK_ITERATIONS=100 \
    xvfb-run -a -s "-screen 0 1280x1024x24" sh scripts/run-lane.sh 32 || status=1
else
  # What can be checked without running: the shipped file's exports,
  # imports and version block. The lane builds all the same, so the i686
  # compiler has seen every test, benchmark and tool.
  ctest --preset win32 -R '^shipped_dll_layout$' >build/win32/ctest.log 2>&1 || {
    cat build/win32/ctest.log; status=1; }
  echo "32-bit lane: NOT RUN: $(vorda_no_32bit_reason); only the shipped DLL's file was checked"
fi
exit $status
