#!/bin/bash
# The first run stores the ten default settings under the saver's key.
source "$(dirname "${BASH_SOURCE[0]}")/support/saver.bash" "$1"

timeout 60 wine reg delete "$settings_key" /f >/dev/null 2>&1
if timeout 60 wine reg query "$settings_key" >/dev/null 2>&1; then fail "the key is still there"; fi

start_saver /s
wait_for_window "Screen Saver"
sleep 1
xdotool key space
expect_exit "$saver_pid" 0 "first run"

values=$(timeout 60 wine reg query "$settings_key" | tr -d '\r')
echo "$values"
expected="Showtime=0xb4 Speed=0xa Algorithm=0x6 Infinity=0x1 Color=0xff0000 Rainbow=0x0 Mode=0x0 Round=0x0 LineNew=0x0 FPS=0x0"
for pair in $expected; do
    name=${pair%%=*}
    grep -Eq "^ +$name +REG_DWORD +${pair#*=}\$" <<<"$values" || fail "$name is not ${pair#*=}"
done
[ "$(grep -c REG_DWORD <<<"$values")" -eq 10 ] || fail "not ten values"
echo "ok: ten defaults"
