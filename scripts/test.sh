#!/bin/bash
# Installs what is missing, builds, and runs every test under Wine on a
# virtual display. Exits non-zero on any failure; the CTest summary is the
# last thing printed.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VORN_BUILD_DIR:-$root/build}"
"$root/scripts/setup.sh" || exit 1
VORN_BUILD_DIR="$build" "$root/scripts/build.sh" || exit 1

source "$root/scripts/wine-env.sh"
trap vorn_stop EXIT
vorn_start_display || exit 1
vorn_start_wine

cd "$build" && ctest --output-on-failure "$@"
