# Sourced by the end-to-end scripts (argument: the build folder). Starts the
# real saver under Wine, waits for its window, reads screenshots, and on exit
# kills whatever saver it started, so a failing script cannot hang the run.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../../scripts/lib/await.sh"
build="$(cd "$1" && pwd)"
saver="$build/Vorn.scr"
# shellcheck disable=SC2034 # for the scripts that source this file
source "$(dirname "${BASH_SOURCE[0]}")/../../../scripts/lib/settings-key.sh"
# shellcheck disable=SC2034 # for the scripts that source this file
settings_key="$vorn_settings_key"
work="$(mktemp -d "$build/e2e.XXXXXX")"
started=()

cleanup() {
    local pid
    for pid in "${started[@]}"; do kill -9 "$pid" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    if [ -s "${saver_errors:-}" ]; then
        echo "the saver's error output:" >&2
        tail -n 20 "$saver_errors" >&2
    fi
    exit 1
}

# fresh_prefix NAME: this test's own new Wine prefix, $build/NAME, made and
# its server kept alive; $drive is its drive C. When the test ends the server
# is ended and the prefix removed (kept for a look when the test failed).
fresh_prefix() {
    export WINEPREFIX="$build/$1"
    # shellcheck disable=SC2034 # for the scripts that source this file
    drive="$WINEPREFIX/drive_c"
    rm -rf "$WINEPREFIX"
    trap stop_prefix EXIT
    timeout 180 wine wineboot.exe -i >/dev/null 2>&1
    wineserver -p >/dev/null 2>&1
}
stop_prefix() {
    local code=$?
    wineserver -k >/dev/null 2>&1
    [ $code -eq 0 ] && rm -rf "$WINEPREFIX"
    cleanup
}

# settings_table: "Name default" a line for each stored setting, in the order
# of the build's own settings table; fails when there is none.
settings_table() {
    wine "$build/vorn-render.exe" --settings | tr -d '\r' | grep .
}

# check WHAT COMMAND...: one check of several, counted in $failures.
failures=0
check() {
    local what="$1"
    shift
    if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}

# start_saver ARGS...: the saver in the background; its process id in
# $saver_pid, what it writes to its error output in $saver_errors (Wine's and
# X's complaints: a lost display ends it with 1).
start_saver() {
    saver_errors="$work/saver.${#started[@]}.err"
    wine "$saver" "$@" >/dev/null 2>"$saver_errors" &
    saver_pid=$!
    started+=("$saver_pid")
}

# await_exit PID SECONDS: sets $exit_code to the process's exit code, or to
# "running" if it has not ended within SECONDS. (Not in a subshell: only this
# shell can collect its children's codes.)
await_exit() {
    exit_code=running
    if vorn_await "$2" ended "$1"; then
        wait "$1"
        exit_code=$?
    fi
}

ended() { ! kill -0 "$1" 2>/dev/null; }

# wait_for_window TITLE [SECONDS]: until a window with exactly this title
# exists. For the saver's own, it fails at once if the saver has ended.
wait_for_window() {
    local pid=""
    [ "$1" = "Screen Saver" ] && pid="${saver_pid:-}"
    vorn_await "${2:-20}" window_or_end "$1" "$pid" || fail "no window \"$1\" appeared"
    window_exists "$1" && return
    wait "$pid"
    fail "no window \"$1\" appeared: the saver ended with $?"
}
window_or_end() { window_exists "$1" || { [ -n "$2" ] && ended "$2"; }; }

window_exists() { xdotool search --name "^$1\$" >/dev/null 2>&1; }

# expect_exit PID CODE WHAT: the process ends with CODE within 20 seconds,
# by itself: a program that `wineserver -k` ends also gives 0, so the
# prefix's server must still be running when it has.
expect_exit() {
    await_exit "$1" 20
    [ "$exit_code" = "$2" ] || fail "$3: exit code $exit_code, expected $2"
    server_running || fail "$3: exit code $exit_code, but the prefix's Wine server had ended: it was ended with it"
    echo "ok: $3 (exit $exit_code)"
}

# server_running: the Wine server of $WINEPREFIX runs (it works in a folder
# named after the prefix's device and inode).
server_running() {
    local name pid
    name=$(printf 'server-%x-%x' "$(stat -c %d "$WINEPREFIX")" "$(stat -c %i "$WINEPREFIX")")
    for pid in $(pgrep wineserver); do
        [[ "$(readlink "/proc/$pid/cwd")" == */"$name" ]] && return 0
    done
    return 1
}

expect_running() {
    kill -0 "$1" 2>/dev/null || fail "$2: the saver is no longer running"
    echo "ok: $2 (still running)"
}

# screen_stats FILE: "width height maxRed maxGreen maxBlue bluePixels"
screen_stats() {
    local size blue
    size=$(identify -format "%w %h" "$1")
    blue=$(convert "$1" -channel B -separate -threshold 0 -format "%[fx:round(mean*w*h)]" info:)
    echo "$size $(convert "$1" -format \
        "%[fx:round(255*maxima.r)] %[fx:round(255*maxima.g)] %[fx:round(255*maxima.b)]" info:) $blue"
}

# installed_saver_runs: the saver at $saver (an installed one) runs full
# screen, draws a blue trail on black and closes with 0 on a key.
installed_saver_runs() {
    local red green blue lit
    start_saver /s
    wait_for_window "Screen Saver" 60
    vorn_pause 2
    import -window root "$work/shot.png"
    read -r _ _ red green blue lit < <(screen_stats "$work/shot.png")
    { [ "$red$green" = 00 ] && [ "$blue" -gt 0 ] && [ "$lit" -gt 0 ]; } ||
        fail "the installed saver drew red $red green $green blue $blue, $lit blue pixels"
    xdotool key space
    expect_exit "$saver_pid" 0 "the installed saver drew its trail and closed"
}
