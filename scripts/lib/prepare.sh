# shellcheck shell=bash
# Sourced by the commands that run something under Wine: installs what is
# missing, builds, loads the Wine helpers and picks the builds this machine
# can run. Sets $root, $build, $VORN_ARCHS and the preferred arch $vorn_arch
# (the 32-bit product wherever it runs, natively or emulated, else the 64-bit
# build).
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${VORN_BUILD_DIR:-$root/build}"
source "$root/scripts/lib/arches.sh"
vorn_select_arches "$build"
"$root/scripts/setup.sh"
VORN_BUILD_DIR="$build" "$root/scripts/build.sh" >/dev/null
source "$root/scripts/lib/wine-env.sh"
vorn_arch="${VORN_ARCHS%% *}"
vorn_use_arch "$vorn_arch"
