#!/bin/bash
# Builds and runs the saver under Wine (default switch "/s"): the 32-bit one
# where this machine runs it (natively, or through qemu's emulation where the
# kernel runs 64-bit programs only), else the 64-bit one, and says which. With no display it starts a virtual one, lets the saver run a few
# seconds, saves a screenshot to build/vorn.png and prints its path.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/prepare.sh"
[ $# -eq 0 ] && set -- /s
how="natively"
[ "$vorn_arch" = x86 ] && [ "$VORN_X86_LANE" = emulated ] && how="through qemu-user emulation"
echo "running the $(vorn_arch_name "$vorn_arch") saver $how, $build_arch/Vorn.scr ($VORN_X86_WHY)"
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    vorn_start_wine
    wine "$build_arch/Vorn.scr" "$@" || true
    exit 0
fi

trap vorn_stop EXIT
vorn_start_display
vorn_start_wine
wine "$build_arch/Vorn.scr" "$@" &
saver=$!
sleep "${VORN_RUN_SECONDS:-5}"
import -window root "$build/vorn.png"
kill "$saver" 2>/dev/null || true
wineserver -k >/dev/null 2>&1 || true
echo "$build/vorn.png"
