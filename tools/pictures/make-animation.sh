#!/bin/bash
# Makes docs/vorn.gif, the README's animated picture: the real engine drawn by
# vorn-render (seed 1) after more and more frames, one picture each, joined
# into a looping GIF with imagemagick.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/prepare.sh"
options=(--width 320 --height 240 --Algorithm 3 --Rainbow 1 --Mode 1 --seed 1)
pictures=36 frames_between=100

trap vorn_stop EXIT
vorn_start_display
vorn_start_wine || true # a server already running is fine

work="$(mktemp -d)"
for ((picture = 1; picture <= pictures; picture++)); do
    (cd "$work" && wine "$build_arch/vorn-render.exe" "${options[@]}" \
        --frames $((picture * frames_between)) --out "$(printf '%03d' "$picture").bmp")
done
# The last picture stays a while before the loop starts again.
convert -delay 8 "$work"/*.bmp -delay 150 "$work/$(printf '%03d' "$pictures").bmp" \
    -loop 0 -layers Optimize "$root/docs/vorn.gif"
rm -rf "$work"
echo "$root/docs/vorn.gif: vorn-render.exe ${options[*]}, every $frames_between frames"
