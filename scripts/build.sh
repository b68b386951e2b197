#!/bin/bash
# Configures and builds both builds: the 32-bit product in build/ (or
# $VORN_BUILD_DIR) and the 64-bit build in its x64/ folder, each with its
# saver, tools and tests. Building needs no Wine, so both are always built.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VORN_BUILD_DIR:-$root/build}"

configure_and_build() {  # <build folder> <toolchain file>
    if [ ! -f "$1/CMakeCache.txt" ]; then
        cmake -S "$root" -B "$1" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$2" -DCMAKE_BUILD_TYPE=Release
    fi
    cmake --build "$1" -j "$(nproc)"
}

configure_and_build "$build" mingw-i686.cmake
configure_and_build "$build/x64" mingw-x86_64.cmake
