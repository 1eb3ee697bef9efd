#!/bin/sh
# Installs what building and testing vorda needs on a Debian machine (and
# the public data sets some chart tests read: python-matplotlib-data), and
# nothing that is already there: Debian's packages, where this machine
# cannot execute 32-bit code an emulated machine that can
# (scripts/setup-vm.sh), then the 32-bit Wine in a folder of its own
# (scripts/setup-wine32.sh).
set -eu
cd "$(dirname "$0")/.."
SUDO=""
[ "$(id -u)" = 0 ] || SUDO=sudo
packages="binutils cmake ninja-build googletest g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 wine64 xvfb xauth fonts-liberation2
  imagemagick libgl1-mesa-dri libgl1 libglx-mesa0 clang libclang-rt-14-dev python-matplotlib-data
  gnuplot-nox xdotool"
. scripts/packages.sh
install_missing $packages
. scripts/lanes.sh
vorda_runs_32bit || $SUDO sh scripts/setup-vm.sh
$SUDO sh scripts/setup-wine32.sh
