#!/bin/bash
# This build's setup in a fresh prefix: installs silently (opening nothing),
# the installed saver runs, installs again over it, then through its pages,
# whose last one opens the screen saver settings with Vorn chosen (a DESK.CPL
# double logs it); the silent uninstall leaves the settings alone. Where this
# machine runs 32-bit programs, the 64-bit suite takes the x86 setup for the
# pages, as on 64-bit Windows: it asks first, then replaces the 64-bit saver.
source "$(dirname "${BASH_SOURCE[0]}")/support/saver.bash" "$1"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
arch="${VORN_ARCH:-x86}" top="$build" built="$saver"
[ "$arch" = x64 ] && top="$(cd "$build/.." && pwd)"
VORN_BUILD_DIR="$top" "$root/scripts/package.sh" --no-build "$work/release" >/dev/null ||
    fail "package.sh failed"
unzip -q "$work/release/vorn-2.1-windows.zip" INSTALL.txt LICENSE.txt -d "$work/zip"

export WINEPREFIX="$build/setup-prefix"
rm -rf "$WINEPREFIX"
stop_prefix() {
    local code=$?
    wineserver -k >/dev/null 2>&1
    [ $code -eq 0 ] && rm -rf "$WINEPREFIX" # kept for a look when the test failed
    cleanup
}
trap stop_prefix EXIT
timeout 180 wine wineboot.exe -i >/dev/null 2>&1
wineserver -p >/dev/null 2>&1
drive="$WINEPREFIX/drive_c"
folder="$drive/Program Files/Vorn"
opened="$drive/windows/system32/install.log"
cp "$build/tests/doubles/DESK.CPL" "$drive/windows/system32/desk.cpl"
entry_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vorn'
desktop_key='HKCU\Control Panel\Desktop'
reg_value() { # KEY NAME: the value's data, or nothing
    timeout 60 wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^    $2    REG_[A-Z_]*    //p"
}
unix_path() { local path="$drive/${1#C:\\}" && echo "${path//\\//}"; }

# run_setup ARCH /S|pages: silently, or with Enter on every page's default
# button (Next, I Agree, Install, Finish with its box ticked; Yes).
run_setup() {
    local setup="$work/release/vorn-2.1-setup-$1.exe"
    if [ "$2" = /S ]; then
        timeout 120 wine "$setup" /S >/dev/null 2>&1 || fail "$1 setup /S: exit code $?"
        return
    fi
    answer "$setup" Return 0 "$1 setup through its pages"
}
# answer FILE KEY CODE WHAT: starts the setup without /S and presses KEY
# until it ends, which it must with CODE (a key may come before the focus).
answer() {
    local pid i
    wine "$1" >/dev/null 2>&1 &
    pid=$!
    started+=("$pid")
    wait_for_window "Vorn 2.1 Setup" 60
    for ((i = 0; i < 60; i++)); do
        { kill -0 "$pid" 2>/dev/null && xdotool key "$2" && sleep 1; } || break
    done
    expect_exit "$pid" "$3" "$4"
}

# installed ARCH SAVER-PATH BUILT-SAVER: the saver where the settings list
# it, byte for byte; the folder; the only entry named Vorn, with its values.
installed() {
    local saver_unix size values entries
    saver_unix="$(unix_path "$2")"
    cmp "$saver_unix" "$3" || fail "$2 is not the built saver"
    # shellcheck disable=SC2012 # compared with known plain names: a space or odd byte fails anyway
    [ "$(ls "$folder" | tr '\n' ' ')" = "INSTALL.txt LICENSE.txt uninstall.exe " ] ||
        fail "the program folder holds: $(ls "$folder")"
    { cmp "$folder/INSTALL.txt" "$work/zip/INSTALL.txt" && cmp "$folder/LICENSE.txt" "$work/zip/LICENSE.txt"; } ||
        fail "the texts differ from the zip's"
    size=$(($(stat -c %s "$saver_unix") + $(cat "$folder"/* | wc -c) + 1023))
    values=$(timeout 60 wine reg query "$entry_key" | tr -d '\r' |
        sed -n 's/^    \([A-Za-z]*\)    \(REG_[A-Z]*\)    \(.*\)$/\1|\2|\3/p' | sort)
    [ "$values" = "$(sort <<EOF
DisplayName|REG_SZ|Vorn
DisplayVersion|REG_SZ|2.1
Publisher|REG_SZ|Kervolan
DisplayIcon|REG_SZ|$2
InstallLocation|REG_SZ|C:\\Program Files\\Vorn
UninstallString|REG_SZ|"C:\\Program Files\\Vorn\\uninstall.exe"
QuietUninstallString|REG_SZ|"C:\\Program Files\\Vorn\\uninstall.exe" /S
EstimatedSize|REG_DWORD|$(printf '0x%x' $((size / 1024)))
NoModify|REG_DWORD|0x1
NoRepair|REG_DWORD|0x1
EOF
    )" ] || fail "$1 setup: the entry holds"$'\n'"$values"
    entries=$(timeout 60 wine reg query "${entry_key%\\Vorn}" /s | tr -d '\r' |
        grep -c '^    DisplayName    REG_SZ    Vorn$')
    [ "$entries" -eq 1 ] || fail "$1 setup: $entries entries named Vorn"
    echo "ok: $1 setup installed $2, the folder and the entry"
}

# On too old a Windows the setup says so and installs nothing.
old_windows="HKCU\\Software\\Wine\\AppDefaults\\vorn-2.1-setup-$arch.exe"
timeout 60 wine reg add "$old_windows" /v Version /d "$([ "$arch" = x64 ] && echo winxp64 || echo win2k)" >/dev/null 2>&1
timeout 120 wine "$work/release/vorn-2.1-setup-$arch.exe" /S >/dev/null 2>&1
code=$?
{ [ $code -eq 2 ] && [ ! -e "$folder" ]; } || fail "$arch setup on too old a Windows: exit code $code"
timeout 60 wine reg delete "$old_windows" /f >/dev/null 2>&1
echo "ok: $arch setup refused too old a Windows (exit 2)"

if [ "$arch" = x64 ]; then saver_win='C:\windows\system32\Vorn.scr'; else saver_win='C:\windows\Vorn.scr'; fi
run_setup "$arch" /S
installed "$arch" "$saver_win" "$built"

saver="$(unix_path "$saver_win")"
start_saver /s
wait_for_window "Screen Saver"
sleep 2
import -window root "$work/shot.png"
read -r _ _ red green blue lit < <(screen_stats "$work/shot.png")
{ [ "$red$green" = 00 ] && [ "$blue" -gt 0 ] && [ "$lit" -gt 0 ]; } ||
    fail "the installed saver drew red $red green $green blue $blue, $lit blue pixels"
xdotool key space
expect_exit "$saver_pid" 0 "the installed saver drew its trail and closed"

timeout 60 wine reg add "$settings_key" /v Speed /t REG_DWORD /d 42 /f >/dev/null 2>&1
timeout 60 wine reg add "$desktop_key" /v SCRNSAVE.EXE /d "$saver_win" /f >/dev/null 2>&1
echo damaged >"$saver"
run_setup "$arch" /S
installed "$arch" "$saver_win" "$built"
[ ! -e "$opened" ] || fail "a silent install opened: $(cat "$opened")"

bits=${arch#x} && bits=${bits/86/32}
if [ "$arch" = x64 ] && [[ " ${VORN_ARCHS:-} " == *" x86 "* ]]; then
    answer "$work/release/vorn-2.1-setup-x86.exe" n 2 "x86 setup asked and was declined on 64-bit Windows"
    cmp "$saver" "$built" || fail "declining the x86 setup changed the saver"
    run_setup x86 pages
    installed x86 'C:\windows\Vorn.scr' "$top/Vorn.scr"
    [ ! -e "$saver" ] || fail "the 64-bit saver is still in system32"
    saver_win='C:\windows\Vorn.scr'
    [ "$(reg_value "$desktop_key" SCRNSAVE.EXE)" = "$saver_win" ] || fail "SCRNSAVE.EXE did not follow"
else
    run_setup "$arch" pages
    installed "$arch" "$saver_win" "$built"
fi
vorn_await 10 test -s "$opened" # rundll32 may lag
[ "$(tr -d '\r' 2>/dev/null <"$opened")" = "$bits-bit InstallScreenSaver $saver_win" ] ||
    fail "the last page opened: $(cat "$opened" 2>/dev/null)"
echo "ok: the last page opened the screen saver settings with $saver_win"
[ "$(reg_value "$settings_key" Speed)" = 0x2a ] || fail "the installs did not keep the settings"

# The silent uninstaller starts a copy of itself and returns at once: wait
# for the entry, its last step, to go.
no_entry() { ! timeout 60 wine reg query "$entry_key" >/dev/null 2>&1; }
timeout 60 wine "C:\\Program Files\\Vorn\\uninstall.exe" /S >/dev/null 2>&1
vorn_await 90 no_entry
for path in "$drive/windows/Vorn.scr" "$drive/windows/system32/Vorn.scr" "$folder"; do
    [ ! -e "$path" ] || fail "after the uninstall, ${path#"$drive"/} is still there"
done
[ -z "$(reg_value "$entry_key" DisplayName)" ] || fail "the entry is still there"
timeout 60 wine reg query "$desktop_key" /v SCRNSAVE.EXE >/dev/null 2>&1 && fail "SCRNSAVE.EXE names the removed saver"
[ "$(reg_value "$settings_key" Speed)" = 0x2a ] || fail "the uninstall did not keep the settings"
echo "ok: uninstalled: saver, folder, entry and SCRNSAVE.EXE gone, settings kept"
