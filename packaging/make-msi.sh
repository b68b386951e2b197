#!/bin/bash
# Builds Vorn's MSI package for one architecture from packaging/vorn.wxs:
#   packaging/make-msi.sh x86|x64 VERSION STAGE STAMP OUTFILE
# VERSION is the saver's four-field version (2.1.0.0; package.sh refuses a
# fourth field other than 0); STAGE holds Vorn.scr, x64/Vorn.scr, INSTALL.txt
# and LICENSE.txt as the release ships them; STAMP is the release's time
# (seconds since 1970). Signed by $VORN_SIGN when it is set; otherwise the
# same input always gives the same bytes: wixl writes the current time and a
# random package code, so it runs at STAMP under libfaketime, the product
# and component codes are derived from the upgrade code, the version and the
# architecture, and the package code from the package's own content.
set -euo pipefail
[ $# -eq 5 ] || { echo "usage: make-msi.sh x86|x64 VERSION STAGE STAMP OUTFILE" >&2; exit 2; }
arch=$1 version=$2 stage=$3 stamp=$4 outfile=$5
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
fail() {
    echo "make-msi: $*" >&2
    exit 1
}
case "$arch" in
x64) wixl_arch=x64 template="x64;1033" saver="$stage/x64/Vorn.scr" ;;
x86) wixl_arch=x86 template="Intel;1033" saver="$stage/Vorn.scr" ;;
*) fail "the architecture is x86 or x64, not $arch" ;;
esac
for tool in wixl msibuild msiinfo faketime 7z python3; do
    command -v $tool >/dev/null || fail "$tool is missing (scripts/setup.sh installs it)"
done
# Windows Installer compares three fields; the release is the first two.
product_version=$(cut -d. -f1-3 <<<"$version")
release=$(cut -d. -f1-2 <<<"$version")
upgrade_code=$(sed -n 's/.*define UpgradeCode = "\({[0-9A-F-]*}\)".*/\1/p' "$here/upgrade-code.wxi")
[ -n "$upgrade_code" ] || fail "no upgrade code in $here/upgrade-code.wxi"

# code WHAT: a name-based GUID under the upgrade code. The product code
# changes with each version and architecture; a component's stays with its
# architecture, as Windows Installer's component rules want; the package
# code changes with any byte of the package.
code() {
    python3 -c 'import sys, uuid; print("{%s}" % str(uuid.uuid5(uuid.UUID(sys.argv[1]), sys.argv[2])).upper())' \
        "$upgrade_code" "$1"
}
# The File table's version of the saver, from its own version resource
# (FILEVERSION 2,1,0,0): Windows Installer then replaces it by version.
file_version=$(7z e -so -tPE "$saver" .rsrc/version.txt 2>/dev/null | iconv -f UTF-16LE -t UTF-8 |
    sed -n 's/^FILEVERSION *\([0-9]*\),\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1.\2.\3.\4/p')
[ -n "$file_version" ] || fail "$saver has no version resource"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
msi="$work/vorn.msi"
export TZ=UTC # the cabinet keeps DOS (local) times
at() { faketime -f "$(date -u -d "@$stamp" '+%Y-%m-%d %H:%M:%S')" "$@"; }
# wixl finds sources only by paths relative to where it runs.
mkdir "$work/files"
ln -s "$(realpath "$saver")" "$work/files/Vorn.scr"
ln -s "$(realpath "$stage")/INSTALL.txt" "$(realpath "$stage")/LICENSE.txt" "$here/../resources/vorn.ico" "$work/files/"
(cd "$work/files" && at wixl -a "$wixl_arch" -o "$msi" \
    -D "Arch=$arch" -D "Version=$product_version" -D "Release=$release" -D "ProductCode=$(code "product $product_version $arch")" \
    -D "SaverGuid=$(code "component Saver $arch")" -D "TextsGuid=$(code "component Texts $arch")" \
    "$here/vorn.wxs" 2>"$work/wixl.log") || { cat "$work/wixl.log" >&2; fail "wixl failed for $arch"; }
# wixl has no file versions, no component search and no secure properties.
# The x86 package's VORNX64 (vorn.wxs) is set while the x64 saver component
# is installed; its ALLOWX86ON64 reaches the installation's server side also
# when Windows Installer passes it only restricted public properties.
tables=("UPDATE \`File\` SET \`Version\` = '$file_version', \`Language\` = '1033' WHERE \`File\` = 'Saver'")
secure=$(msiinfo export "$msi" Property | tr -d '\r' | sed -n 's/^SecureCustomProperties\t//p')
[ "$arch" = x86 ] && tables+=(
    "UPDATE \`Property\` SET \`Value\` = '$secure;ALLOWX86ON64' WHERE \`Property\` = 'SecureCustomProperties'"
    "CREATE TABLE \`CompLocator\` (\`Signature_\` CHAR(72) NOT NULL, \`ComponentId\` CHAR(38) NOT NULL, \`Type\` SHORT PRIMARY KEY \`Signature_\`)"
    "INSERT INTO \`CompLocator\` (\`Signature_\`, \`ComponentId\`, \`Type\`) VALUES ('VornX64Saver', '$(code "component Saver x64")', 1)"
    "INSERT INTO \`AppSearch\` (\`Property\`, \`Signature_\`) VALUES ('VORNX64', 'VornX64Saver')")
for query in "${tables[@]}"; do
    at msibuild "$msi" -q "$query" || fail "msibuild failed for $arch: $query"
done
# wixl ignores a package code of the source. Two packages that differ in
# anything need different package codes, so the code is derived from the
# package itself, made first with a stand-in code.
summary() { at msibuild "$msi" -s "Vorn $release" Kervolan "$template" "$1" || fail "msibuild failed for $arch"; }
summary "$(code "package $product_version $arch")"
summary "$(code "package $(sha256sum "$msi" | cut -c1-64)")"
if [ -n "${VORN_SIGN:-}" ]; then
    $VORN_SIGN "$msi" || fail "signing $outfile failed ($VORN_SIGN)"
fi
mkdir -p "$(dirname "$outfile")"
mv -f "$msi" "$outfile"
