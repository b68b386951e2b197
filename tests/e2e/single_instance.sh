#!/bin/bash
# A second full-screen start while one runs ends at once with 0 and leaves
# the first one running.
source "$(dirname "${BASH_SOURCE[0]}")/support/saver.bash" "$1"

start_saver /s
first=$saver_pid
wait_for_window "Screen Saver"
vorn_pause 1

start_saver /s
expect_exit "$saver_pid" 0 "the second \"/s\" ends"
vorn_pause 1
expect_running "$first" "the first saver"
[ "$(xdotool search --name '^Screen Saver$' | wc -l)" -eq 1 ] || fail "not exactly one saver window"
echo "ok: one saver window"

xdotool key space
expect_exit "$first" 0 "the first saver closed by a key"
