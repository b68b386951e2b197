#!/bin/bash
# Makes the release, in build/ or the given folder: the zip
# vorn-<major.minor>-windows.zip (the 32-bit saver, the 64-bit one in x64\,
# an install text, the licence and the savers' SHA-256 sums, the texts with
# Windows line ends) and one setup program for each architecture,
# vorn-<major.minor>-setup-x86.exe and -x64.exe (packaging/vorn.nsi), which
# carry the same texts, and the MSI packages vorn-<major.minor>-x86.msi and
# -x64.msi for deployment tools (packaging/make-msi.sh). Installs what is missing and builds first.
#   scripts/package.sh [--no-build] [FOLDER]
# --no-build packages the savers as they are built (the tests use it).
# The same savers always give the same files: fixed order and permissions, no
# extra attributes, every file dated at the last commit (SOURCE_DATE_EPOCH
# wins when set).
# VORN_SIGN, when set, is a command run as `$VORN_SIGN FILE` that signs FILE
# in place (SHA-256 Authenticode; scripts/sign-osslsigncode.sh is one): it
# signs both savers before their sums are taken, the uninstaller inside each
# setup, and each setup; a failure fails the release. Without it the release
# is unsigned, says so, and stays byte for byte reproducible.
# VORN_VERSION (a.b.c.0) makes the setups of another version than the
# savers' own (the tests of upgrades and downgrades use it).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VORN_BUILD_DIR:-$root/build}"
build_first=1
[ "${1:-}" = --no-build ] && build_first=0 && shift
version=${VORN_VERSION:-$(sed -n 's/^#define VORN_VERSION_TEXT "\([0-9.]*\)"$/\1/p' "$root/resources/version.h")}
release=$(cut -d. -f1,2 <<<"$version")
[ -n "$release" ] || { echo "package: no VORN_VERSION_TEXT in resources/version.h" >&2; exit 1; }
# Windows Installer compares the first three fields of a version and ignores
# the fourth; the setups compare all four. So the fourth stays 0, and a
# release that changes anything raises the third: then the MSIs and the
# setups agree on which Vorn is newer.
[[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+\.0$ ]] || {
    echo "package: version $version: a release's version is a.b.c.0 (raise the third field for a new release)" >&2
    exit 1
}
out="$(realpath -m "${1:-$build}")"
zipfile="$out/vorn-$release-windows.zip"

# The uninstallers of older NSIS run from a temporary folder that other
# users can write to: 3.09 fixed it, and Debian patched its 3.08.
nsis=$(makensis -VERSION 2>/dev/null | sed 's/^v//') || nsis=""
if ! printf '3.09\n%s\n' "${nsis%%-*}" | sort -V -C; then
    patched=$(dpkg-query -W -f='${Version}' nsis 2>/dev/null) || patched=""
    if ! { [ "${nsis%%-*}" = 3.08 ] && dpkg --compare-versions "$patched" ge 3.08-3+deb12u1; }; then
        echo "package: makensis ${nsis:-(none)} is older than 3.09 and not Debian's patched 3.08" \
            "(3.08-3+deb12u1): its uninstallers run from a temporary folder that other users" \
            "can write to" >&2
        exit 1
    fi
fi

if [ $build_first -eq 1 ]; then
    VORN_BUILD_DIR="$build" "$root/scripts/setup.sh"
    VORN_BUILD_DIR="$build" "$root/scripts/build.sh" >/dev/null
fi
for saver in "$build/Vorn.scr" "$build/x64/Vorn.scr"; do
    [ -f "$saver" ] || { echo "package: $saver is missing (build it first)" >&2; exit 1; }
done

stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/x64"
cp "$build/Vorn.scr" "$stage/Vorn.scr"
cp "$build/x64/Vorn.scr" "$stage/x64/Vorn.scr"
crlf() { sed 's/$/\r/' >"$stage/$1"; }

# The texts, with Windows line ends; the install text names the release and
# says whether it is signed.
if [ -n "${VORN_SIGN:-}" ]; then
    signing='The setups and the savers are signed: Windows names the publisher
when it asks for administrator permission.'
else
    signing='The setups and the savers are not signed, so Windows may warn before
the first run ("Windows protected your PC"): "More info" shows the file'"'"'s
name, and "Run anyway" starts it.'
fi
release="$release" signing="$signing" awk \
    '{ gsub(/@RELEASE@/, ENVIRON["release"]) } $0 == "@SIGNING@" { $0 = ENVIRON["signing"] } 1' \
    "$root/packaging/INSTALL.txt" | crlf INSTALL.txt
crlf LICENSE.txt <"$root/LICENSE"

# The savers are signed before their sums are taken.
if [ -n "${VORN_SIGN:-}" ]; then
    for saver in "$stage/Vorn.scr" "$stage/x64/Vorn.scr"; do
        $VORN_SIGN "$saver" >&2 || { echo "package: VORN_SIGN failed for $saver" >&2; exit 1; }
    done
else
    echo "package: VORN_SIGN is not set: this release is not signed" >&2
fi
(cd "$stage" && sha256sum Vorn.scr x64/Vorn.scr) | crlf SHA256SUMS.txt

files=(INSTALL.txt LICENSE.txt SHA256SUMS.txt Vorn.scr x64/Vorn.scr)
# DOS times in the zip are local times: date them in UTC on every machine.
export TZ=UTC
stamp="${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 1767225600)}"
(cd "$stage" && chmod 644 "${files[@]}" && touch -d "@$stamp" "${files[@]}")
mkdir -p "$out"
rm -f "$zipfile"
(cd "$stage" && zip -q -X -D -9 "$zipfile" "${files[@]}")
echo "$zipfile"

# The setups store the staged files' dates (set above) and nothing else that
# varies; -WX makes any warning an error.
for arch in x86 x64; do
    setup="$out/vorn-$release-setup-$arch.exe"
    rm -f "$setup"
    makensis -V1 -WX -NOCD "-DARCH=$arch" "-DVERSION=$version" "-DRELEASE=$release" \
        "-DSTAGE=$stage" "-DICON=$root/resources/vorn.ico" "-DOUTFILE=$setup" \
        ${VORN_SIGN:+"-DSIGN=$VORN_SIGN"} \
        "$root/packaging/vorn.nsi" >&2 || { echo "package: makensis failed for $arch" >&2; exit 1; }
    echo "$setup"
done

# The MSI packages for deployment tools, from the same staged files.
for arch in x86 x64; do
    msi="$out/vorn-$release-$arch.msi"
    "$root/packaging/make-msi.sh" "$arch" "$version" "$stage" "$stamp" "$msi" ||
        { echo "package: the $arch MSI failed" >&2; exit 1; }
    echo "$msi"
done
