#!/bin/bash
# The first run stores the default settings under the saver's key: exactly
# these ten values, whatever the build's own table says.
source "$(dirname "${BASH_SOURCE[0]}")/support/saver.bash" "$1"

timeout 60 wine reg delete "$settings_key" /f >/dev/null 2>&1
if timeout 60 wine reg query "$settings_key" >/dev/null 2>&1; then fail "the key is still there"; fi

start_saver /s
wait_for_window "Screen Saver"
vorn_pause 1
xdotool key space
expect_exit "$saver_pid" 0 "first run"

values=$(timeout 60 wine reg query "$settings_key" | tr -d '\r')
echo "$values"
# name, stored default: the reason
while read -r name hex why; do
    grep -Eq "^ +$name +REG_DWORD +$hex\$" <<<"$values" || fail "$name is not $hex ($why)"
done <<'EOF'
Showtime 0xb4       180 seconds a phase
Speed    0xa        a pause of 10 ms after each frame
Algorithm 0x6       a random motion each phase
Infinity 0x1        phases never end on time
Color    0xff0000   blue (0x00BBGGRR)
Rainbow  0x0        the one colour
Mode     0x0        colours add and wrap
Round    0x0        square spots
LineNew  0x0        the classic step bounds of the linear motions
FPS      0x0        no frame counter
EOF
[ "$(grep -c REG_DWORD <<<"$values")" -eq 10 ] || fail "not 10 values"
echo "ok: the 10 defaults"
