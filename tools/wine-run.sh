#!/bin/bash
# Runs a Windows program under Wine with the loader and prefix of one build.
# VORN_ARCH (x86 or x64) and WINEPREFIX come from the test's environment;
# without them this is the 32-bit build with its prefix in build/.
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export VORN_ARCH="${VORN_ARCH:-x86}"
export WINEPREFIX="${WINEPREFIX:-$here/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
exec "$here/tools/bin/wine" "$@"
