#!/bin/bash
# Commands that run no action end with -1 (255 to the shell); a full-screen
# run closed by a key ends with 0.
source "$(dirname "${BASH_SOURCE[0]}")/support/saver.bash" "$1"

for command in "/x" "12 /s" "/p" "/p 0" "/X /s"; do
    # shellcheck disable=SC2086 # the command is split into its words on purpose
    timeout 60 wine "$saver" $command >/dev/null 2>&1
    code=$?
    [ "$code" -eq 255 ] || fail "\"$command\": exit code $code, expected 255"
    echo "ok: \"$command\" (exit $code)"
done

# These name a real window of ours: the pane of the preview host.
for command in "/p:%" "/l:%" "/a %" "/p	%"; do
    output=$(timeout 60 wine "$build/tests/preview_host.exe" run "$command")
    code=$?
    [ "$code" -eq 255 ] || fail "\"$command\": exit code $code, expected 255 ($output)"
    echo "ok: \"$command\" as \"$(sed -n 's/^arguments=//p' <<<"$output" | tr -d '\r')\" (exit $code)"
done

start_saver /s
wait_for_window "Screen Saver"
vorn_pause 1
xdotool key space
expect_exit "$saver_pid" 0 "\"/s\" closed by a key"
