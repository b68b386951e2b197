#!/bin/bash
# Installs every system package the builds and the tests need on this
# machine, and unpacks the 32-bit Wine (and, for the emulated lane, qemu)
# into the build folder, where this machine can run it one way or the other
# (scripts/lib/arches.sh, scripts/lib/wine32.sh). Adds no architecture to
# dpkg. Idempotent and quick when everything is already there.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VORN_BUILD_DIR:-$root/build}"
source "$root/scripts/lib/arches.sh"
source "$root/scripts/lib/wine32.sh"
vorn_select_arches "$build"

packages=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 xvfb xdotool imagemagick cmake
          googletest fonts-wine x11-utils zip unzip nsis p7zip-full wixl msitools faketime
          osslsigncode openssl
          xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils python3)
# The checks before the tests (scripts/check.sh), clang the second compiler.
packages+=(clang-format shellcheck clang)

install_missing() {
    echo "setup: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    # Another install may hold the package lock for a while: wait for it.
    local lock=(-o DPkg::Lock::Timeout=600)
    $sudo apt-get "${lock[@]}" update -q
    $sudo apt-get "${lock[@]}" install -y -q --no-install-recommends "${missing[@]}"
}

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    install_missing
fi
if [ "$VORN_X86_LANE" != none ]; then
    vorn_wine32_prepare "$build/wine32" "$VORN_X86_LANE"
fi
