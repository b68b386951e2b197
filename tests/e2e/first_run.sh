#!/bin/bash
# The first run stores the default settings under the saver's key.
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
table=$(settings_table) || fail "no settings table from vorn-render"
while read -r name default; do
    hex=$(printf '0x%x' "$default")
    grep -Eq "^ +$name +REG_DWORD +$hex\$" <<<"$values" || fail "$name is not $hex"
done <<<"$table"
count=$(wc -l <<<"$table")
[ "$(grep -c REG_DWORD <<<"$values")" -eq "$count" ] || fail "not $count values"
echo "ok: $count defaults"
