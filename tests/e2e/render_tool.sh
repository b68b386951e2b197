#!/bin/bash
# vorn-render's contract: bad options end with one usage line and exit code 2;
# the BMP holds the surface bytes; the settings reach the engine as a load
# would make them of stored ones; the settings key is left exactly as it was.
# Usage: render_tool.sh <build-dir>   (DISPLAY and WINEPREFIX set)
set -uo pipefail
build="$(cd "$1" && pwd)"
render="$build/vorn-render.exe"
work="$build/render-tool"
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/settings-key.sh"
key="$vorn_settings_key"
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
failures=0
fail() {
    echo "FAIL $*"
    failures=$((failures + 1))
}

# Leave the key as this test found it.
wine reg export "$key" before.reg >/dev/null 2>&1 && had_key=1 || had_key=0
# shellcheck disable=SC2317 # run by the EXIT trap below
restore_key() {
    wine reg delete "$key" /f >/dev/null 2>&1
    [ "$had_key" -eq 1 ] && wine reg import before.reg >/dev/null 2>&1
}
trap restore_key EXIT

# Number of pixels that are not black, from imagemagick's histogram.
lit_pixels() {
    convert "$1" -format %c histogram:info:- |
        awk '!/#000000/ { sub(":", "", $1); n += $1 } END { print n + 0 }'
}
channel_max() { convert "$1" -channel "$2" -separate -format '%[fx:maxima*255]' info:; }

# --- Bad options.
bad_cases=(
    "--bogus 1"
    "--width"
    "--width 0 --out x.bmp"
    "--width abc --out x.bmp"
    "--height 20000 --out x.bmp"
    "--frames -1 --out x.bmp"
    "--seed 12x --out x.bmp"
    "--Speed --out x.bmp"
    "--Color 0xZZ --out x.bmp"
    "stray --out x.bmp"
    "--frames 5"
)
for args in "${bad_cases[@]}"; do
    # shellcheck disable=SC2086
    wine "$render" $args >out.txt 2>err.txt
    rc=$?
    [ "$rc" -eq 2 ] || fail "'$args' exited $rc, not 2"
    { [ "$(wc -l <err.txt)" -eq 1 ] && grep -q '^usage: vorn-render' err.txt; } ||
        fail "'$args' did not print one usage line: $(cat err.txt)"
    [ ! -s out.txt ] || fail "'$args' printed on stdout"
done
[ ! -e x.bmp ] || fail "a bad command line wrote a picture"

# --- The BMP: header, size and the surface's padded rows (401 * 3 -> 1204).
wine "$render" --width 401 --height 301 --frames 1 --out odd.bmp || fail "odd size: exit $?"
[ "$(stat -c %s odd.bmp)" -eq $((54 + 1204 * 301)) ] || fail "odd.bmp has $(stat -c %s odd.bmp) bytes"
[ "$(head -c 2 odd.bmp)" = BM ] || fail "odd.bmp is not a BMP"
[ "$(identify -format '%w %h' odd.bmp)" = "401 301" ] || fail "odd.bmp is not 401 x 301"
# Frame 1 clears the surface and stamps one 5 x 5 square (height 301).
[ "$(lit_pixels odd.bmp)" -eq 25 ] || fail "one frame lit $(lit_pixels odd.bmp) pixels, not 25"

wine "$render" --width 64 --height 48 --frames 0 --out none.bmp || fail "zero frames: exit $?"
[ "$(tail -c +55 none.bmp | tr -d '\0' | wc -c)" -eq 0 ] || fail "zero frames: surface not black"

# --- Same options, same picture; another seed, another picture.
{ wine "$render" --frames 500 --out a.bmp && wine "$render" --frames 500 --out b.bmp &&
    wine "$render" --frames 500 --seed 2 --out c.bmp; } || fail "renders for the seed check failed"
cmp -s a.bmp b.bmp || fail "the same seed gave different pictures"
cmp -s a.bmp c.bmp && fail "seeds 1 and 2 gave the same picture"

# --- Settings reach the engine: Mode 2 ramps red only; a red colour adds no blue.
wine "$render" --Algorithm 3 --Mode 2 --Color 0xFF0000 --out mode2.bmp || fail "Mode 2: exit $?"
{ [ "$(channel_max mode2.bmp B)" = 0 ] && [ "$(channel_max mode2.bmp R)" != 0 ]; } ||
    fail "Mode 2 picture is not red only"
wine "$render" --Algorithm 4 --Color 0x0000FF --out red.bmp || fail "red: exit $?"
{ [ "$(channel_max red.bmp B)" = 0 ] && [ "$(channel_max red.bmp R)" != 0 ]; } ||
    fail "--Color 0x0000FF did not draw red"

# --- The simulated clock: Speed ms per frame. The phase that frame 3 starts at
# second 0 ends with Showtime 2 on the first frame at 3000 ms, frame 301, which
# clears the surface and stamps once. With Speed 0 time stands still.
for frames in 300 301; do
    wine "$render" --frames $frames --Showtime 2 --Infinity 0 --Algorithm 3 --out clock$frames.bmp ||
        fail "clock render: exit $?"
done
[ "$(lit_pixels clock300.bmp)" -gt 81 ] || fail "the phase ended before frame 301"
[ "$(lit_pixels clock301.bmp)" -eq 81 ] || fail "the phase did not end on frame 301"
wine "$render" --frames 301 --Showtime 0 --Infinity 0 --Speed 0 --Algorithm 3 --out still.bmp ||
    fail "Speed 0 render: exit $?"
[ "$(lit_pixels still.bmp)" -gt 81 ] || fail "with Speed 0 a phase ended on time"
# A pause that a load corrects (above 999 ms) runs as 20 ms: the phase ends on frame 151.
for frames in 150 151; do
    wine "$render" --frames $frames --Showtime 2 --Infinity 0 --Speed 5000 --Algorithm 3 \
        --out slow$frames.bmp || fail "Speed 5000 render: exit $?"
done
{ [ "$(lit_pixels slow150.bmp)" -gt 81 ] && [ "$(lit_pixels slow151.bmp)" -eq 81 ]; } ||
    fail "Speed 5000 did not run as 20 ms"

# --- The key: absent stays absent (with its new parents), present stays as it was.
wine reg delete 'HKCU\Software\Kervolan' /f >/dev/null 2>&1
wine "$render" --frames 10 --Speed 3 --out k1.bmp || fail "absent key run: exit $?"
wine reg query 'HKCU\Software\Kervolan' >/dev/null 2>&1 && fail "the run left HKCU\\Software\\Kervolan behind"

wine reg add "$key" /v Speed /t REG_DWORD /d 77 /f >/dev/null
wine reg add "$key" /v Note /t REG_SZ /d "left by someone" /f >/dev/null
wine reg query "$key" >key-before.txt
wine "$render" --frames 10 --Speed 3 --Algorithm 2 --FPS 1 --out k2.bmp || fail "present key run: exit $?"
wine reg query "$key" >key-after.txt
cmp -s key-before.txt key-after.txt || fail "the key changed: $(diff key-before.txt key-after.txt)"

if [ "$failures" -eq 0 ]; then echo "render_tool: all checks passed"; fi
exit $((failures > 0))
