#!/bin/bash
# Measures what the saver costs beside the least that its kind of loop costs:
# for each build this machine runs, under Wine on virtual screens of our own.
#
#   scripts/bench.sh [--rounds N] [--seconds S] [--pairs N] [--screen WxH]
#                    [--big-screen WxH] [--saver FILE]
#
# The whole program: each round runs, one after the other, `Vorn.scr /s`, the
# floor program (tools/bench/vorn-floor.cpp: the bare paint loop with the saver's
# window class and styles and a surface of the same size) and the bench host
# (tools/bench/vorn-bench-host.cpp: the real saver with its paints counted), at the
# default settings and then at Speed 0 (the floor sleeping 0 ms); at the
# defaults also the floor making the calls that the saver's frame cycle
# requires on top of its own ("calls"). The order turns around every round. Each run measures S seconds (default 6) after a
# second of warm-up: CPU of the program, the Wine server and the X server
# (from /proc), resident memory, and frames per second. Each figure is the
# median of N rounds (default 4), each comparison the median and range of
# the per-round ratios. The engine: tools/bench/vorn-bench.cpp on a visible window
# at 800 x 600, 1920 x 1080 and 3840 x 2160 (--big-screen), N pairs of
# batches a figure (--pairs, default 21), and the memory of saver and floor
# on that screen. --saver measures another Vorn.scr of the same build in place
# of this one's (an earlier one, say, to see what a change did; the frames a
# second still come from the bench host of these sources). About five minutes
# with the defaults, eight with --rounds 8.
#
# Writes build/bench.json and build/bench.md (printed too), whose figures and
# tables tools/bench/bench_report.py makes from the runs measured here. It measures
# and prints; it never fails on a slow machine. The settings key of the
# build's prefix is put back as it was.
set -euo pipefail
rounds=4 seconds=6 pairs=21 screen=1920x1080 big_screen=3840x2160 warmup=1 saver_file=""
while [ $# -gt 0 ]; do
    case "$1" in
    --rounds) rounds="$2" ;;
    --seconds) seconds="$2" ;;
    --pairs) pairs="$2" ;;
    --screen) screen="$2" ;;
    --big-screen) big_screen="$2" ;;
    --saver) saver_file="$(realpath "$2")" ;;
    *)
        echo "usage: scripts/bench.sh [--rounds N] [--seconds S] [--pairs N] [--screen WxH]" \
            "[--big-screen WxH] [--saver FILE]" >&2
        exit 2
        ;;
    esac
    shift 2
done

source "$(dirname "${BASH_SOURCE[0]}")/lib/prepare.sh"
work="$(mktemp -d)"
running=()
saved_settings=""

forget() {
    local kept=() pid
    for pid in "${running[@]}"; do [ "$pid" = "$1" ] || kept+=("$pid"); done
    running=("${kept[@]}")
}

finish() {
    local pid
    for pid in "${running[@]}"; do kill "$pid" 2>/dev/null || true; done
    restore_settings
    vorn_stop
    rm -rf "$work"
}
trap finish EXIT

# --- the prefix's settings, put back afterwards ---

save_settings() {
    saved_settings="$work/settings-$VORN_ARCH.reg"
    vorn_save_settings "$saved_settings"
}

restore_settings() {
    [ -n "$saved_settings" ] || return 0
    vorn_restore_settings "$saved_settings"
    saved_settings=""
}

use_settings() { # defaults | speed0
    wine reg delete "$vorn_settings_key" /f >/dev/null 2>&1 || true
    [ "$1" = defaults ] ||
        wine reg add "$vorn_settings_key" /v Speed /t REG_DWORD /d 0 /f >/dev/null 2>&1
}

# --- screens and servers ---

start_screen() { # WxH
    unset DISPLAY
    VORN_SCREEN="${1}x24" vorn_start_display
    vorn_start_wine
    wineserver_pid=""
    local pid
    for pid in $(pgrep -u "$(id -u)" wineserver); do
        if tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qx "WINEPREFIX=$WINEPREFIX"; then
            wineserver_pid=$pid
        fi
    done
}

stop_screen() {
    wineserver -k >/dev/null 2>&1 || true
    kill "$VORN_XVFB_PID" 2>/dev/null || true
    wait "$VORN_XVFB_PID" 2>/dev/null || true
    VORN_XVFB_PID=""
}

# --- measuring one run ---

# CPU time in nanoseconds of a process so far, all its threads; from the
# scheduler's own account where the kernel keeps one, else from clock ticks.
cpu_ns() {
    { [ -n "$1" ] && [ -d "/proc/$1" ]; } || {
        echo 0
        return
    }
    if [ -r "/proc/$1/schedstat" ]; then
        cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ns += $1} END {printf "%.0f\n", ns}'
    else
        sed 's/.*) //' "/proc/$1/stat" |
            awk -v tick="$(getconf CLK_TCK)" '{printf "%.0f\n", ($12 + $13) * 1e9 / tick}'
    fi
}

now_ns() { date +%s%N; }

# Resident memory and, of it, the C heap of Wine's Unix side, in MB.
memory_mb() {
    awk '/^VmRSS:/ {printf "%.1f ", $2 / 1024}' "/proc/$1/status"
    awk '/^[0-9a-f]+-[0-9a-f]+ / {name = $6} /^Rss:/ && name == "[heap]" {kb += $2}
         END {printf "%.1f\n", kb / 1024}' "/proc/$1/smaps"
}

window_up() { xdotool search --name '^Screen Saver$' >/dev/null 2>&1; }
window_gone() { ! window_up; }

said() { grep -q "^$1" "$out"; }

# run KIND SPEED SECONDS: prints "cpu_program cpu_wineserver cpu_x fps rss heap"
# (CPU in % of one core over the measured time; fps "-" where not counted).
run() {
    local kind=$1 speed=$2 measure=$3 pid t0 t1 p0 p1 w0 w1 x0 x1 fps=-
    out="$work/out"
    : >"$out"
    case "$kind" in
    saver) wine "${saver_file:-$build_arch/Vorn.scr}" /s >"$out" 2>/dev/null & ;;
    host) wine "$build_arch/vorn-bench-host.exe" "$warmup" "$measure" >"$out" 2>/dev/null & ;;
    floor | calls)
        wine "$build_arch/vorn-floor.exe" "$([ "$speed" = speed0 ] && echo 0 || echo default)" \
            "$warmup" "$measure" "$kind" >"$out" 2>/dev/null &
        ;;
    esac
    pid=$!
    running+=("$pid")
    if [ "$kind" = saver ]; then
        vorn_await 30 window_up && sleep "$warmup"
    else
        vorn_await $((30 + warmup)) said start || true
    fi
    t0=$(now_ns) p0=$(cpu_ns "$pid") w0=$(cpu_ns "$wineserver_pid") x0=$(cpu_ns "$VORN_XVFB_PID")
    if [ "$kind" = saver ]; then
        sleep "$measure"
    else
        vorn_await $((measure + 30)) said paints || true
        fps=$(tr -d '\r' <"$out" | awk '/^paints/ {print $6}') # a Windows program's lines end in CR LF
    fi
    t1=$(now_ns) p1=$(cpu_ns "$pid") w1=$(cpu_ns "$wineserver_pid") x1=$(cpu_ns "$VORN_XVFB_PID")
    local memory
    memory=$(memory_mb "$pid" 2>/dev/null || echo "- -")
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    forget "$pid"
    vorn_await 10 window_gone || true
    awk -v t="$((t1 - t0))" -v p="$((p1 - p0))" -v w="$((w1 - w0))" -v x="$((x1 - x0))" \
        -v fps="${fps:--}" -v memory="$memory" \
        'BEGIN {printf "%.3f %.3f %.3f %s %s\n", 100 * p / t, 100 * w / t, 100 * x / t, fps, memory}'
}

# --- the whole program ---

# Appends to FILE a line "KIND SPEED ROUND <what run prints>" for each run.
whole_program() { # FILE
    local speed round kind order
    for speed in defaults speed0; do
        use_settings "$speed"
        for ((round = 1; round <= rounds; round++)); do
            order="saver floor host"
            [ "$speed" = defaults ] && order="saver floor calls host"
            [ $((round % 2)) -eq 0 ] && order=$(echo "$order" | awk '{for (i = NF; i > 0; i--) printf "%s ", $i}')
            for kind in $order; do
                echo "$kind $speed $round $(run "$kind" "$speed" "$seconds")" >>"$1"
            done
            echo "  $speed, round $round of $rounds done" >&2
        done
    done
}

# --- main ---

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
report_builds=()
for arch in $VORN_ARCHS; do
    if [ "$arch" = x86 ] && [ "$VORN_X86_LANE" = emulated ]; then
        # Its figures would be the emulator's.
        echo "=== 32-bit build not measured: it runs only through qemu's emulation here ($VORN_X86_WHY)" >&2
        continue
    fi
    vorn_use_arch "$arch"
    measured="$work/$arch"
    mkdir -p "$measured"
    report_builds+=(--build "$arch" "$(vorn_arch_name "$arch")")

    echo "=== $(vorn_arch_name "$arch") build: the engine on a ${big_screen/x/ x } screen" >&2
    start_screen "$big_screen"
    save_settings
    use_settings defaults
    wine "$build_arch/vorn-bench.exe" --pairs "$pairs" --json "$measured/engine.json" >"$measured/engine.md"
    for kind in saver floor; do echo "$kind defaults 1 $(run "$kind" defaults 3)" >>"$measured/big"; done
    restore_settings
    stop_screen

    echo "=== $(vorn_arch_name "$arch") build: the whole program on a ${screen/x/ x } screen" >&2
    start_screen "$screen"
    save_settings
    whole_program "$measured/program"
    restore_settings
    stop_screen
done

mkdir -p "$build"
python3 "$root/tools/bench/bench_report.py" "$work" "${report_builds[@]}" \
    --md "$build/bench.md" --json "$build/bench.json" \
    --rounds "$rounds" --seconds "$seconds" --pairs "$pairs" --screen "$screen" \
    --big-screen "$big_screen" --saver "$saver_file" --wine "$(wine --version 2>/dev/null)" \
    --load-before "$load_before"
cat "$build/bench.md"
echo
echo "written: $build/bench.md, $build/bench.json"
