#!/bin/bash
# The savers' version resource and their name in the screen saver list
# (string 1), read through the platform as Windows reads them. The 64-bit
# suite reads the 32-bit saver as well: a 64-bit process reads any program's
# resources as data, and a machine whose 32-bit lane is none runs no 32-bit
# suite.
# Usage: version_info.sh <build-dir>
set -uo pipefail
build="$(cd "$1" && pwd)"
savers=("$build/Vorn.scr")
[ "${VORN_ARCH:-}" = x64 ] && savers+=("$(cd "$build/.." && pwd)/Vorn.scr")
for saver in "${savers[@]}"; do
    [ -f "$saver" ] || { echo "FAIL: $saver is missing"; exit 1; }
done
timeout 60 wine "$build/tests/version_info.exe" "${savers[@]}"
