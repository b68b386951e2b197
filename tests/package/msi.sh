#!/bin/bash
# The MSI packages that scripts/package.sh makes from this build's savers,
# read without Windows (msitools): each one's architecture, name, version,
# maker, codes, the rules that make it upgrade, refuse or give way (the x86
# one on 64-bit Windows and over any x64 Vorn), the old product's removal
# before anything is installed, the places its files go and that it writes
# no registry value and runs no program of its own; the saver inside is the
# built one and the texts are the zip's. VORN_SIGN signs each one last. Made
# again in another time zone, both are byte-identical; with one text
# changed, the package code changes. A fourth version field is refused.
# Usage: msi.sh <32-bit build-dir>   (the 64-bit build is its x64/ folder)
source "$(dirname "${BASH_SOURCE[0]}")/support.bash" "$1"
release JST-9 "$work/a"
unzip -q "$work/a/vorn-2.1-windows.zip" INSTALL.txt LICENSE.txt -d "$work/zip" || fail "unzip failed"
upgrade='{39F6C559-A6BA-4FEF-A8D5-A228C82C11A0}'
table() { msiinfo export "$1" "$2" | tail -n +4 | tr -d '\r' | LC_ALL=C sort; }

# arch | template | product code | component attributes (256: 64-bit) |
# program folder | the built saver | its own launch conditions | the
# property of its row for the same version
packages=()
while IFS='|' read -r arch template product bits programs saver refuses same; do
    msi="$work/a/vorn-2.1-$arch.msi"
    [ -f "$msi" ] || fail "no $arch MSI"
    summary=$(msiinfo suminfo "$msi") || fail "$arch MSI: msiinfo cannot read it"
    for line in "Template: $template" "Subject: Vorn 2.1" "Author: Kervolan" \
        "Created: Thu Jan  1 00:00:00 2026"; do
        grep -Fxq "$line" <<<"$summary" || fail "$arch MSI: no \"$line\" in its summary"
    done
    properties=$(table "$msi" Property)
    secure="WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED;${same:-ALLOWX86ON64}"
    for line in "ProductName	Vorn" "ProductVersion	2.1.0" "Manufacturer	Kervolan" \
        "ProductCode	$product" "UpgradeCode	$upgrade" "ALLUSERS	1" "ARPPRODUCTICON	vorn.ico" \
        "SecureCustomProperties	$secure"; do
        grep -Fxq "$line" <<<"$properties" || fail "$arch MSI: no property \"$line\""
    done
    # Earlier versions of either architecture are upgraded from, later ones
    # refuse it; the x64 package also replaces the x86 one of its version.
    [ "$(table "$msi" Upgrade)" = "$(LC_ALL=C sort <<EOF
${same:+$upgrade	2.1.0			256		$same
}$upgrade		2.1.0		1		WIX_UPGRADE_DETECTED
$upgrade	2.1.0			2		WIX_DOWNGRADE_DETECTED
EOF
    )" ] || fail "$arch MSI: its Upgrade table holds"$'\n'"$(table "$msi" Upgrade)"
    conditions=$(table "$msi" LaunchCondition | cut -f1 | tr '\n' '/')
    [ "$conditions" = "Installed OR NOT (VORNSETUP OR VORNSETUP32)/$refuses/NOT WIX_DOWNGRADE_DETECTED/" ] ||
        fail "$arch MSI: launch conditions $conditions"
    # The old product goes before anything is installed: both architectures
    # put their saver at one path under different component codes.
    order=" $(table "$msi" InstallExecuteSequence | sort -t $'\t' -k3,3n | cut -f1 | tr '\n' ' ')"
    [[ "$order" == *" InstallValidate RemoveExistingProducts InstallInitialize "* ]] ||
        fail "$arch MSI: InstallExecuteSequence is$order"
    # The setup's entry, looked for in the 64-bit view (type 18) and, by the
    # 32-bit package, in the 32-bit one too (type 2).
    locators=$(table "$msi" RegLocator | tr '\n' '/')
    expected="VornSetupNative	2	Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vorn	DisplayName	18/"
    [ "$arch" = x86 ] &&
        expected="VornSetup32	2	Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vorn	DisplayName	2/$expected"
    [ "$locators" = "$expected" ] || fail "$arch MSI: registry searches $locators"
    [ "$(table "$msi" Component | cut -f1,3,4 | tr '\n' '/')" = "Saver	WindowsFolder	$bits/Texts	INSTALLDIR	$bits/" ] ||
        fail "$arch MSI: components $(table "$msi" Component)"
    grep -Fxq "INSTALLDIR	$programs	Vorn" <(table "$msi" Directory) || fail "$arch MSI: Vorn's folder is not in $programs"
    for empty in Registry CustomAction; do
        [ -z "$(table "$msi" $empty)" ] || fail "$arch MSI: its $empty table holds $(table "$msi" $empty)"
    done
    grep -q "	Vorn.scr	[0-9]*	2.1.0.0	1033	" <(table "$msi" File) || fail "$arch MSI: the saver has no version"

    msiextract -C "$work/$arch" "$msi" >/dev/null || fail "$arch MSI: msiextract failed"
    cmp "$work/$arch/Vorn.scr" "$saver" || fail "$arch MSI: its saver is not the built one"
    for text in INSTALL.txt LICENSE.txt; do
        cmp "$(find "$work/$arch" -name "$text")" "$work/zip/$text" || fail "$arch MSI: $text differs from the zip's"
    done
    packages+=("$(sed -n 's/^Revision number (UUID): //p' <<<"$summary")")
    echo "ok: $arch MSI: $template, Vorn 2.1.0 by Kervolan, $product, upgrades, refusals, sequence, places, the built saver"
done <<EOF
x64|x64;1033|{0CC490FA-7040-5857-8658-87CDFB5872D1}|256|ProgramFiles64Folder|$build/x64/Vorn.scr|Installed OR VersionNT64 >= 600|VORNSAMEVERSION
x86|Intel;1033|{387AA6AB-78DD-585F-82B4-529A3DC2BE7F}|0|ProgramFilesFolder|$build/Vorn.scr|Installed OR NOT VORNX64/Installed OR NOT VersionNT64 OR ALLOWX86ON64 = 1/Installed OR VersionNT > 501 OR (VersionNT = 501 AND ServicePackLevel >= 3)|
EOF

# The x86 package's VORNX64 finds the x64 package's saver component.
x64_saver='{B2B1D8EC-CAE5-5811-8ECC-E89C043E6B26}'
{ [ "$(table "$work/a/vorn-2.1-x86.msi" CompLocator)" = "VornX64Saver	$x64_saver	1" ] &&
    grep -Fxq "VORNX64	VornX64Saver" <(table "$work/a/vorn-2.1-x86.msi" AppSearch) &&
    [ "$(table "$work/a/vorn-2.1-x64.msi" Component | awk '$1 == "Saver" { print $2 }')" = "$x64_saver" ]; } ||
    fail "the x86 MSI does not look for the x64 saver component $x64_saver"
guid='^\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\}$'
{ [[ "${packages[0]}" =~ $guid ]] && [[ "${packages[1]}" =~ $guid ]] && [ "${packages[0]}" != "${packages[1]}" ]; } ||
    fail "package codes ${packages[*]}"
echo "ok: the x86 MSI looks for the x64 saver; package codes ${packages[*]}"

# The guide gives administrators the product codes to detect.
for code in '{0CC490FA-7040-5857-8658-87CDFB5872D1}' '{387AA6AB-78DD-585F-82B4-529A3DC2BE7F}' "$upgrade"; do
    grep -Fq "\`$code\`" "$root/docs/deployment.md" || fail "docs/deployment.md does not name $code"
done

# Signed: the signing command gets the finished package, and its failure
# fails the release.
TZ=UTC unzip -q "$work/a/vorn-2.1-windows.zip" -d "$work/stage" || fail "unzip failed"
# shellcheck disable=SC2016 # $1 belongs to the script written here, not to this one
printf '#!/bin/sh\nprintf signed >>"$1"\n' >"$work/sign" && chmod +x "$work/sign"
VORN_SIGN="$work/sign" "$root/packaging/make-msi.sh" x64 2.1.0.0 "$work/stage" 1767225600 "$work/signed.msi" ||
    fail "make-msi.sh with a signing command failed"
cat "$work/a/vorn-2.1-x64.msi" <(printf signed) | cmp - "$work/signed.msi" || fail "the signed MSI is not the package signed"
VORN_SIGN=false "$root/packaging/make-msi.sh" x64 2.1.0.0 "$work/stage" 1767225600 "$work/failed.msi" 2>/dev/null &&
    fail "a failed signing did not fail"
[ ! -e "$work/failed.msi" ] || fail "a failed signing left a package"
echo "ok: VORN_SIGN signs the finished package, and its failure fails"

release UTC "$work/b"
for file in vorn-2.1-x86.msi vorn-2.1-x64.msi; do
    cmp "$work/a/$file" "$work/b/$file" || fail "$file differs when made again"
done
echo "ok: made again, both MSIs are byte-identical"

# One text changed: another package of the same product.
echo "respun" >>"$work/stage/INSTALL.txt"
"$root/packaging/make-msi.sh" x64 2.1.0.0 "$work/stage" 1767225600 "$work/respin.msi" || fail "make-msi.sh failed"
respin=$(msiinfo suminfo "$work/respin.msi" | sed -n 's/^Revision number (UUID): //p')
{ [[ "$respin" =~ $guid ]] && [ "$respin" != "${packages[0]}" ] &&
    grep -Fxq "ProductCode	{0CC490FA-7040-5857-8658-87CDFB5872D1}" <(table "$work/respin.msi" Property); } ||
    fail "with INSTALL.txt changed, the package code is $respin (was ${packages[0]})"
echo "ok: with one text changed, the package code changes to $respin"

# Windows Installer ignores a fourth version field, which the setups compare.
VORN_VERSION=2.1.0.1 VORN_BUILD_DIR="$build" "$root/scripts/package.sh" --no-build "$work/c" >/dev/null 2>"$work/refused" &&
    fail "package.sh made a release of version 2.1.0.1"
{ grep -q "a\.b\.c\.0" "$work/refused" && [ ! -e "$work/c" ]; } || fail "package.sh refused 2.1.0.1: $(cat "$work/refused")"
echo "ok: package.sh refuses version 2.1.0.1"
