#!/bin/bash
# Builds and runs the frame benchmark under Wine for each build this machine
# runs; prints figures only.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/prepare.sh"
trap vorn_stop EXIT
vorn_start_display
for arch in $VORN_ARCHS; do
    vorn_use_arch "$arch"
    echo "=== $(vorn_arch_name "$arch") build"
    vorn_start_wine
    wine "$build_arch/vorn-bench.exe" "$@"
done
