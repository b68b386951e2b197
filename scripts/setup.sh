#!/bin/bash
# Installs every system package the builds and the tests need on this
# machine. Both builds are always made; 32-bit Wine only where this machine
# runs 32-bit programs (scripts/lib/arches.sh). Idempotent and quick when
# everything is already there.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VORN_BUILD_DIR:-$root/build}"
source "$root/scripts/lib/arches.sh"
vorn_select_arches

packages=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 xvfb xdotool imagemagick cmake
          googletest fonts-wine x11-utils zip unzip nsis p7zip-full wixl msitools faketime
          osslsigncode openssl
          xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils python3)
# The checks before the tests (scripts/check.sh), clang the second compiler.
packages+=(clang-format shellcheck clang)
# 32-bit Wine sees several monitors only through the 32-bit RandR library,
# which wine32 merely recommends.
[[ " $VORN_ARCHS " == *" x86 "* ]] && packages+=(wine32:i386 libxrandr2:i386)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
fi
# Another install may hold the package lock for a while: wait for it.
lock=(-o DPkg::Lock::Timeout=600)
$SUDO apt-get "${lock[@]}" update -q
$SUDO apt-get "${lock[@]}" install -y -q --no-install-recommends "${missing[@]}"
