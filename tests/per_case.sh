#!/bin/bash
# tests/per_case.sh x86|x64 FOLDER: exits 0 when each unit test case of that
# build (in FOLDER) runs as a test of its own: where the build's programs run
# natively under Wine. Under emulation each Wine process costs about a
# second, so each program runs whole instead (one process rather than one a
# case: 70 s rather than 160 s for the 32-bit build); where they cannot run
# at all, the same keeps a run of the static checks from starting them.
build="$2"
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/lib/arches.sh"
vorn_select_arches "$build"
[[ " $VORN_ARCHS " == *" $1 "* ]] && { [ "$1" = x64 ] || [ "$VORN_X86_LANE" = native ]; }
