#!/bin/bash
# Makes the gallery of docs/rendering.md, docs/gallery/*.png, from the real engine with
# vorn-render (seed 1 throughout), converted to small PNGs with imagemagick:
# one picture of every motion that vorn-render lists (named after it in lower
# case with '-' between words), then the pictures of the settings below.
# Each entry: picture name | vorn-render options | convert options.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/prepare.sh"
gallery="$root/docs/gallery"
declare -A motion_frames=([random-pointer]=20000) # 6000 unless said here
settings_pictures=(
    "rainbow             | --width 400 --height 300 --frames 6000 --Algorithm 2 --Rainbow 1 --Mode 1 |"
    "mode-2              | --width 400 --height 300 --frames 6000 --Algorithm 3 --Mode 2 |"
    # A 16-pixel spot shows the disc; the picture is a 400 x 300 piece at full size.
    "round               | --width 1400 --height 1050 --frames 3000 --Algorithm 1 --Round 1 | -crop 400x300+0+230 +repage"
)

trap vorn_stop EXIT
vorn_start_display
vorn_start_wine || true  # a server already running is fine

pictures=()
while read -r value title; do
    name="$(echo "$title" | tr 'A-Z ' 'a-z-')"
    frames="${motion_frames[$name]:-6000}"
    pictures+=("$name | --width 400 --height 300 --frames $frames --Algorithm $value |")
done < <(wine "$build_arch/vorn-render.exe" --motions | tr -d '\r')
pictures+=("${settings_pictures[@]}")

work="$(mktemp -d)"
mkdir -p "$gallery"
for entry in "${pictures[@]}"; do
    IFS='|' read -r name options convert_options <<<"$entry"
    read -r name <<<"$name" # trims the padding
    # shellcheck disable=SC2086 # options are words by design
    (cd "$work" && wine "$build_arch/vorn-render.exe" --seed 1 $options --out "$name.bmp")
    # No time stamps in the PNG, so a re-run changes nothing that did not change.
    # shellcheck disable=SC2086
    convert "$work/$name.bmp" $convert_options -strip "$gallery/$name.png"
    echo "$name.png: vorn-render.exe --seed 1$options--out $name.bmp${convert_options:+ (convert$convert_options)}"
done
rm -rf "$work"
