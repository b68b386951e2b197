#!/bin/bash
# Makes the README's gallery, docs/gallery/*.png, from the real engine with
# vorn-render (seed 1 throughout), converted to small PNGs with imagemagick.
# Each line below: picture name | vorn-render options | convert options.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/lib/prepare.sh"
gallery="$root/docs/gallery"
pictures=(
    "random-linear       | --width 400 --height 300 --frames 6000 --Algorithm 0 |"
    "random-pointer      | --width 400 --height 300 --frames 20000 --Algorithm 1 |"
    "horizontal-sine     | --width 400 --height 300 --frames 6000 --Algorithm 2 |"
    "circular-bounce     | --width 400 --height 300 --frames 6000 --Algorithm 3 |"
    "polar-coordinates   | --width 400 --height 300 --frames 6000 --Algorithm 4 |"
    "random-linear-angle | --width 400 --height 300 --frames 6000 --Algorithm 5 |"
    "rainbow             | --width 400 --height 300 --frames 6000 --Algorithm 2 --Rainbow 1 --Mode 1 |"
    "mode-2              | --width 400 --height 300 --frames 6000 --Algorithm 3 --Mode 2 |"
    # A 16-pixel spot shows the disc; the picture is a 400 x 300 piece at full size.
    "round               | --width 1400 --height 1050 --frames 3000 --Algorithm 1 --Round 1 | -crop 400x300+0+230 +repage"
)

trap vorn_stop EXIT
vorn_start_display
vorn_start_wine || true  # a server already running is fine

work="$(mktemp -d)"
mkdir -p "$gallery"
for entry in "${pictures[@]}"; do
    IFS='|' read -r name options convert_options <<<"$entry"
    name="$(echo $name)"
    # shellcheck disable=SC2086 # options are words by design
    (cd "$work" && wine "$build_arch/vorn-render.exe" --seed 1 $options --out "$name.bmp")
    # No time stamps in the PNG, so a re-run changes nothing that did not change.
    # shellcheck disable=SC2086
    convert "$work/$name.bmp" $convert_options -strip "$gallery/$name.png"
    echo "$name.png: vorn-render.exe --seed 1$options--out $name.bmp${convert_options:+ (convert$convert_options)}"
done
rm -rf "$work"
