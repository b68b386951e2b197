#!/bin/bash
# tests/gtest_wine.sh PROGRAM [ARGS...]: a GoogleTest program under Wine, in
# the environment tools/wine/wine-run.sh set, with its exit code. Windows' C
# runtime ends lines with CR LF, which CTest's reading of the list of cases
# would keep in the names: they leave here with LF alone.
set -o pipefail
wine "$@" | tr -d '\r'
