#!/bin/bash
# The colour swatch of the real settings dialog on the screen: every pixel of
# it shows the stored colour at opening and the chosen colour after "Color...".
set -euo pipefail
build="$1"
key='HKCU\Software\Kervolan\Screensavers\Vorn'
work="$(mktemp -d)"
trap 'touch "$work/done"; wait; wine reg delete "$key" /f >/dev/null 2>&1 || true; rm -rf "$work"' EXIT

# pose <expected #RRGGBB> <driver pose arguments...>
pose() {
    local expected="$1"
    shift
    rm -f "$work/done" "$work/out"
    wine "$build/tests/dialog_driver.exe" pose "$1" "$build/Vorn.scr" "$work/done" "${@:2}" \
        >"$work/out" &
    local driver=$!
    for _ in $(seq 300); do
        grep -q -e '^ready' -e '^FAIL' "$work/out" 2>/dev/null && break
        sleep 0.1
    done
    if ! grep -q '^ready' "$work/out"; then
        cat "$work/out"
        echo "FAIL: the dialog did not come up ($*)"
        return 1
    fi
    read -r _ x y w h < <(grep '^swatch' "$work/out")
    # The screen may lag a moment behind the painting: look again a few times.
    local colours=""
    for _ in $(seq 20); do
        import -window root "$work/shot.png"
        colours="$(convert "$work/shot.png" -crop "${w}x${h}+${x}+${y}" +repage -unique-colors \
            -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}' | sort -u | tr '\n' ' ')"
        [ "$colours" = "$expected " ] && break
        sleep 0.2
    done
    touch "$work/done"
    wait "$driver"
    if [ "$colours" != "$expected " ]; then
        echo "FAIL: swatch ${w}x${h}+${x}+${y} shows $colours, expected $expected ($*)"
        return 1
    fi
    echo "ok   swatch shows $expected ($*)"
}

wine reg delete "$key" /f >/dev/null 2>&1 || true
wine reg add "$key" /v Color /t REG_DWORD /d 0x00123456 /f >/dev/null
pose '#563412' settings
pose '#996633' color 336699
