#!/bin/bash
# The 32-bit and the 64-bit build draw exactly the same pictures for the
# straight-line motions, which use no sine or cosine (those come from each
# toolchain's own math library and may differ in their last bits). Runs only
# where this machine runs both builds; exits 77 (skipped) elsewhere.
# Usage: cross_arch.sh <64-bit build-dir>   (the 32-bit build is its parent)
set -uo pipefail
build64="$(cd "$1" && pwd)"
build="$(cd "$1/.." && pwd)"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
source "$root/scripts/lib/arches.sh"
vorn_select_arches "$build"
if [[ " $VORN_ARCHS " != *" x86 "* ]]; then
    echo "skipped: the 32-bit build is not tested here: $VORN_X86_WHY"
    exit 77
fi

work="$build64/cross-arch"
rm -rf "$work" && mkdir -p "$work/x86" "$work/x64"
common=(--width 800 --height 600 --frames 3000 --seed 1)
failed=0
# render <arch> <folder of its build> <name> <options...>: in this build's
# 64-bit prefix, which runs 32-bit programs too (the 32-bit suite may be
# restarting its own prefix's server meanwhile).
render() {
    local arch=$1 from=$2 name=$3
    shift 3
    (cd "$work/$arch" && wine "$from/vorn-render.exe" "${common[@]}" "$@" --out "$name.bmp")
}
for entry in "random-linear:--Algorithm 0" "random-pointer:--Algorithm 1" \
    "random-linear-angle:--Algorithm 5" \
    "pointer-round-rainbow:--Algorithm 1 --Round 1 --Rainbow 1 --Mode 1"; do
    name=${entry%%:*}
    # shellcheck disable=SC2086 # options are words by design
    { render x86 "$build" "$name" ${entry#*:} && render x64 "$build64" "$name" ${entry#*:}; } ||
        { echo "FAIL $name: vorn-render failed"; failed=1; continue; }
    if cmp -s "$work/x86/$name.bmp" "$work/x64/$name.bmp"; then
        echo "ok   $name: the same picture from both builds"
    else
        echo "FAIL $name: the builds' pictures differ; kept in $work"
        failed=1
    fi
done
[ "$failed" -eq 0 ] && rm -rf "$work"
exit "$failed"
