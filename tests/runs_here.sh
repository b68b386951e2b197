#!/bin/bash
# tests/runs_here.sh x86|x64 FOLDER: exits 0 when this machine runs the
# programs of that build (in FOLDER) under Wine, as the scripts decide.
build="$2"
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/lib/arches.sh"
vorn_select_arches "$build"
[[ " $VORN_ARCHS " == *" $1 "* ]]
