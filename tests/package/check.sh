#!/bin/bash
# The release zip that scripts/package.sh makes from this build's savers:
# exactly the expected entries, the savers byte for byte the built ones, the
# sums file as sha256sum writes it (with Windows line ends, as every text),
# and every entry with the fixed date and permissions whatever the local
# time zone, so the same savers always give the same zip.
# Usage: check.sh <32-bit build-dir>   (the 64-bit build is its x64/ folder)
set -uo pipefail
build="$(cd "$1" && pwd)"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}
zip="$work/vorn.zip"

TZ=JST-9 SOURCE_DATE_EPOCH=1767225600 VORN_BUILD_DIR="$build" \
    "$root/scripts/package.sh" --no-build "$zip" >/dev/null || fail "package.sh failed"
entries=$(unzip -Z1 "$zip" | tr '\n' ' ')
[ "$entries" = "INSTALL.txt LICENSE.txt SHA256SUMS.txt Vorn.scr x64/Vorn.scr " ] ||
    fail "the zip holds: $entries"
unzip -q "$zip" -d "$work/files" || fail "unzip failed"

cmp "$work/files/Vorn.scr" "$build/Vorn.scr" || fail "Vorn.scr differs from the built one"
cmp "$work/files/x64/Vorn.scr" "$build/x64/Vorn.scr" || fail "x64/Vorn.scr differs from the built one"
(cd "$build" && sha256sum Vorn.scr && cd x64 && sha256sum Vorn.scr | sed 's|  |  x64/|') |
    sed 's/$/\r/' | cmp - "$work/files/SHA256SUMS.txt" || fail "SHA256SUMS.txt is not the savers' sums"
for text in INSTALL.txt LICENSE.txt; do
    bare=$(grep -c -v $'\r$' "$work/files/$text")
    [ "$bare" -eq 0 ] || fail "$text: $bare lines without a Windows line end"
done
stamps=$(zipinfo -T "$zip" | awk '/^-/ { print $1, $7 }' | sort -u)
[ "$stamps" = "-rw-r--r-- 20260101.000000" ] || fail "entries' permissions and dates: $stamps"
echo "ok: $(wc -w <<<"$entries") entries, the built savers, their sums, CRLF texts, fixed dates"
