#!/bin/sh
# Makes the emulated x86-64 machine that runs the 32-bit lane where this
# machine cannot execute 32-bit code itself (scripts/vm-run.sh starts it):
# QEMU's software CPU with Debian's own kernel, which runs 32-bit programs,
# and a small initial RAM disk whose init (scripts/vm/init) mounts this
# machine's file system over 9p. Everything comes from Debian's archive;
# the result goes to $VORDA_VM_ROOT (default /opt/vorda-vm). Does nothing
# when it is complete.
set -eu
cd "$(dirname "$0")/.."
. scripts/lanes.sh

vorda_vm_installed && exit 0
. scripts/packages.sh
install_missing qemu-system-x86 busybox-static

kernel=$(apt-cache depends linux-image-amd64 | sed -n 's/^ *Depends: \(linux-image-[0-9].*\)/\1/p' | head -1)
[ -n "$kernel" ] || { echo "setup: no Debian kernel package found for the emulated machine"; exit 1; }
root="$VORDA_VM_ROOT"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
echo "setup: making the emulated machine for the 32-bit lane in $root ($kernel)"
chmod 755 "$work"
(cd "$work" && apt-get download -q "$kernel" >download.log 2>&1) || {
  cat "$work/download.log"; echo "setup: could not fetch $kernel"; exit 1; }
dpkg -x "$work"/linux-image-*.deb "$work/k"

disk="$work/initrd"
mkdir -p "$disk/bin" "$disk/m" "$disk/newroot" "$disk/proc" "$disk/sys" "$disk/dev"
cp /bin/busybox "$disk/bin/"
cp scripts/vm/init "$disk/init"
chmod 755 "$disk/init"
# The 9p file system over virtio, each module after those it needs.
modules="drivers/virtio/virtio_ring drivers/virtio/virtio drivers/virtio/virtio_pci_modern_dev
  drivers/virtio/virtio_pci_legacy_dev drivers/virtio/virtio_pci fs/netfs/netfs fs/fscache/fscache
  net/9p/9pnet net/9p/9pnet_virtio fs/9p/9p"
for m in $modules; do
  cp "$work"/k/lib/modules/*/kernel/"$m".ko "$disk/m/"
  basename "$m" >>"$disk/m/order"
done

rm -rf "$root.new"
mkdir -p "$root.new"
cp "$work"/k/boot/vmlinuz-* "$root.new/vmlinuz"
(cd "$disk" && find . | busybox cpio -o -H newc 2>/dev/null) | gzip -1 >"$root.new/initrd.gz"
echo "$kernel" >"$root.new/.complete"
rm -rf "$root"
mv "$root.new" "$root"
