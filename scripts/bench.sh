#!/bin/bash
# Measures what the saver costs beside the least that its kind of loop costs:
# for each build this machine runs, under Wine on virtual screens of our own.
#
#   scripts/bench.sh [--rounds N] [--seconds S] [--pairs N] [--screen WxH]
#                    [--big-screen WxH] [--saver FILE]
#
# The whole program: each round runs, one after the other, `Vorn.scr /s`, the
# floor program (tools/vorn-floor.cpp: the bare paint loop with the saver's
# window class and styles and a surface of the same size) and the bench host
# (tools/vorn-bench-host.cpp: the real saver with its paints counted), at the
# default settings and then at Speed 0 (the floor sleeping 0 ms); at the
# defaults also the floor making the calls that the saver's frame cycle
# requires on top of its own ("calls"). The order turns around every round. Each run measures S seconds (default 6) after a
# second of warm-up: CPU of the program, the Wine server and the X server
# (from /proc), resident memory, and frames per second. Each figure is the
# median of N rounds (default 4), each comparison the median and range of
# the per-round ratios. The engine: tools/vorn-bench.cpp on a visible window
# at 800 x 600, 1920 x 1080 and 3840 x 2160 (--big-screen), N pairs of
# batches a figure (--pairs, default 21), and the memory of saver and floor
# on that screen. --saver measures another Vorn.scr of the same build in place
# of this one's (an earlier one, say, to see what a change did; the frames a
# second still come from the bench host of these sources). About five minutes
# with the defaults, eight with --rounds 8.
#
# Writes build/bench.json and build/bench.md (printed too). It measures and
# prints; it never fails on a slow machine. The settings key of the build's
# prefix is put back as it was.
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
        if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
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
    [ -n "$1" ] && [ -d "/proc/$1" ] || {
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
        wine "$build_arch/vorn-floor.exe" "$([ "$speed" = speed0 ] && echo 0 || echo 10)" \
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
        fps=$(awk '/^paints/ {print $6}' "$out")
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

# --- statistics over the lines of a file ---

# stats FILE: "median q1 q3 min max n" of the numbers in FILE, one a line.
stats() {
    sort -g "$1" | awk '{v[NR] = $1}
        function q(f,   at, lo) { at = 1 + f * (NR - 1); lo = int(at)
            return lo >= NR ? v[NR] : v[lo] + (v[lo + 1] - v[lo]) * (at - lo) }
        END { if (NR == 0) { print "0 0 0 0 0 0"; exit }
              printf "%.4g %.4g %.4g %.4g %.4g %d\n", q(0.5), q(0.25), q(0.75), v[1], v[NR], NR }'
}

# column RESULTS KIND SPEED FIELD -> file of that field's values over the rounds
column() {
    local file="$work/col.$2.$3.$4"
    awk -v kind="$2" -v speed="$3" -v f="$4" '$1 == kind && $2 == speed && $(f) != "-" {print $(f)}' \
        "$1" >"$file"
    echo "$file"
}

# per-round ratio (or difference with "-") of FIELD between two kinds
paired() { # RESULTS SPEED KIND_A KIND_B FIELD OP
    local file="$work/pair.$2.$3.$4.$5"
    awk -v speed="$2" -v a="$3" -v b="$4" -v f="$5" -v op="$6" '
        $2 == speed && $(f) != "-" { value[$1, $3] = $(f); seen[$3] = 1 }
        END { for (r in seen) if ((a, r) in value && (b, r) in value)
                  print op == "-" ? value[a, r] - value[b, r] : value[a, r] / value[b, r] }' \
        "$1" >"$file"
    echo "$file"
}

json_stats() { # FILE -> {"median":..}
    stats "$1" | awk '{printf "{\"median\": %s, \"q1\": %s, \"q3\": %s, \"min\": %s, \"max\": %s, \"n\": %s}", $1, $2, $3, $4, $5, $6}'
}

median() { stats "$1" | awk '{print $1}'; }
spread() { stats "$1" | awk -v f="${2:-%.2f}" '{printf f " (" f "–" f ")", $1, $4, $5}'; }

# --- the whole program ---

# Results are lines "KIND SPEED ROUND cpu_program cpu_wineserver cpu_x fps rss heap".
whole_program() {
    local results="$work/program-$VORN_ARCH" speed round kind
    : >"$results"
    for speed in defaults speed0; do
        use_settings "$speed"
        for ((round = 1; round <= rounds; round++)); do
            local order="saver floor host"
            [ "$speed" = defaults ] && order="saver floor calls host"
            [ $((round % 2)) -eq 0 ] && order=$(echo "$order" | awk '{for (i = NF; i > 0; i--) printf "%s ", $i}')
            for kind in $order; do
                echo "$kind $speed $round $(run "$kind" "$speed" "$seconds")" >>"$results"
            done
            echo "  $speed, round $round of $rounds done" >&2
        done
    done
    echo "$results"
}

# total CPU (program + servers) as field 10
with_total() { awk '{print $0, $4 + $5 + $6}' "$1" >"$1.total" && echo "$1.total"; }

target_mark() { # VALUE OP LIMIT
    awk -v v="$1" -v op="$2" -v l="$3" 'BEGIN {ok = op == "<=" ? v <= l : v >= l; print ok ? "met" : "**missed**"}'
}

program_markdown() { # RESULTS-with-total ARCH
    local r=$1 cpu fps rss
    cpu=$(paired "$r" defaults saver floor 10 /)
    fps=$(paired "$r" defaults host floor 7 /)
    rss=$(paired "$r" defaults saver floor 8 -)
    echo
    echo "#### Whole program, $(vorn_arch_name "$2") build, ${screen/x/ x } screen: $rounds rounds of ${seconds}-second runs"
    echo
    echo "Medians over the rounds; Vorn ÷ floor: median (min–max) of the per-round ratios."
    echo
    echo "| Default settings | Vorn | Floor | Vorn ÷ floor | Target | |"
    echo "|---|---:|---:|---:|---:|---|"
    echo "| CPU, % of one core: program + Wine server + X server | $(spread "$(column "$r" saver defaults 10)") | $(spread "$(column "$r" floor defaults 10)") | $(spread "$cpu") | ≤ 1.2 | $(target_mark "$(median "$cpu")" "<=" 1.2) |"
    local label field
    for field in 4:program 5:"Wine server" 6:"X server"; do
        label=${field#*:} field=${field%%:*}
        echo "| … $label | $(spread "$(column "$r" saver defaults "$field")") | $(spread "$(column "$r" floor defaults "$field")") | $(spread "$(paired "$r" defaults saver floor "$field" /)") | | |"
    done
    echo "| Frames per second (Vorn counted by the bench host) | $(spread "$(column "$r" host defaults 7)") | $(spread "$(column "$r" floor defaults 7)") | $(spread "$fps" "%.3f") | ≥ 0.95 | $(target_mark "$(median "$fps")" ">=" 0.95) |"
    echo "| Resident memory, MB (Vorn − floor) | $(spread "$(column "$r" saver defaults 8)" "%.1f") | $(spread "$(column "$r" floor defaults 8)" "%.1f") | +$(spread "$rss" "%.1f") | ≤ +8 | $(target_mark "$(median "$rss")" "<=" 8) |"
    echo "| … of which the C heap of Wine's Unix side | $(spread "$(column "$r" saver defaults 9)" "%.1f") | $(spread "$(column "$r" floor defaults 9)" "%.1f") | | | |"
    echo
    echo "The floor making the calls that the saver's frame cycle requires on top of its own (the calendar time read, the surface selected into its memory DC and out again around the copy), beside the floor and beside Vorn:"
    echo
    echo "| Default settings | Floor + calls | ÷ floor | Vorn ÷ floor + calls |"
    echo "|---|---:|---:|---:|"
    echo "| CPU, % of one core: program + Wine server + X server | $(spread "$(column "$r" calls defaults 10)") | $(spread "$(paired "$r" defaults calls floor 10 /)") | $(spread "$(paired "$r" defaults saver calls 10 /)") |"
    echo "| … program | $(spread "$(column "$r" calls defaults 4)") | $(spread "$(paired "$r" defaults calls floor 4 /)") | $(spread "$(paired "$r" defaults saver calls 4 /)") |"
    echo "| Frames per second | $(spread "$(column "$r" calls defaults 7)") | $(spread "$(paired "$r" defaults calls floor 7 /)" "%.3f") | $(spread "$(paired "$r" defaults host calls 7 /)" "%.3f") |"
    echo
    echo "| Speed 0 (the floor sleeps 0 ms) | Vorn | Floor | Vorn ÷ floor |"
    echo "|---|---:|---:|---:|"
    echo "| CPU, % of one core: program + Wine server + X server | $(spread "$(column "$r" saver speed0 10)") | $(spread "$(column "$r" floor speed0 10)") | $(spread "$(paired "$r" speed0 saver floor 10 /)") |"
    echo "| Frames per second | $(spread "$(column "$r" host speed0 7)" "%.0f") | $(spread "$(column "$r" floor speed0 7)" "%.0f") | $(spread "$(paired "$r" speed0 host floor 7 /)" "%.3f") |"
}

program_json() { # RESULTS-with-total
    local r=$1 speed kind first=1
    printf '"program": {'
    for speed in defaults speed0; do
        [ $first -eq 1 ] || printf ', '
        first=0
        printf '"%s": {"cpu_ratio": %s, "fps_ratio": %s, "rss_extra_mb": %s, "cpu_ratio_to_calls": %s' "$speed" \
            "$(json_stats "$(paired "$r" "$speed" saver floor 10 /)")" \
            "$(json_stats "$(paired "$r" "$speed" host floor 7 /)")" \
            "$(json_stats "$(paired "$r" "$speed" saver floor 8 -)")" \
            "$(json_stats "$(paired "$r" "$speed" saver calls 10 /)")"
        for kind in saver floor host calls; do
            printf ', "%s": {"cpu_total_pct": %s, "cpu_program_pct": %s, "cpu_wineserver_pct": %s, "cpu_x_pct": %s, "fps": %s, "rss_mb": %s, "heap_mb": %s}' \
                "$kind" "$(json_stats "$(column "$r" "$kind" "$speed" 10)")" \
                "$(json_stats "$(column "$r" "$kind" "$speed" 4)")" \
                "$(json_stats "$(column "$r" "$kind" "$speed" 5)")" \
                "$(json_stats "$(column "$r" "$kind" "$speed" 6)")" \
                "$(json_stats "$(column "$r" "$kind" "$speed" 7)")" \
                "$(json_stats "$(column "$r" "$kind" "$speed" 8)")" \
                "$(json_stats "$(column "$r" "$kind" "$speed" 9)")"
        done
        printf '}'
    done
    printf '}'
}

# --- the machine ---

machine_json() {
    printf '{"cpu": "%s", "cores": %s, "kernel": "%s", "wine": "%s", "load_before": "%s", "load_after": "%s", "date": "%s"}' \
        "$(awk -F': ' '/^model name/ {print $2; exit}' /proc/cpuinfo)" "$(nproc)" "$(uname -r)" \
        "$(wine --version 2>/dev/null)" "$load_before" "$(cut -d' ' -f1-3 /proc/loadavg)" \
        "$(date -u +%Y-%m-%dT%H:%MZ)"
}

# --- main ---

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
md="$work/bench.md"
json_builds=()
{
    echo "Measured by \`scripts/bench.sh --rounds $rounds --seconds $seconds --pairs $pairs\` on $(date -u +%Y-%m-%d):"
    echo "$(awk -F': ' '/^model name/ {print $2; exit}' /proc/cpuinfo), $(nproc) cores, Linux $(uname -r), $(wine --version 2>/dev/null), Xvfb;"
    echo "load average $load_before at the start."
    [ -z "$saver_file" ] || echo "Vorn: $saver_file (frames per second: the bench host of these sources)."
} >"$md"
for arch in $VORN_ARCHS; do
    vorn_use_arch "$arch"
    echo "=== $(vorn_arch_name "$arch") build: the engine on a ${big_screen/x/ x } screen" >&2
    start_screen "$big_screen"
    save_settings
    use_settings defaults
    wine "$build_arch/vorn-bench.exe" --pairs "$pairs" --json "$work/engine.json" >"$work/engine.md"
    big="$work/big-$arch"
    for kind in saver floor; do echo "$kind defaults 1 $(run "$kind" defaults 3)" >>"$big"; done
    restore_settings
    stop_screen

    echo "=== $(vorn_arch_name "$arch") build: the whole program on a ${screen/x/ x } screen" >&2
    start_screen "$screen"
    save_settings
    results=$(with_total "$(whole_program)")
    restore_settings
    stop_screen

    {
        program_markdown "$results" "$arch"
        echo
        echo "Resident memory on the ${big_screen/x/ x } screen: Vorn $(awk '$1 == "saver" {print $8}' "$big") MB, floor $(awk '$1 == "floor" {print $8}' "$big") MB (C heap $(awk '$1 == "saver" {print $9}' "$big") and $(awk '$1 == "floor" {print $9}' "$big") MB)."
        echo
        echo "#### Engine, $(vorn_arch_name "$arch") build"
        echo
        cat "$work/engine.md"
    } >>"$md"
    json_builds+=("{\"arch\": \"$arch\", \"screen\": \"$screen\", \"rounds\": $rounds, \"seconds\": $seconds, $(program_json "$results"), \"big_screen\": {\"screen\": \"$big_screen\", \"saver_rss_mb\": $(awk '$1 == "saver" {print $8}' "$big"), \"floor_rss_mb\": $(awk '$1 == "floor" {print $8}' "$big")}, \"engine\": $(cat "$work/engine.json")}")
done

mkdir -p "$build"
cp "$md" "$build/bench.md"
{
    printf '{"machine": %s,\n "saver": "%s",\n "builds": [' "$(machine_json)" "${saver_file:-Vorn.scr of the build}"
    (IFS=,; printf '%s' "${json_builds[*]}")
    printf ']}\n'
} >"$build/bench.json"
cat "$build/bench.md"
echo
echo "written: $build/bench.md, $build/bench.json"
