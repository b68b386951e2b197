#!/bin/bash
# This build's setup in a fresh prefix: installs silently (opening nothing),
# the installed saver runs; a same-version repair, an older setup refused,
# an upgrade over the saver while it runs; then through its pages, whose
# last one has the shell open the screen saver settings with Vorn chosen (a
# DESK.CPL double logs the call and who started it); the entry's silent
# uninstall command finishes before it returns and leaves the settings
# alone. A setup that cannot write the new saver puts the old one back.
# Where this machine runs 32-bit programs, the 64-bit suite also runs the
# x86 setup, as on 64-bit Windows: it asks first, refuses a silent install
# without /ALLOWX86ON64, never replaces the 64-bit saver, and is replaced by
# the x64 setup.
# Wine runs every setup as the one administrator account of the prefix; on
# Windows an elevated setup is often another account than the user's, so
# the setups must leave HKCU alone: each silent run is checked to leave an
# export of it byte for byte as it was (with SCRNSAVE.EXE naming the saver).
# Deletes left for a restart are read in PendingFileRenameOperations; no
# restart happens here.
source "$(dirname "${BASH_SOURCE[0]}")/support/saver.bash" "$1"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
arch="${VORN_ARCH:-x86}" top="$build" built="$saver"
[ "$arch" = x64 ] && top="$(cd "$build/.." && pwd)"
VORN_BUILD_DIR="$top" "$root/scripts/package.sh" --no-build "$work/release" >/dev/null ||
    fail "package.sh failed"
unzip -q "$work/release/vorn-2.1-windows.zip" INSTALL.txt LICENSE.txt -d "$work/zip"

fresh_prefix setup-prefix
# The shell that Wine starts while it makes a prefix does not serve the
# shell's windows (ShellWindows), which on Windows Explorer always does and
# the finish page asks: a new server starts a new one that does.
wineserver -k >/dev/null 2>&1
wineserver -w >/dev/null 2>&1
wineserver -p >/dev/null 2>&1
folder="$drive/Program Files/Vorn"
opened="$drive/windows/system32/install.log"
cp "$build/tests/doubles/DESK.CPL" "$drive/windows/system32/desk.cpl"
entry_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vorn'
desktop_key='HKCU\Control Panel\Desktop'
reg_value() { # KEY NAME: the value's data, or nothing
    timeout 60 wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^    $2    REG_[A-Z_]*    //p"
}
unix_path() { local path="$drive/${1#C:\\}" && echo "${path//\\//}"; }

# run_setup ARCH /S|pages [CODE [SWITCH]]: silently (ending with CODE, 0
# unless given), or with Enter on every page's default button (Next, I
# Agree, Install, Finish with its box ticked; Yes).
run_setup() {
    local setup="$work/release/vorn-2.1-setup-$1.exe" code
    if [ "$2" = /S ]; then
        code=$(exit_code "$setup" /S ${4:+"$4"})
        [ "$code" -eq "${3:-0}" ] || fail "$1 setup /S $4: exit code $code, expected ${3:-0}"
        return
    fi
    answer "$setup" Return 0 "$1 setup through its pages"
}
# exit_code FILE ARGS... | /entry VALUE: runs a program, or a command of the
# entry, to its end; prints its exit code whole (Linux keeps 8 bits of it).
exit_code() {
    [ "$1" = /entry ] || set -- "$(winepath -w "$1" 2>/dev/null)" "${@:2}"
    timeout 180 wine "$build/tests/run_command.exe" "$@" 2>/dev/null | tr -d '\r' | sed -n 's/^exit=//p'
}
# HKCU as the setups found it: an export of it, byte for byte, but for
# Wine's own keys (a 32-bit program's first window in a 64-bit prefix adds
# one under "Temporary System Parameters"), which Windows does not have.
export_hkcu() {
    timeout 60 wine reg export HKCU 'C:\hkcu.reg' /y >/dev/null 2>&1 &&
        iconv -f UTF-16 -t UTF-8 "$drive/hkcu.reg" | awk '/^\[/ { wine = index($0, "[HKEY_CURRENT_USER\\Software\\Wine") == 1 } !wine'
}
hkcu_kept() {
    export_hkcu | cmp -s - "$work/hkcu.reg" || fail "$1 changed HKCU"
    echo "ok: $1 left HKCU as it was"
}
# The deletes left for the next restart: "<path>" a line each (the targets,
# all empty, left out).
pending() {
    timeout 60 wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' \
        /v PendingFileRenameOperations 2>/dev/null | tr -d '\r' |
        sed -n 's/^ *PendingFileRenameOperations *REG_MULTI_SZ *//p' | sed 's/\\0/\n/g' |
        sed -n 's/^\\??\\//p'
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
        { kill -0 "$pid" 2>/dev/null && xdotool key "$2" && vorn_pause 1; } || break
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
UninstallString|REG_SZ|"C:\\Program Files\\Vorn\\uninstall.exe" _?=C:\\Program Files\\Vorn
QuietUninstallString|REG_SZ|"C:\\Program Files\\Vorn\\uninstall.exe" /S _?=C:\\Program Files\\Vorn
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

saver_win='C:\windows\Vorn.scr'
saver="$(unix_path "$saver_win")"
run_setup "$arch" /S
installed "$arch" "$saver_win" "$built"

installed_saver_runs

timeout 60 wine reg add "$settings_key" /v Speed /t REG_DWORD /d 42 /f >/dev/null 2>&1
timeout 60 wine reg add "$desktop_key" /v SCRNSAVE.EXE /d "$saver_win" /f >/dev/null 2>&1
export_hkcu >"$work/hkcu.reg" || fail "cannot export HKCU"
echo damaged >"$saver"
run_setup "$arch" /S
installed "$arch" "$saver_win" "$built"
[ ! -e "$opened" ] || fail "a silent install opened: $(cat "$opened")"
hkcu_kept "a repair by the same version"

# An older setup (its own version 2.0; the savers are the same) says so and
# changes nothing: exit 1638.
VORN_VERSION=2.0.0.0 VORN_BUILD_DIR="$top" "$root/scripts/package.sh" --no-build "$work/older" >/dev/null 2>&1 ||
    fail "package.sh failed for version 2.0"
code=$(exit_code "$work/older/vorn-2.0-setup-$arch.exe" /S)
[ "$code" = 1638 ] || fail "the 2.0 setup over 2.1: exit code $code"
installed "$arch" "$saver_win" "$built"
hkcu_kept "a refused older setup"

# The new saver cannot be written once the old one is set aside: a limit on
# file sizes stands in for a full disk. It is the saver's own size, so the
# setup's smaller files before it fit and the saver does not. The old saver
# goes back to its name, nothing waits for a restart: exit 1603.
cp "$built" "$work/old.scr" && echo older >>"$work/old.scr" && cp "$work/old.scr" "$saver"
before=$(pending)
code=$( (trap '' XFSZ && ulimit -f $(($(stat -c %s "$built") / 1024)) && exit_code "$work/release/vorn-2.1-setup-$arch.exe" /S))
[ "$code" = 1603 ] || fail "a setup that could not write the saver: exit code $code"
cmp "$saver" "$work/old.scr" || fail "a setup that could not write the saver left C:\\windows\\Vorn.scr not the old one"
{ [ "$(pending)" = "$before" ] && ! compgen -G "$drive/windows/*.tmp" >/dev/null; } ||
    fail "a setup that could not write the saver left $(compgen -G "$drive/windows/*.tmp") $(pending)"
hkcu_kept "a setup that could not write the saver (exit 1603, the old saver back)"

# Over the saver while it runs from a file other than the new one: the new
# file is in place at once, and only the old one, under a name of its own,
# may wait for the restart (3010). Wine, unlike Windows, may delete it at once.
start_saver /s
wait_for_window "Screen Saver"
code=$(exit_code "$work/release/vorn-2.1-setup-$arch.exe" /S)
installed "$arch" "$saver_win" "$built"
aside=$(pending)
case "$code:$aside" in
0:) ;;
3010:C:\\windows\\*.tmp) cmp "$(unix_path "$aside")" "$work/old.scr" || fail "the file left for the restart is not the old saver" ;;
*) fail "an upgrade over the running saver: exit code $code, left for the restart: $aside" ;;
esac
xdotool key space
expect_exit "$saver_pid" 0 "the old saver ran on through the upgrade"
hkcu_kept "an upgrade over the running saver (exit $code${aside:+, left $aside for the restart})"

bits=${arch#x} && bits=${bits/86/32}
x86_too=0 && [ "$arch" = x64 ] && [[ " ${VORN_ARCHS:-} " == *" x86 "* ]] && x86_too=1
if [ $x86_too = 1 ]; then
    answer "$work/release/vorn-2.1-setup-x86.exe" n 2 "x86 setup asked and was declined on 64-bit Windows"
    run_setup x86 /S 2
    run_setup x86 /S 1638 /ALLOWX86ON64
    cmp "$saver" "$built" || fail "the x86 setup changed the 64-bit saver"
    hkcu_kept "the x86 setup refused on 64-bit Windows (exit 2; 1638 over the 64-bit saver)"
fi
run_setup "$arch" pages
installed "$arch" "$saver_win" "$built"
# rundll32 is Explorer's child: the shell started it, not the setup.
vorn_await 10 test -s "$opened" # rundll32 may lag
[ "$(tr -d '\r' 2>/dev/null <"$opened")" = "$bits-bit InstallScreenSaver $saver_win from explorer.exe" ] ||
    fail "the last page opened: $(cat "$opened" 2>/dev/null)"
echo "ok: the shell opened the screen saver settings with $saver_win"
[ "$(reg_value "$settings_key" Speed)" = 0x2a ] || fail "the installs did not keep the settings"

# The entry's silent command, run as a deployment tool runs it, over the
# running saver: when it returns, the saver, the texts and the entry are
# gone; the uninstaller's own file and the folder go a moment later, removed
# by a temporary copy once the uninstaller has ended. Only the saver set
# aside (in use) and that copy wait for the next restart: exit 3010.
start_saver /s
wait_for_window "Screen Saver"
before=$(pending)
code=$(exit_code /entry QuietUninstallString)
[ ! -e "$saver" ] || fail "after the uninstall, the saver is still there"
for file in "$folder"/*; do
    [ ! -e "$file" ] || [ "${file##*/}" = uninstall.exe ] || fail "after the uninstall, the folder holds ${file##*/}"
done
timeout 60 wine reg query "$entry_key" >/dev/null 2>&1 && fail "the entry is still there"
vorn_await 30 test ! -e "$folder" || fail "the folder is still there: $(ls "$folder")"
left=$(pending | grep -vxF "$before" | sed -e 's/\\ns[[:alnum:]]*\.tmp$/\\<aside>.tmp/' -e 's/^.*\\Temp\\<aside>\.tmp$/<temp>\\<copy>.tmp/I' | LC_ALL=C sort)
[ "$code:$left" = '3010:<temp>\<copy>.tmp
C:\windows\<aside>.tmp' ] || fail "the uninstall: exit code $code, left for the restart:"$'\n'"$left"
xdotool key space
expect_exit "$saver_pid" 0 "the saver ran on through the uninstall"
[ "$(reg_value "$settings_key" Speed)" = 0x2a ] || fail "the uninstall did not keep the settings"
hkcu_kept "the uninstall (exit $code)"
echo "ok: uninstalled: saver, texts and entry gone at once, the folder a moment later; SCRNSAVE.EXE and the settings kept"

# Where no 64-bit Vorn is, /ALLOWX86ON64 installs the 32-bit one; the x64
# setup then replaces it.
if [ $x86_too = 1 ]; then
    run_setup x86 /S 0 /ALLOWX86ON64
    cmp "$saver" "$top/Vorn.scr" || fail "the x86 setup with /ALLOWX86ON64 did not install the 32-bit saver"
    run_setup x64 /S
    cmp "$saver" "$built" || fail "the x64 setup did not replace the 32-bit saver"
    [ "$(reg_value "$entry_key" DisplayVersion)" = 2.1 ] || fail "no entry after the x64 setup replaced the x86 one"
    echo "ok: the x86 setup installed with /ALLOWX86ON64, and the x64 setup replaced it"
fi
