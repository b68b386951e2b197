# shellcheck shell=bash
# Sourced by the release checks (argument: the 32-bit build folder, whose
# x64/ folder is the 64-bit build): a scratch folder removed on exit, fail,
# and release TZ FOLDER, which makes the release from this build's savers at a
# fixed time, in time zone TZ.
set -uo pipefail
build="$(cd "$1" && pwd)"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}
release() { # TZ FOLDER
    TZ=$1 SOURCE_DATE_EPOCH=1767225600 VORN_BUILD_DIR="$build" \
        "$root/scripts/package.sh" --no-build "$2" >/dev/null || fail "package.sh failed"
}
