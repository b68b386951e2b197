#!/bin/bash
# Installs what is missing, builds both builds, runs the checks of
# scripts/check.sh (format, shellcheck, strict warnings, undefined behaviour),
# and runs every test under Wine on a virtual display, once for each build
# this machine can run (scripts/lib/arches.sh says which and why;
# VORN_ARCHS=x64 forces the 64-bit build alone; a build it cannot run still
# gets the checks that need no Wine).
# Exits non-zero on any failure; a summary of each build's suite is the last
# thing printed.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VORN_BUILD_DIR:-$root/build}"
source "$root/scripts/lib/arches.sh"
vorn_select_arches
export VORN_ARCHS VORN_ARCHS_WHY
vorn_arches_line
"$root/scripts/setup.sh" || exit 1
VORN_BUILD_DIR="$build" "$root/scripts/build.sh" || exit 1

source "$root/scripts/lib/wine-env.sh"
trap vorn_stop EXIT
vorn_start_display || exit 1

# A failed check fails the run; the tests still run, so that one run reports all.
echo "=== checks"
VORN_BUILD_DIR="$build" "$root/scripts/check.sh"
checks=$?
status=0
[ $checks -eq 0 ] || status=1
summary=("checks: $([ $checks -eq 0 ] && echo passed || echo FAILED)")
for arch in x86 x64; do
    vorn_use_arch "$arch"
    name=$(vorn_arch_name "$arch")
    if [[ " $VORN_ARCHS " == *" $arch "* ]]; then
        echo "=== $name build, every test: $build_arch"
        vorn_start_wine
        (cd "$build_arch" && ctest --output-on-failure "$@")
        code=$?
        WINEPREFIX="$build_arch/wineprefix" wineserver -k >/dev/null 2>&1
        what="every test"
    else
        # What needs no Wine (the import list) still holds the build to account.
        echo "=== $name build, the checks that need no Wine: $build_arch"
        (cd "$build_arch" && ctest --output-on-failure -L static "$@")
        code=$?
        what="checks without Wine only"
    fi
    [ $code -eq 0 ] || status=1
    summary+=("$name build ($what): $([ $code -eq 0 ] && echo passed || echo FAILED)")
done
echo "=== $(vorn_arches_line)"
printf '%s\n' "${summary[@]}"
exit $status
