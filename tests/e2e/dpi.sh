#!/bin/bash
# A scaled display: with the prefix's LogPixels at 144 (put back afterwards)
# the per-monitor aware saver still covers the whole screen, and the preview
# still fills its pane exactly, a DPI-unaware pane of its own process included.
source "$(dirname "${BASH_SOURCE[0]}")/support/saver.bash" "$1"

desktop='HKCU\Control Panel\Desktop'
old_dpi=$(wine reg query "$desktop" /v LogPixels 2>/dev/null | tr -d '\r' | awk '$1 == "LogPixels" {print $3}')

# set_dpi VALUE|"": Wine reads LogPixels when its server starts.
set_dpi() {
    if [ -n "$1" ]; then
        wine reg add "$desktop" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null
    else
        wine reg delete "$desktop" /v LogPixels /f >/dev/null 2>&1
    fi
    wineserver -k
    wineserver -w
    wineserver -p >/dev/null 2>&1
}

# A grey root window shows through wherever the saver does not cover.
root_background() {
    convert -size 8x8 "xc:$1" "$work/root.png"
    display -window root "$work/root.png" >/dev/null 2>&1 || true
}

finish() {
    set_dpi "$old_dpi"
    root_background black
    cleanup
}
trap finish EXIT
set_dpi 144

output=$(timeout 90 wine "$build/tests/preview_host.exe" preview | tr -d '\r')
code=$?
echo "$output"
grep -qx 'dpi=144' <<<"$output" || fail "Wine does not report 144 DPI"
[ "$code" -eq 0 ] || fail "preview host reported $code"
echo "ok: preview in another program's pane"

output=$(timeout 90 wine "$build/tests/host_window_test.exe" --gtest_filter='*PreviewRunInAPane' |
    tr -d '\r')
code=$?
grep -E '^\[ +(OK|FAILED) +\]|Failure|Which is' <<<"$output"
[ "$code" -eq 0 ] || fail "the preview in an unaware pane of its own process"
echo "ok: preview in an unaware pane"

read -r screen_w screen_h < <(xdpyinfo | sed -n 's/ *dimensions: *\([0-9]*\)x\([0-9]*\).*/\1 \2/p')
root_background grey
timeout 60 wine reg delete "$settings_key" /f >/dev/null 2>&1
start_saver /s
wait_for_window "Screen Saver"
vorn_pause 3
import -window root "$work/shot.png"
read -r w h red green blue lit < <(screen_stats "$work/shot.png")
echo "full screen: ${w}x$h, max red $red green $green blue $blue, $lit blue pixels"
{ [ "$w" = "$screen_w" ] && [ "$h" = "$screen_h" ]; } || fail "screenshot ${w}x$h"
{ [ "$red" -eq 0 ] && [ "$green" -eq 0 ]; } || fail "the grey root shows: the saver does not cover the screen"
{ [ "$blue" -gt 0 ] && [ "$lit" -gt 0 ]; } || fail "no trail"
xdotool key Escape
expect_exit "$saver_pid" 0 "full screen at 144 DPI, closed by a key"
