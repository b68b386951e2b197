#!/bin/bash
# Builds and runs the frame benchmark under Wine; prints figures only.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VORN_BUILD_DIR:-$root/build}"
"$root/scripts/setup.sh"
VORN_BUILD_DIR="$build" "$root/scripts/build.sh" >/dev/null
source "$root/scripts/wine-env.sh"
trap vorn_stop EXIT
vorn_start_display
vorn_start_wine
wine "$build/vorn-bench.exe" "$@"
