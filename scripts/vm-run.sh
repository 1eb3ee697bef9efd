#!/bin/sh
# Runs a command in the emulated x86-64 machine (scripts/setup-vm.sh), for
# the 32-bit lane on machines that cannot execute 32-bit code themselves:
# vm-run.sh DIR COMMAND [ARGS...]. The emulated machine sees this machine's
# files read-only and DIR writable at the same path; the command runs in
# DIR. Prints the command's output and exits with its status.
set -eu
cd "$(dirname "$0")/.."
. scripts/lanes.sh
dir=$(cd "$1" && pwd)
shift
state="$dir/build/vm"
mkdir -p "$state"
rm -f "$state/status" "$state/output.log"
q() { printf "'%s'" "$(printf '%s' "$1" | sed "s/'/'\\\\''/g")"; }
quoted=""
for a in "$@"; do quoted="$quoted $(q "$a")"; done
cat >"$state/job.sh" <<JOB
export HOME=/tmp PATH=/usr/local/bin:/usr/bin:/bin
cd $(q "$dir")
$quoted >$(q "$state/output.log") 2>&1
echo \$? >$(q "$state/status")
JOB
# QEMU 7.2's software CPU faults a far return into 32-bit code when SMAP is
# on, so the emulated CPU goes without it.
timeout "${VORDA_VM_SECONDS:-3600}" qemu-system-x86_64 -machine q35 -accel tcg,thread=multi \
  -cpu max,smap=off -smp "$(nproc)" -m 6144 -nographic -no-reboot \
  -kernel "$VORDA_VM_ROOT/vmlinuz" -initrd "$VORDA_VM_ROOT/initrd.gz" \
  -append "console=ttyS0 quiet panic=-1 vmwork=$dir vmjob=$state/job.sh" \
  -fsdev local,id=root,path=/,readonly=on,security_model=none,multidevs=remap \
  -device virtio-9p-pci,fsdev=root,mount_tag=hostroot \
  -fsdev local,id=work,path="$dir",security_model=none \
  -device virtio-9p-pci,fsdev=work,mount_tag=work >"$state/console.log" 2>&1 || true
[ -f "$state/output.log" ] && cat "$state/output.log"
if [ ! -f "$state/status" ]; then
  echo "vm: the emulated machine ended before the command did; its console said:"
  tail -20 "$state/console.log"
  exit 1
fi
exit "$(cat "$state/status")"
