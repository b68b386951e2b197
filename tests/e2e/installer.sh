#!/bin/bash
# The setup program of this build's architecture, in a fresh prefix: a silent
# install puts the built saver where the screen saver settings list it and
# the entry in the installed programs, and opens nothing; the installed saver
# runs; a second install replaces the saver and keeps one entry and the
# user's settings; one through its pages opens the screen saver settings with
# Vorn chosen, as right-click "Install" does (a test double of DESK.CPL logs
# it); the silent uninstall removes saver, folder and entry, and clears the
# user's screen saver when it was Vorn, keeping the settings. Where this
# machine runs 32-bit programs, the 64-bit suite takes the x86 setup for the
# install through the pages, as on 64-bit Windows: it asks first, then
# replaces the 64-bit saver, keeps one entry and starts the native rundll32.
source "$(dirname "${BASH_SOURCE[0]}")/support/saver.bash" "$1"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
arch="${VORN_ARCH:-x86}"
top="$build"
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
    timeout 60 wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        sed -n "s/^    $2    REG_[A-Z_]*    //p"
}
unix_path() { # C:\... in the prefix
    local path="$drive/${1#C:\\}"
    echo "${path//\\//}"
}

# run_setup ARCH /S|pages: silently, or through its pages with Enter (every
# default button: Next, I Agree, Install, Finish with its box ticked, and Yes).
run_setup() {
    local setup="$work/release/vorn-2.1-setup-$1.exe" pid i
    if [ "$2" = /S ]; then
        timeout 120 wine "$setup" /S >/dev/null 2>&1 || fail "$1 setup /S: exit code $?"
        return
    fi
    wine "$setup" >/dev/null 2>&1 &
    pid=$!
    started+=("$pid")
    wait_for_window "Vorn 2.1 Setup" 60
    for ((i = 0; i < 60; i++)); do
        kill -0 "$pid" 2>/dev/null || break
        xdotool key Return
        sleep 1
    done
    expect_exit "$pid" 0 "$1 setup through its pages"
}

# installed ARCH SAVER-PATH BUILT-SAVER: the saver listed, byte for byte the
# built one; the folder; the entry's values, and one entry.
installed() {
    local saver_unix size kb values entries
    saver_unix="$(unix_path "$2")"
    cmp "$saver_unix" "$3" || fail "$2 is not the built saver"
    [ "$(ls "$folder" | tr '\n' ' ')" = "INSTALL.txt LICENSE.txt uninstall.exe " ] ||
        fail "the program folder holds: $(ls "$folder")"
    cmp "$folder/INSTALL.txt" "$work/zip/INSTALL.txt" && cmp "$folder/LICENSE.txt" "$work/zip/LICENSE.txt" ||
        fail "the texts differ from the zip's"

    size=$(($(stat -c %s "$saver_unix") + $(cat "$folder"/* | wc -c)))
    kb=$(printf '0x%x' $(((size + 1023) / 1024)))
    values=$(timeout 60 wine reg query "$entry_key" | tr -d '\r' |
        sed -n 's/^    \([A-Za-z]*\)    \(REG_[A-Z]*\)    \(.*\)$/\1|\2|\3/p' | sort)
    expected=$(sort <<EOF
DisplayName|REG_SZ|Vorn
DisplayVersion|REG_SZ|2.1
Publisher|REG_SZ|Kervolan
DisplayIcon|REG_SZ|$2
InstallLocation|REG_SZ|C:\\Program Files\\Vorn
UninstallString|REG_SZ|"C:\\Program Files\\Vorn\\uninstall.exe"
QuietUninstallString|REG_SZ|"C:\\Program Files\\Vorn\\uninstall.exe" /S
EstimatedSize|REG_DWORD|$kb
NoModify|REG_DWORD|0x1
NoRepair|REG_DWORD|0x1
EOF
    )
    [ "$values" = "$expected" ] || fail "$1 setup: the entry holds"$'\n'"$values"
    entries=$(timeout 60 wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s |
        tr -d '\r' | grep -c '^    DisplayName    REG_SZ    Vorn$')
    [ "$entries" -eq 1 ] || fail "$1 setup: $entries entries named Vorn"
    echo "ok: $1 setup installed $2, the folder and the entry"
}

if [ "$arch" = x64 ]; then saver_win='C:\windows\system32\Vorn.scr'; else saver_win='C:\windows\Vorn.scr'; fi
built="$saver"
run_setup "$arch" /S
installed "$arch" "$saver_win" "$built"

# The installed saver runs, draws its default blue trail and closes on a key.
saver="$(unix_path "$saver_win")"
start_saver /s
wait_for_window "Screen Saver"
sleep 2
import -window root "$work/shot.png"
read -r _ _ red green blue lit < <(screen_stats "$work/shot.png")
[ "$red" -eq 0 ] && [ "$green" -eq 0 ] && [ "$blue" -gt 0 ] && [ "$lit" -gt 0 ] ||
    fail "the installed saver drew red $red green $green blue $blue, $lit blue pixels"
xdotool key space
expect_exit "$saver_pid" 0 "the installed saver ran and closed"

# Over an installation: the saver replaced, one entry, the settings kept.
timeout 60 wine reg add "$settings_key" /v Speed /t REG_DWORD /d 42 /f >/dev/null 2>&1
timeout 60 wine reg add "$desktop_key" /v SCRNSAVE.EXE /d "$saver_win" /f >/dev/null 2>&1
echo damaged >"$saver"
run_setup "$arch" /S
installed "$arch" "$saver_win" "$built"
[ ! -e "$opened" ] || fail "a silent install opened: $(cat "$opened")"

if [ "$arch" = x64 ] && [[ " ${VORN_ARCHS:-} " == *" x86 "* ]]; then
    # The x86 setup asks first on 64-bit Windows; No leaves all as it was.
    wine "$work/release/vorn-2.1-setup-x86.exe" >/dev/null 2>&1 &
    asked=$!
    started+=("$asked")
    wait_for_window "Vorn 2.1 Setup" 60
    xdotool key n
    expect_exit "$asked" 2 "x86 setup declined on 64-bit Windows"
    cmp "$saver" "$built" || fail "declining the x86 setup changed the saver"
    # Yes: the 32-bit saver takes the 64-bit one's place, and the user's
    # screen saver follows it.
    run_setup x86 pages
    installed x86 'C:\windows\Vorn.scr' "$top/Vorn.scr"
    [ ! -e "$saver" ] || fail "the 64-bit saver is still in system32"
    saver_win='C:\windows\Vorn.scr'
    [ "$(reg_value "$desktop_key" SCRNSAVE.EXE)" = "$saver_win" ] ||
        fail "SCRNSAVE.EXE is \"$(reg_value "$desktop_key" SCRNSAVE.EXE)\""
    bits=64
else
    run_setup "$arch" pages
    installed "$arch" "$saver_win" "$built"
    bits=${arch#x}
    [ "$bits" = 86 ] && bits=32
fi
# rundll32 may still be on its way when the setup has ended.
for _ in $(seq 20); do [ -s "$opened" ] && break || sleep 0.5; done
[ "$(tr -d '\r' 2>/dev/null <"$opened")" = "$bits-bit InstallScreenSaver $saver_win" ] ||
    fail "the last page opened: $(cat "$opened" 2>/dev/null)"
echo "ok: the last page opened the screen saver settings with $saver_win"
[ "$(reg_value "$settings_key" Speed)" = 0x2a ] || fail "the settings were not kept by the install"

# The silent uninstaller starts a copy of itself and returns at once: wait
# for the entry, its last step, to go.
timeout 60 wine "C:\\Program Files\\Vorn\\uninstall.exe" /S >/dev/null 2>&1
for _ in $(seq 120); do
    timeout 60 wine reg query "$entry_key" >/dev/null 2>&1 || break
    sleep 0.5
done
for path in "$drive/windows/Vorn.scr" "$drive/windows/system32/Vorn.scr" "$folder"; do
    [ ! -e "$path" ] || fail "after the uninstall, ${path#$drive/} is still there"
done
timeout 60 wine reg query "$entry_key" >/dev/null 2>&1 && fail "the entry is still there"
timeout 60 wine reg query "$desktop_key" /v SCRNSAVE.EXE >/dev/null 2>&1 &&
    fail "SCRNSAVE.EXE still names the removed saver"
[ "$(reg_value "$settings_key" Speed)" = 0x2a ] || fail "the uninstall did not keep the settings"
echo "ok: uninstalled: saver, folder, entry and SCRNSAVE.EXE gone, settings kept"
