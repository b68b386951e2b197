#!/bin/bash
# Installs what is missing, builds both builds, runs the checks of
# scripts/check.sh (format, shellcheck, strict warnings, clang, undefined
# behaviour), and runs every test of each build under Wine, the two suites
# side by side, each on a virtual display of its own: the 64-bit build
# natively, the 32-bit build natively where the kernel runs 32-bit programs
# and through qemu's user-mode emulation where it does not
# (scripts/lib/arches.sh says which and why; VORN_X86_LANE=emulated forces
# emulation, VORN_ARCHS=x64 tests the 64-bit build alone; a build not tested
# under Wine still gets the checks that need no Wine).
# Exits non-zero on any failure; a summary of each build's suite is the last
# thing printed.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VORN_BUILD_DIR:-$root/build}"
source "$root/scripts/lib/wine-env.sh"
vorn_select_arches "$build"
vorn_arches_line
started=$SECONDS
"$root/scripts/setup.sh" || exit 1
installs=$((SECONDS - started))
VORN_BUILD_DIR="$build" "$root/scripts/build.sh" || exit 1
builds=$((SECONDS - started - installs))

# A failed check fails the run; the tests still run, so that one run reports all.
echo "=== checks"
started=$SECONDS
VORN_BUILD_DIR="$build" "$root/scripts/check.sh"
checks=$?
summary="installs ${installs} s, builds ${builds} s; checks: $([ $checks -eq 0 ] && echo passed || echo FAILED) ($((SECONDS - started)) s)"

# lane x86|x64 ARGS...: one build's suite, on a display and Wine server of its
# own, so that the two builds' suites run side by side; its last line sums it up.
lane() {
    local arch=$1 name how="natively" code what skips counts started=$SECONDS
    shift
    vorn_use_arch "$arch"
    name=$(vorn_arch_name "$arch")
    [ "$arch" = x86 ] && [ "$VORN_X86_LANE" = emulated ] && how="through qemu-user emulation"
    if [[ " $VORN_ARCHS " == *" $arch "* ]]; then
        echo "=== $name build, every test, $how: $build_arch"
        trap vorn_stop EXIT
        vorn_start_display || return 1
        vorn_start_wine
        (cd "$build_arch" && ctest --output-on-failure "$@") | tee "$build_arch/ctest.log"
        code=$?
        what="every test, $how"
    else
        # What needs no Wine (the import list) still holds the build to account.
        echo "=== $name build, the checks that need no Wine: $build_arch"
        (cd "$build_arch" && ctest --output-on-failure -L static "$@") | tee "$build_arch/ctest.log"
        code=$?
        what="checks without Wine only"
    fi
    # What a test left undecided here, and why (printed as "skipped ...: reason").
    mapfile -t skips < <(grep -h '^skipped' "$build_arch/Testing/Temporary/LastTest.log" 2>/dev/null | tr -d '\r' | sort -u)
    [ ${#skips[@]} -eq 0 ] || printf '  %s\n' "${skips[@]}"
    counts=$(sed -n 's/^.*tests passed, \([0-9]*\) tests\{0,1\} failed out of \([0-9]*\)$/\2 tests, \1 failed/p' \
        "$build_arch/ctest.log")
    echo "$name build ($what): $([ $code -eq 0 ] && echo passed || echo FAILED) (${counts:-no count}, ${#skips[@]} skipped in part or whole; $((SECONDS - started)) s)"
    return $code
}

# The 64-bit suite runs beside the 32-bit one and shows its output after it.
mkdir -p "$build/x64"
(lane x64 "$@") >"$build/x64/suite.log" 2>&1 &
x64=$!
(lane x86 "$@") 2>&1 | tee "$build/suite.log"
x86_code=${PIPESTATUS[0]}
wait $x64
x64_code=$?
cat "$build/x64/suite.log"
echo "=== $(vorn_arches_line)"
echo "$summary"
tail -qn 1 "$build/suite.log" "$build/x64/suite.log"
[ "$checks" -eq 0 ] && [ "$x86_code" -eq 0 ] && [ "$x64_code" -eq 0 ]
