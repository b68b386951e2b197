#!/bin/bash
# Monitors that come and go under the full-screen saver: it covers two
# monitors (one left of the primary, at negative x) from the start; after a
# monitor is added on the right, and again after the primary's mode changes,
# it covers the new virtual screen once told so, its picture starts again
# at the new size (the circle of Circular Bounce, drawn for good, is centred
# on the new screen), it keeps running, and a key ends it with 0.
#
# Xvfb cannot show Wine more than one monitor, so this test starts an Xorg
# server of its own with the dummy driver, its monitors set through RandR
# (packages xserver-xorg-core, xserver-xorg-video-dummy, x11-xserver-utils).
# It needs a user allowed to start Xorg: root, as the tests run here and in
# CI (with Debian's xserver-xorg-legacy wrapper installed, only root or a
# console user may). The server shares the console instead of switching to
# one of its own, and takes no input device: xdotool's keys come through XTEST.
#
# Wine 8 sends no WM_DISPLAYCHANGE when RandR changes; Windows sends it to
# every top-level window once the change is made, so the test sends it then,
# as Windows would (tests/drivers/display_driver.cpp).
#
# The prefix's Wine server knows one X display, the one its first program
# ran on, so it is stopped before the saver runs on Xorg's and again
# afterwards (as e2e_dpi does): the test runs alone.
source "$(dirname "${BASH_SOURCE[0]}")/support/saver.bash" "$1"

driver="$build/tests/display_driver.exe"
xorg_pid=""

stop_wineserver() {
    wineserver -k
    wineserver -w
}

finish() {
    cleanup
    stop_wineserver
    [ -n "$xorg_pid" ] && kill "$xorg_pid" 2>/dev/null && wait "$xorg_pid"
    wineserver -p >/dev/null 2>&1 # kept alive for the next test, as test.sh does
}
trap finish EXIT

cat >"$work/xorg.conf" <<'EOF'
Section "ServerFlags"
    Option "AutoAddDevices" "false"
    Option "AutoEnableDevices" "false"
EndSection
Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 256000
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0-1000.0
    VertRefresh 5.0-200.0
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual 4096 2048
    EndSubSection
EndSection
EOF
# Xorg picks a free display itself and says which once it listens.
mkfifo "$work/display"
Xorg -displayfd 3 -config "$work/xorg.conf" -noreset -nolisten tcp -novtswitch -sharevts \
    -logfile "$work/xorg.log" 3>"$work/display" >/dev/null 2>&1 &
xorg_pid=$!
read -r -t 30 n <"$work/display" || fail "Xorg did not start: $(grep -m3 EE "$work/xorg.log")"
export DISPLAY=":$n"

# Two monitors, the second left of the primary: Windows puts it at (-1024, 0).
xrandr --output DUMMY0 --mode 1280x1024 --pos 0x0 --primary
xrandr --addmode DUMMY1 1024x768
xrandr --output DUMMY1 --mode 1024x768 --left-of DUMMY0
xsetroot -solid '#808080' # wherever the saver does not cover, grey shows
stop_wineserver
wineserver -p >/dev/null 2>&1
timeout 60 wine reg delete "$settings_key" /f >/dev/null 2>&1
wine reg add "$settings_key" /v Algorithm /t REG_DWORD /d 3 /f >/dev/null 2>&1 # Circular Bounce
wine reg add "$settings_key" /v Infinity /t REG_DWORD /d 1 /f >/dev/null 2>&1

# await_virtual L,T,R,B: Wine reports this virtual screen (it may take a few
# seconds after a change; a RandR query hurries it along).
await_virtual() {
    local seen=""
    xrandr >/dev/null
    vorn_await 30 virtual_is "$1" || fail "Wine does not report the virtual screen $1 ($seen)"
}

virtual_is() { # L,T,R,B; what Wine reports in $seen
    seen=$(wine "$driver" rect | tr -d '\r')
    [[ "$seen" == *" virtual=$1" ]]
}
await_virtual "-1024,0,1280,1024"

# covers WHAT L,T,R,B OUTPUT X,Y: the driver's OUTPUT shows the window over
# exactly that virtual screen; a screenshot shows no desktop and a trail,
# which within 30 seconds is centred on X,Y (the centre of the virtual screen,
# in the screenshot's pixels); the saver runs on.
covers() {
    local w h red green blue lit
    echo "$1: $3"
    [ "$3" = "window=$2 virtual=$2" ] || fail "$1: the window is not the virtual screen $2"
    vorn_pause 2
    import -window root "$work/shot.png"
    read -r w h red green blue lit < <(screen_stats "$work/shot.png")
    echo "$1: screen ${w}x$h, max red $red green $green blue $blue, $lit blue pixels"
    { [ "$red" -eq 0 ] && [ "$green" -eq 0 ]; } || fail "$1: the grey desktop shows"
    { [ "$blue" -gt 0 ] && [ "$lit" -gt 0 ]; } || fail "$1: no trail"
    vorn_await 30 trail_centred_at "$4" || fail "$1: the trail is not centred on $4 ($centre)"
    echo "$1: the trail is centred on $centre"
    expect_running "$saver_pid" "$1"
}

# trail_centred_at X,Y: a screenshot's lit pixels lie in a box whose centre
# ($centre) is within 100 pixels of X,Y in both directions. The circle's
# radius pulses, so its box is centred only roughly; a picture that did not
# start again stays centred on the old screen, 160 pixels away or more.
trail_centred_at() {
    local box bw bh bx by
    import -window root "$work/trail.png"
    box=$(convert "$work/trail.png" -channel B -separate +channel -threshold 0 -format "%@" info:)
    IFS='x+' read -r bw bh bx by <<<"$box"
    centre="$((bx + bw / 2)),$((by + bh / 2))"
    ((${centre%,*} - ${1%,*} <= 100 && ${1%,*} - ${centre%,*} <= 100 &&
        ${centre#*,} - ${1#*,} <= 100 && ${1#*,} - ${centre#*,} <= 100))
}

start_saver /s
wait_for_window "Screen Saver"
vorn_pause 1
covers "two monitors from the start" "-1024,0,1280,1024" "$(wine "$driver" rect | tr -d '\r')" 1152,512

xrandr --addmode DUMMY2 1024x768
xrandr --output DUMMY2 --mode 1024x768 --right-of DUMMY0
await_virtual "-1024,0,2304,1024"
covers "a monitor added on the right" "-1024,0,2304,1024" "$(wine "$driver" change | tr -d '\r')" \
    1664,512

xrandr --output DUMMY0 --mode 1600x1200 --output DUMMY2 --pos 2624x0
await_virtual "-1024,0,2624,1200"
covers "the primary at 1600 x 1200" "-1024,0,2624,1200" "$(wine "$driver" change | tr -d '\r')" \
    1824,600

xdotool key Escape
expect_exit "$saver_pid" 0 "closed by a key after the changes"
wine reg delete "$settings_key" /f >/dev/null 2>&1
