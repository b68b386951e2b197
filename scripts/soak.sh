#!/bin/bash
# scripts/soak.sh MINUTES: runs the full-screen saver for MINUTES minutes with
# a random motion for every phase, a new phase every second and no pause
# (Algorithm 6, Infinity 0, Showtime 0, Speed 0), and says whether it held:
# resident memory within 1 MB and GDI objects unchanged after the first
# minute, no fault (alive at every sample, exit code 0 on a key), and a trail
# on a screenshot at the end (build/soak.png). Prints the samples, the figures
# and a verdict; exits 1 when the verdict is a failure. Not part of the tests.
#
# How it measures. Under Wine GetGuiResources always answers 0, so the saver
# runs inside vorn-soak.exe (tools/soak/vorn-soak.cpp): the same entry as
# "Vorn.scr /s" (HostEntry, the real window, loop and engine), plus a message
# hook that counts the process's live GDI objects between two messages by
# asking GetObjectType about every handle slot, and prints the count. Resident
# memory is the process's VmRSS, read here from /proc. The samples come every
# 10 seconds (VORN_SOAK_EVERY). The build is the one scripts/run.sh would run;
# the screen is 1920 x 1080 unless VORN_SCREEN says otherwise or a display is
# already there. The stored settings of the build's Wine prefix are put back
# afterwards.
set -euo pipefail
minutes="${1:-}"
[[ "$minutes" =~ ^[1-9][0-9]*$ ]] || { echo "usage: scripts/soak.sh MINUTES" >&2; exit 2; }
export VORN_SCREEN="${VORN_SCREEN:-1920x1080x24}"
source "$(dirname "${BASH_SOURCE[0]}")/lib/prepare.sh"
every="${VORN_SOAK_EVERY:-10}"
work="$(mktemp -d "$build/soak.XXXXXX")"
soak_pid=""
saved=""

finish() {
    set +e  # clean up everything, whatever fails
    if [ -n "$soak_pid" ]; then kill "$soak_pid" 2>/dev/null || true; fi
    if [ -n "$saved" ]; then vorn_restore_settings "$saved"; fi
    rm -rf "$work"
    vorn_stop
}
trap finish EXIT

vorn_start_display
vorn_start_wine
echo "soak: $minutes minutes of the $(vorn_arch_name "$vorn_arch") saver, $(xdpyinfo |
    sed -n 's/ *dimensions: *\([0-9x]*\).*/\1/p'), a sample every $every seconds"
saved="$work/saved.reg"
vorn_save_settings "$saved"
wine reg delete "$vorn_settings_key" /f >/dev/null 2>&1 || true
for pair in Algorithm=6 Infinity=0 Showtime=0 Speed=0; do
    wine reg add "$vorn_settings_key" /v "${pair%=*}" /t REG_DWORD /d "${pair#*=}" /f >/dev/null
done

wine "$build_arch/vorn-soak.exe" "$every" >"$work/soak.log" 2>&1 &
soak_pid=$!
if ! vorn_await 20 xdotool search --name '^Screen Saver$' >/dev/null 2>&1; then
    cat "$work/soak.log"
    echo "verdict: no saver window appeared"
    exit 1
fi

echo "measuring process $soak_pid: $(tr '\0' ' ' <"/proc/$soak_pid/cmdline" | sed 's/ *$//')"
samples=()  # "seconds rssKB gdi"
faults=0
start=$SECONDS
printf '%8s %12s %12s %12s\n' seconds "resident KB" "GDI objects" frames
while :; do
    sleep "$every"
    elapsed=$((SECONDS - start))
    if ! kill -0 "$soak_pid" 2>/dev/null; then
        echo "the saver ended by itself after $elapsed seconds"
        faults=1
        break
    fi
    rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$soak_pid/status" 2>/dev/null || echo 0)
    read -r gdi frames < <(awk '$1 == "gdi" {n = $3; f = $4} END {print n, f}' "$work/soak.log")
    printf '%8d %12s %12s %12s\n' "$elapsed" "$rss" "${gdi:-?}" "${frames:-?}"
    samples+=("$elapsed $rss ${gdi:--1}")
    [ "$elapsed" -ge $((minutes * 60)) ] && break
done

import -window root "$build/soak.png"
lit=$(convert "$build/soak.png" -separate -evaluate-sequence Max -threshold 0 \
    -format "%[fx:round(mean*w*h)]" info:)
exit_code=none
soak_ended() { ! kill -0 "$soak_pid" 2>/dev/null; }
if [ "$faults" -eq 0 ]; then
    xdotool key Escape
    if vorn_await 20 soak_ended; then
        wait "$soak_pid" && exit_code=0 || exit_code=$?
        soak_pid=""
    fi
fi

# The figures after the first minute.
read -r rss_min rss_max gdi_min gdi_max count < <(printf '%s\n' "${samples[@]}" | awk '
    $1 >= 60 { n++; if (n == 1 || $2 < rmin) rmin = $2; if ($2 > rmax) rmax = $2
               if (n == 1 || $3 < gmin) gmin = $3; if ($3 > gmax) gmax = $3 }
    END { print rmin + 0, rmax + 0, gmin + 0, gmax + 0, n + 0 }')
rss_spread=$((rss_max - rss_min))
gdi_spread=$((gdi_max - gdi_min))
echo "after the first minute ($count samples): resident $rss_min..$rss_max KB" \
    "(spread $rss_spread KB), GDI objects $gdi_min..$gdi_max (spread $gdi_spread)"
echo "frames: ${frames:-?}; exit code on a key: $exit_code;" \
    "screenshot $build/soak.png: $lit pixels lit"

verdict=held
[ "$count" -gt 0 ] || { echo "no samples after the first minute"; verdict=failed; }
[ "$rss_spread" -le 1024 ] || { echo "resident memory grew"; verdict=failed; }
{ [ "$gdi_spread" -eq 0 ] && [ "$gdi_min" -gt 0 ]; } || { echo "GDI objects changed"; verdict=failed; }
{ [ "$faults" -eq 0 ] && [ "$exit_code" = 0 ]; } || { echo "a fault, or no clean exit"; verdict=failed; }
[ "$lit" -gt 0 ] || { echo "no trail on the screenshot"; verdict=failed; }
echo "verdict: the saver $verdict a $minutes-minute soak"
[ "$verdict" = held ]
