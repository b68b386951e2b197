#!/bin/bash
# Real input through the X server: a key press and a click close the saver;
# mouse travel closes it only once it adds up to more than 4 pixels.
source "$(dirname "${BASH_SOURCE[0]}")/support/saver.bash" "$1"

start_and_settle() {
    xdotool mousemove 500 400
    start_saver /s
    wait_for_window "Screen Saver"
    vorn_pause 1
}

start_and_settle
xdotool key a
expect_exit "$saver_pid" 0 "a key press closes"

start_and_settle
# A single first move after the window appears was seen not to reach it
# under Wine (the test then passed with every move closing): moves of 1 and
# then 3 pixels make sure that one does.
xdotool mousemove 501 400
vorn_pause 0.5
xdotool mousemove 503 401
vorn_pause 1.5
expect_running "$saver_pid" "moves adding up to 4 pixels do not close"
xdotool mousemove 504 401
expect_exit "$saver_pid" 0 "a further pixel (travel 5) closes"

start_and_settle
xdotool click 1
expect_exit "$saver_pid" 0 "a click closes"
