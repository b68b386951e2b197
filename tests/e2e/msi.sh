#!/bin/bash
# This build's MSI package under Wine's msiexec in a fresh prefix, silent
# (/qn) as deployment tools run it: too old a Windows is refused; it installs
# the built saver and one entry, and the saver runs; a later version
# upgrades it in one step and an earlier one is refused; /x removes it; and
# an MSI and the setup program each refuse to install over the other. Each
# msiexec leaves HKCU byte-identical: on Windows a deployment tool runs it as
# SYSTEM, whose HKCU is no user's, where Wine has only the one account. The
# 64-bit suite's prefix is 64-bit Windows: there the x86 package refuses
# unless ALLOWX86ON64=1, the x64 one replaces it, and never the reverse.
source "$(dirname "${BASH_SOURCE[0]}")/support/saver.bash" "$1"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
arch="${VORN_ARCH:-x86}" top="$build" built="$saver"
[ "$arch" = x64 ] && top="$(cd "$build/.." && pwd)"
release="$work/release"
VORN_BUILD_DIR="$top" "$root/scripts/package.sh" --no-build "$release" >/dev/null || fail "package.sh failed"
unzip -q "$release/vorn-2.1-windows.zip" -d "$work/stage" || fail "unzip failed"
for version in 2.2.0.0 2.0.0.0; do
    "$root/packaging/make-msi.sh" "$arch" $version "$work/stage" 1767225600 "$release/vorn-$version-$arch.msi" ||
        fail "make-msi.sh failed for $version"
done

fresh_prefix msi-prefix
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
windows_path() { echo "Z:${1//\//\\}"; }

# code_of PROGRAM ARGS...: its whole exit code (a Unix exit status keeps only
# the low byte, so 1603 would read 67).
code_of() {
    timeout 180 wine cmd /v:on /c "start /wait $* & echo code !errorlevel!" 2>/dev/null |
        tr -d '\r' | sed -n 's/^code //p'
}
# entries: "key version" for each uninstall entry named Vorn, in every view.
entries() {
    local views=("") && [ "$arch" = x64 ] && views=(/reg:64 /reg:32)
    for view in "${views[@]}"; do timeout 60 wine reg query "$uninstall_key" /s ${view:+"$view"} 2>/dev/null; done |
        tr -d '\r' | awk '/^HKEY/ { key = $0 } /^    DisplayName    REG_SZ    Vorn$/ { vorn[key] = 1 }
            /^    DisplayVersion    / { version[key] = $NF }
            END { for (k in vorn) print k, version[k] }' | sort
}
# state: every file where a package puts Vorn, and the entries.
state() {
    (cd "$drive" && find windows/Vorn.scr windows/system32/Vorn.scr "Program Files/Vorn" \
        "Program Files (x86)/Vorn" -type f -exec sha256sum {} + 2>/dev/null | sort)
    entries
}
export_hkcu() { timeout 60 wine reg export HKCU "$(windows_path "$1")" /y >/dev/null 2>&1; }
# run CODE WHAT PROGRAM ARGS...: runs it, which must end with CODE and leave
# HKCU as it was.
run() {
    local code expected=$1 what=$2
    shift 2
    export_hkcu "$work/hkcu-before.reg"
    code=$(code_of "$@")
    [ "$code" = "$expected" ] || fail "$what: exit code $code, expected $expected"
    export_hkcu "$work/hkcu-after.reg"
    cmp -s "$work/hkcu-before.reg" "$work/hkcu-after.reg" ||
        fail "$what changed HKCU:"$'\n'"$(diff "$work/hkcu-before.reg" "$work/hkcu-after.reg" | iconv -f UTF-16LE -t UTF-8)"
    echo "ok: $what (exit $code)"
}
msi() { windows_path "$release/vorn-$1-${2:-$arch}.msi"; }
# refused CODE WHAT PROGRAM ARGS...: as run, and nothing else changes either.
refused() {
    local before
    before=$(state)
    run "$@"
    [ "$(state)" = "$before" ] || fail "$2 changed:"$'\n'"$(diff <(echo "$before") <(state))"
}
# installed VERSION SAVER: the saver at C:\windows\Vorn.scr, the texts, and
# one entry of this version.
installed() {
    local found folder="$drive/Program Files/Vorn"
    [ "$arch" = x86 ] && [ -d "$drive/Program Files (x86)" ] && folder="$drive/Program Files (x86)/Vorn"
    cmp "$drive/windows/Vorn.scr" "$2" || fail "C:\\windows\\Vorn.scr is not the built saver"
    # shellcheck disable=SC2012 # compared with known plain names: a space or odd byte fails anyway
    [ "$(ls "$folder" | tr '\n' ' ')" = "INSTALL.txt LICENSE.txt " ] || fail "the program folder holds: $(ls "$folder")"
    { cmp "$folder/INSTALL.txt" "$work/stage/INSTALL.txt" && cmp "$folder/LICENSE.txt" "$work/stage/LICENSE.txt"; } ||
        fail "the texts differ from the zip's"
    found=$(entries)
    { [ "$(wc -l <<<"$found")" -eq 1 ] && [ "${found##* }" = "$1" ]; } || fail "the entries named Vorn: $found"
}
nothing_installed() { [ -z "$(state)" ] || fail "left behind:"$'\n'"$(state)"; }

# Too old a Windows: Vista for the x64 package, XP SP3 for the x86 one.
old_windows='HKCU\Software\Wine\AppDefaults\msiexec.exe'
timeout 60 wine reg add "$old_windows" /v Version /d "$([ "$arch" = x64 ] && echo winxp64 || echo win2k)" >/dev/null 2>&1
refused 1603 "$arch MSI on too old a Windows" msiexec /i "$(msi 2.1)" /qn
timeout 60 wine reg delete "$old_windows" /f >/dev/null 2>&1
nothing_installed

timeout 60 wine reg add "$settings_key" /v Speed /t REG_DWORD /d 42 /f >/dev/null 2>&1
run 0 "$arch MSI installed" msiexec /i "$(msi 2.1)" /qn
installed 2.1.0 "$built"
icon=$(timeout 60 wine reg query 'HKLM\Software\Classes\Installer\Products' /s 2>/dev/null | tr -d '\r' |
    sed -n 's/^    ProductIcon    REG_SZ    //p')
[[ "$icon" == *'\vorn.ico' ]] || fail "the entry's icon: $icon"
echo "ok: the saver, the texts, one entry 2.1.0 with Vorn's icon"

saver="$drive/windows/Vorn.scr"
installed_saver_runs

run 0 "2.2.0 upgraded 2.1.0" msiexec /i "$(msi 2.2.0.0)" /qn
installed 2.2.0 "$built"
refused 1603 "2.0.0 refused over 2.2.0" msiexec /i "$(msi 2.0.0.0)" /qn
refused 1603 "2.1.0 refused over 2.2.0" msiexec /i "$(msi 2.1)" /qn
run 0 "/x removed it" msiexec /x "$(msi 2.2.0.0)" /qn
nothing_installed
[ "$(timeout 60 wine reg query "$settings_key" /v Speed 2>/dev/null | tr -d '\r' | awk '/Speed/ { print $3 }')" = 0x2a ] ||
    fail "the settings were not kept"
echo "ok: the upgrade, the refusals and the removal kept the settings"

# Both packages put the saver at one path, which one product owns: on 64-bit
# Windows the x64 one. Both assigned to one PC, neither removes the other's
# product when it runs again, so they cannot take turns.
if [ "$arch" = x64 ]; then
    # exit code | what | package | its argument | the one product and saver after it
    while IFS="|" read -r -u 3 code what package argument product saver; do
        step=refused && [ "$code" = 0 ] && step=run
        $step "$code" "$what" msiexec /i "$(msi 2.1 "$package")" /qn ${argument:+"$argument"}
        found=$(entries)
        if [ -z "$product" ]; then
            nothing_installed
        else
            { [ "$(wc -l <<<"$found")" -eq 1 ] && [[ "$found" == *"\\$product 2.1.0" ]]; } ||
                fail "after \"$what\", the entries named Vorn: $found"
            cmp "$drive/windows/Vorn.scr" "$saver" || fail "after \"$what\", the saver is not the $package one"
        fi
    done 3<<EOF
1603|x86 MSI refused on 64-bit Windows|x86|||
0|x86 MSI installed with ALLOWX86ON64=1|x86|ALLOWX86ON64=1|{387AA6AB-78DD-585F-82B4-529A3DC2BE7F}|$top/Vorn.scr
0|x64 MSI replaced the x86 one|x64||{0CC490FA-7040-5857-8658-87CDFB5872D1}|$built
1603|x86 MSI refused over the x64 one, with ALLOWX86ON64=1 too|x86|ALLOWX86ON64=1|{0CC490FA-7040-5857-8658-87CDFB5872D1}|$built
0|x64 MSI run again|x64||{0CC490FA-7040-5857-8658-87CDFB5872D1}|$built
EOF
    run 0 "/x removed it" msiexec /x "$(msi 2.1)" /qn
    nothing_installed
fi

# One Vorn: an MSI and the setup each refuse while the other is installed.
setup="$(windows_path "$release/vorn-2.1-setup-$arch.exe")"
run 0 "the $arch setup installed" "$setup" /S
refused 1603 "the MSI refused over the setup's Vorn" msiexec /i "$(msi 2.1)" /qn
no_setup_entry() { ! timeout 60 wine reg query "$uninstall_key\\Vorn" >/dev/null 2>&1; }
timeout 60 wine "C:\\Program Files\\Vorn\\uninstall.exe" /S >/dev/null 2>&1
vorn_await 90 no_setup_entry || fail "the setup's uninstaller left its entry"
nothing_installed
run 0 "$arch MSI installed" msiexec /i "$(msi 2.1)" /qn
refused 1638 "the setup refused over the MSI's Vorn" "$setup" /S
installed 2.1.0 "$built"
