#!/bin/bash
# Builds and runs the frame benchmark under Wine; prints figures only.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/prepare.sh"
trap vorn_stop EXIT
vorn_start_display
vorn_start_wine
wine "$build/vorn-bench.exe" "$@"
