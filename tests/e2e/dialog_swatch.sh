#!/bin/bash
# The colour swatch of the real settings dialog on the screen: every pixel of
# it shows the stored colour at opening and the chosen colour after "Color...",
# and its name for screen readers (its text, never shown) says that colour.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/await.sh"
build="$1"
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/settings-key.sh"
key="$vorn_settings_key"
work="$(mktemp -d)"
trap 'touch "$work/done"; wait; wine reg delete "$key" /f >/dev/null 2>&1 || true; rm -rf "$work"' EXIT

# swatch_shows #RRGGBB WxH+X+Y: the screen there shows only that colour; the
# colours it shows in $colours.
swatch_shows() {
    import -window root "$work/shot.png"
    colours="$(convert "$work/shot.png" -crop "$2" +repage -unique-colors -depth 8 txt:- |
        grep -o '#[0-9A-F]\{6\}' | sort -u | tr '\n' ' ')"
    [ "$colours" = "$1 " ]
}

# pose <expected #RRGGBB> <expected name> <driver pose arguments...>
pose() {
    local expected="$1" name="$2"
    shift 2
    rm -f "$work/done" "$work/out"
    wine "$build/tests/dialog_driver.exe" pose "$1" "$build/Vorn.scr" "$work/done" "${@:2}" \
        >"$work/out" &
    local driver=$!
    vorn_await 30 grep -qs -e '^ready' -e '^FAIL' "$work/out" || true
    if ! grep -q '^ready' "$work/out"; then
        cat "$work/out"
        echo "FAIL: the dialog did not come up ($*)"
        return 1
    fi
    read -r _ x y w h < <(grep '^swatch' "$work/out")
    local named
    named="$(sed -n 's/^name //p' "$work/out" | tr -d '\r')"
    # The screen may lag a moment behind the painting: look again for a while.
    local colours=""
    vorn_await 10 swatch_shows "$expected" "${w}x${h}+${x}+${y}" || true
    touch "$work/done"
    wait "$driver"
    if [ "$colours" != "$expected " ]; then
        echo "FAIL: swatch ${w}x${h}+${x}+${y} shows $colours, expected $expected ($*)"
        return 1
    fi
    if [ "$named" != "$name" ]; then
        echo "FAIL: swatch named \"$named\", expected \"$name\" ($*)"
        return 1
    fi
    echo "ok   swatch shows $expected, named \"$name\" ($*)"
}

wine reg delete "$key" /f >/dev/null 2>&1 || true
wine reg add "$key" /v Color /t REG_DWORD /d 0x00123456 /f >/dev/null
pose '#563412' 'Color: red 86, green 52, blue 18' settings
pose '#996633' 'Color: red 153, green 102, blue 51' color 336699
