#!/bin/sh
# Installs Debian's 32-bit Wine, with the 32-bit OpenGL and X libraries it
# needs, into a folder of its own ($VORDA_WINE32_ROOT, default
# /opt/vorda-wine32), for the 32-bit lane. Installing wine32:i386 beside
# the system's amd64 packages can fail whenever the two architectures'
# versions of a library differ for a while, so the i386 packages are
# fetched with an apt configuration of their own and unpacked into the
# folder, touching nothing else. Does nothing when the folder is complete.
set -eu
cd "$(dirname "$0")/.."
. scripts/lanes.sh

vorda_wine32_installed && exit 0
if ! vorda_runs_32bit && ! vorda_vm_installed; then
  echo "setup: the 32-bit Wine is not installed: $(vorda_no_32bit_reason)"
  exit 0
fi

packages="wine32 libgl1 libglx-mesa0 libgl1-mesa-dri libxrender1 libxrandr2 libxi6 libxcursor1
  libxinerama1 libxcomposite1 libxfixes3 libxxf86vm1"
root="$VORDA_WINE32_ROOT"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
mkdir -p "$work/lists/partial" "$work/archives/partial" "$work/parts"
: >"$work/status"
: >"$work/sources.list"
# The system's own package sources, read for i386 instead of amd64.
cp /etc/apt/sources.list "$work/sources.list" 2>/dev/null || true
for f in /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
  [ -f "$f" ] && cp "$f" "$work/parts/"
done
apt_i386() {
  apt-get -q -o APT::Architecture=i386 -o APT::Architectures::=i386 \
    -o Dir::State::status="$work/status" -o Dir::Etc::sourcelist="$work/sources.list" \
    -o Dir::Etc::sourceparts="$work/parts" -o Dir::State::Lists="$work/lists" \
    -o Dir::Cache="$work" -o Dir::Cache::archives="$work/archives" -o Debug::NoLocking=1 "$@"
}
echo "setup: fetching the 32-bit Wine into $root"
# A mirror that is mid-sync can fail one index (the security suite, say);
# the packages still resolve from the others, and a failure to resolve
# stops the install below.
apt_i386 update >"$work/update.log" 2>&1 || true
apt_i386 -y -d --no-install-recommends install $packages >"$work/fetch.log" 2>&1 || {
  tail -20 "$work/fetch.log"; echo "setup: could not fetch the 32-bit Wine"; exit 1; }

rm -rf "$root.new"
mkdir -p "$root.new"
for deb in "$work"/archives/*.deb; do dpkg -x "$deb" "$root.new"; done
# Wine looks for its builtin DLLs beside its own; user32.dll needs zlib1.dll.
cp "$root.new/usr/i686-w64-mingw32/lib/zlib1.dll" "$root.new/usr/lib/i386-linux-gnu/wine/i386-windows/"
ls "$work"/archives/*.deb | sed 's|.*/||' >"$root.new/.complete"
rm -rf "$root"
mv "$root.new" "$root"
# The version from the package list: on a machine that cannot execute
# 32-bit code, Wine itself cannot say it.
version=$(sed -n 's/^wine32_\([^_]*\)_i386\.deb$/\1/p' "$root/.complete" | sed 's/%3a/:/')
echo "setup: 32-bit Wine ${version:-?} in $root"
