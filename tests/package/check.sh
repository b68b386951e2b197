#!/bin/bash
# The release that scripts/package.sh makes from this build's savers. The
# zip: exactly the expected entries, the savers byte for byte the built ones,
# the sums file as sha256sum writes it (with Windows line ends, as every
# text), every entry with the fixed date and permissions whatever the local
# time zone, and the install text says the release is unsigned. Each setup, read without running it: a Windows GUI program of its
# architecture that an old enough Windows starts, its version resource and the
# saver's icon, and inside it the built saver and the zip's texts. Made again
# in another time zone, all three files are byte-identical. An NSIS with the
# uninstaller's temporary-folder flaw is refused.
# Usage: check.sh <32-bit build-dir>   (the 64-bit build is its x64/ folder)
source "$(dirname "${BASH_SOURCE[0]}")/support.bash" "$1"
release JST-9 "$work/a"
zip="$work/a/vorn-2.1-windows.zip"

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
{ grep -q "^The setups and the savers are not signed, so Windows may warn before"$'\r'"$" "$work/files/INSTALL.txt" &&
    ! grep -q '@' "$work/files/INSTALL.txt"; } || fail "INSTALL.txt does not say the release is unsigned"
echo "ok: $(wc -w <<<"$entries") entries, the built savers, their sums, CRLF texts, fixed dates, unsigned"

# arch | CPU as 7-Zip names it | newest subsystem version allowed (XP is 5.1,
# Vista 6.0) | the built saver | where the setup puts it
while IFS='|' read -r arch cpu newest saver placed; do
    setup="$work/a/vorn-2.1-setup-$arch.exe"
    [ -f "$setup" ] || fail "no $arch setup"
    pe=$(7z l -slt -tPE "$setup" 2>/dev/null)
    grep -qx "CPU = $cpu" <<<"$pe" || fail "$arch setup: not an $cpu program"
    grep -qx "Subsystem = Windows GUI" <<<"$pe" || fail "$arch setup: not a GUI program"
    subsystem=$(sed -n 's/^Subsystem Version = //p' <<<"$pe")
    awk -v s="$subsystem" -v n="$newest" 'BEGIN { exit !(s + 0 <= n + 0) }' ||
        fail "$arch setup: subsystem version $subsystem, newer than $newest"

    version=$(7z e -so -tPE "$setup" .rsrc/version.txt 2>/dev/null | iconv -f UTF-16LE -t UTF-8 |
        tr -d '\r' | tr -s ' ' | sed 's/^ //')
    for line in 'FILEVERSION 2,1,0,0' 'PRODUCTVERSION 2,1,0,0' 'FILETYPE VFT_APP' \
        'VALUE "CompanyName", "Kervolan"' 'VALUE "FileDescription", "Vorn setup"' \
        'VALUE "FileVersion", "2.1.0.0"' 'VALUE "ProductName", "Vorn"' \
        'VALUE "ProductVersion", "2.1.0.0"' 'VALUE "Translation", 0x409, 1200'; do
        grep -Fxq "$line" <<<"$version" || fail "$arch setup: no $line in its version resource"
    done
    # The icon's image as in resources/vorn.ico (past the directory, whose
    # planes and bit count 7-Zip does not carry over).
    7z e -so -tPE "$setup" .rsrc/ICON/1.ico 2>/dev/null | tail -c +23 |
        cmp -s - <(tail -c +23 "$root/resources/vorn.ico") || fail "$arch setup: not the saver's icon"

    7z x -y -o"$work/$arch" "$setup" >/dev/null || fail "$arch setup: 7z cannot read it"
    cmp "$work/$arch/$placed/Vorn.scr" "$saver" || fail "$arch setup: its saver is not the built one"
    for text in INSTALL.txt LICENSE.txt; do
        cmp "$work/$arch/$text" "$work/files/$text" || fail "$arch setup: $text differs from the zip's"
    done
    echo "ok: $arch setup: $cpu GUI program (subsystem $subsystem), version, icon, saver, texts"
done <<EOF
x86|x86|5.1|$build/Vorn.scr|\$WINDIR
x64|x64|6.0|$build/x64/Vorn.scr|\$WINDIR
EOF

release UTC "$work/b"
for file in vorn-2.1-windows.zip vorn-2.1-setup-x86.exe vorn-2.1-setup-x64.exe; do
    cmp "$work/a/$file" "$work/b/$file" || fail "$file differs when made again"
done
echo "ok: made again, the zip and both setups are byte-identical"

# An NSIS whose uninstallers run from a temporary folder that others can
# write to: before 3.09, unless Debian's patched 3.08.
mkdir "$work/bin"
for nsis in v3.08 v3.04; do
    printf '#!/bin/sh\necho %s\n' "$nsis" >"$work/bin/makensis"
    printf '#!/bin/sh\necho 3.08-3\n' >"$work/bin/dpkg-query"
    chmod +x "$work/bin/makensis" "$work/bin/dpkg-query"
    PATH="$work/bin:$PATH" VORN_BUILD_DIR="$build" "$root/scripts/package.sh" --no-build "$work/c" \
        >/dev/null 2>"$work/refused" && fail "package.sh took makensis $nsis"
    grep -q "older than 3.09" "$work/refused" || fail "package.sh refused makensis $nsis without saying why"
done
echo "ok: package.sh refuses NSIS 3.08 without Debian's fix, and 3.04"
