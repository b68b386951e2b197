# Sourced by the scripts that run something under Wine: installs what is
# missing, builds, and loads the Wine helpers. Sets $root and $build.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VORN_BUILD_DIR:-$root/build}"
"$root/scripts/setup.sh"
VORN_BUILD_DIR="$build" "$root/scripts/build.sh" >/dev/null
source "$root/scripts/wine-env.sh"
