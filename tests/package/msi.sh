#!/bin/bash
# The MSI packages that scripts/package.sh makes from this build's savers,
# read without Windows (msitools): each one's architecture, name, version,
# maker, codes, the rules that make it upgrade, refuse or give way, the
# places its files go and that it writes no registry value and runs no
# program of its own; the saver inside is the built one and the texts are
# the zip's. VORN_SIGN signs each one last. Made again in another time
# zone, both are byte-identical.
# Usage: msi.sh <32-bit build-dir>   (the 64-bit build is its x64/ folder)
source "$(dirname "${BASH_SOURCE[0]}")/support.bash" "$1"
release JST-9 "$work/a"
unzip -q "$work/a/vorn-2.1-windows.zip" INSTALL.txt LICENSE.txt -d "$work/zip" || fail "unzip failed"
upgrade='{39F6C559-A6BA-4FEF-A8D5-A228C82C11A0}'
table() { msiinfo export "$1" "$2" | tail -n +4 | tr -d '\r' | LC_ALL=C sort; }

# arch | template | product code | component attributes (256: 64-bit) |
# program folder | the built saver | the Windows it refuses
while IFS='|' read -r arch template product bits programs saver refuses; do
    msi="$work/a/vorn-2.1-$arch.msi"
    [ -f "$msi" ] || fail "no $arch MSI"
    summary=$(msiinfo suminfo "$msi") || fail "$arch MSI: msiinfo cannot read it"
    for line in "Template: $template" "Subject: Vorn 2.1" "Author: Kervolan" \
        "Created: Thu Jan  1 00:00:00 2026"; do
        grep -Fxq "$line" <<<"$summary" || fail "$arch MSI: no \"$line\" in its summary"
    done
    properties=$(table "$msi" Property)
    for line in "ProductName	Vorn" "ProductVersion	2.1.0" "Manufacturer	Kervolan" \
        "ProductCode	$product" "UpgradeCode	$upgrade" "ALLUSERS	1" "ARPPRODUCTICON	vorn.ico"; do
        grep -Fxq "$line" <<<"$properties" || fail "$arch MSI: no property \"$line\""
    done
    # Later versions of either architecture are upgraded from; the same
    # version of the other architecture is replaced; later ones refuse it.
    [ "$(table "$msi" Upgrade)" = "$(LC_ALL=C sort <<EOF
$upgrade	2.1.0			256		VORNSAMEVERSION
$upgrade		2.1.0		1		WIX_UPGRADE_DETECTED
$upgrade	2.1.0			2		WIX_DOWNGRADE_DETECTED
EOF
    )" ] || fail "$arch MSI: its Upgrade table holds"$'\n'"$(table "$msi" Upgrade)"
    conditions=$(table "$msi" LaunchCondition | cut -f1 | tr '\n' '/')
    [ "$conditions" = "Installed OR NOT (VORNSETUP OR VORNSETUP32)/$refuses/NOT WIX_DOWNGRADE_DETECTED/" ] ||
        fail "$arch MSI: launch conditions $conditions"
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
    echo "ok: $arch MSI: $template, Vorn 2.1.0 by Kervolan, $product, upgrades, refusals, places, the built saver"
done <<EOF
x64|x64;1033|{0CC490FA-7040-5857-8658-87CDFB5872D1}|256|ProgramFiles64Folder|$build/x64/Vorn.scr|Installed OR VersionNT64 >= 600
x86|Intel;1033|{387AA6AB-78DD-585F-82B4-529A3DC2BE7F}|0|ProgramFilesFolder|$build/Vorn.scr|Installed OR VersionNT > 501 OR (VersionNT = 501 AND ServicePackLevel >= 3)
EOF

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
