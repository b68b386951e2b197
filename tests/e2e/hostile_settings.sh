#!/bin/bash
# The real saver on stored settings that no dialog would write: extreme
# numbers and values of the wrong type or size. Each time it runs, draws a
# trail and closes on a key with exit code 0.
source "$(dirname "${BASH_SOURCE[0]}")/support/saver.bash" "$1"

table=$(settings_table) || fail "no settings table from vorn-render"
mapfile -t names < <(cut -d' ' -f1 <<<"$table")
# One row a line: a name, then a value for each of $names in its order as .reg
# data. The colour is kept visible: stored wrong it stays the default blue.
rows=(
    'zeros: dword:0 dword:0 dword:0 dword:0 "blue" dword:0 dword:0 dword:0 dword:0 dword:0'
    'INT_MIN: dword:80000000 dword:80000000 dword:80000000 dword:80000000 hex(b):05,00,00,00,09,09,09,09 dword:80000000 hex:05,00 dword:80000000 dword:80000000 dword:80000000'
    'INT_MAX: dword:7fffffff dword:7fffffff dword:7fffffff dword:0 dword:7fffffff hex(4): "0" dword:5dc dword:3e8 dword:ffffffff'
    '-1_1000_1500: dword:ffffffff dword:5dc dword:5dc dword:ffffffff dword:5dc hex:05,00,00,00,09,09,09,09 hex(4): dword:ffffffff dword:3e8 dword:0'
    'wrong_forms: "180" hex:05,00 hex(b):05,00,00,00,09,09,09,09 hex(4): hex:05,00,00,00,09,09,09,09 "1" hex(b):01,00,00,00,00,00,00,00 hex: hex(4): "1"'
)

store_row() {
    local file="$work/settings.reg" values i
    read -ra values <<<"${1#*: }"
    {
        printf 'Windows Registry Editor Version 5.00\r\n\r\n'
        printf '[%s]\r\n' "${settings_key/#HKCU/HKEY_CURRENT_USER}"
        for i in "${!values[@]}"; do printf '"%s"=%s\r\n' "${names[$i]}" "${values[$i]}"; done
    } >"$file"
    timeout 60 wine reg delete "$settings_key" /f >/dev/null 2>&1
    timeout 60 wine reg import "Z:${file//\//\\}" >/dev/null 2>&1 || fail "cannot store ${1%%:*}"
}

# Pixels of any colour outside the overlay's corner.
lit_pixels() {
    convert "$1" -fill black -draw "rectangle 0,0 79,39" -separate -evaluate-sequence Max \
        -threshold 0 -format "%[fx:round(mean*w*h)]" info:
}

for row in "${rows[@]}"; do
    name=${row%%:*}
    store_row "$row"
    start_saver /s
    wait_for_window "Screen Saver"
    vorn_pause 2
    import -window root "$work/shot.png"
    lit=$(lit_pixels "$work/shot.png")
    read -r w h < <(identify -format "%w %h" "$work/shot.png")
    echo "$name: $lit pixels lit"
    [ "$lit" -gt 0 ] || fail "$name: no trail"
    [ "$lit" -lt $((w * h / 2)) ] || fail "$name: the screen is not black"
    expect_running "$saver_pid" "$name"
    xdotool key Escape
    expect_exit "$saver_pid" 0 "$name: closed by a key"
done
timeout 60 wine reg delete "$settings_key" /f >/dev/null 2>&1
exit 0
