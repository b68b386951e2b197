#!/bin/bash
# Every spelling of the full-screen switch covers the screen with a black
# picture and a trail in the default colour: only the blue channel is lit.
source "$(dirname "${BASH_SOURCE[0]}")/support/saver.bash" "$1"

read -r screen_w screen_h < <(xdpyinfo | sed -n 's/ *dimensions: *\([0-9]*\)x\([0-9]*\).*/\1 \2/p')
timeout 60 wine reg delete "$settings_key" /f >/dev/null 2>&1

for switch in /s -s S /screensaver; do
    start_saver "$switch"
    wait_for_window "Screen Saver"
    vorn_pause 3
    shot="$work/shot.png"
    import -window root "$shot"
    read -r w h red green blue lit < <(screen_stats "$shot")
    echo "\"$switch\": ${w}x$h, max red $red green $green blue $blue, $lit blue pixels"
    { [ "$w" = "$screen_w" ] && [ "$h" = "$screen_h" ]; } || fail "$switch: screenshot ${w}x$h"
    { [ "$red" -eq 0 ] && [ "$green" -eq 0 ]; } || fail "$switch: red or green on the screen"
    { [ "$blue" -gt 0 ] && [ "$lit" -gt 0 ]; } || fail "$switch: no trail"
    [ "$lit" -lt $((w * h / 2)) ] || fail "$switch: the screen is not black"
    expect_running "$saver_pid" "\"$switch\" after 3 seconds"
    xdotool key Escape
    expect_exit "$saver_pid" 0 "\"$switch\" closed by a key"
done
