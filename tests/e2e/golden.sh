#!/bin/bash
# Renders every picture listed in tests/golden/renders-<arch>.txt (the file of
# the build under test: VORN_ARCH x86 or x64) with vorn-render and compares
# the SHA-256 of its BMP with the committed one. A picture that differs is
# kept in <build>/golden/ for a look. Every motion that vorn-render lists must
# have its row: named after it in lower case with '-' between words, options
# "--Algorithm <its value>". With --update the list is rewritten with the new
# sums instead, and a missing motion's row added (tools/pictures/regen-goldens.sh).
# Usage: golden.sh <build-dir> [--update]   (DISPLAY, WINEPREFIX, VORN_ARCH set)
set -uo pipefail
build="$(cd "${1:?usage: golden.sh <build-dir> [--update]}" && pwd)"
update="${2:-}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
list="$root/tests/golden/renders-${VORN_ARCH:-x86}.txt"
render="$build/vorn-render.exe"
work="$build/golden"
common=(--width 800 --height 600 --frames 3000 --seed 1)

[ -f "$render" ] || { echo "golden: $render is missing (build first)"; exit 1; }
rm -rf "$work" && mkdir -p "$work"
failed=0
checked=0
mapfile -t listed <"$list"
motions=0
while read -r value title; do
    motions=$((motions + 1))
    name="$(echo "$title" | tr 'A-Z ' 'a-z-')"
    grep -qE "^$name +[0-9a-f]{64} +--Algorithm $value\$" "$list" && continue
    if [ "$update" = "--update" ]; then
        listed+=("$(printf '%-20s %s  %s' "$name" - "--Algorithm $value")")
    else
        echo "FAIL $title: no row '$name <sha256> --Algorithm $value' (tools/pictures/regen-goldens.sh adds it)"
        failed=1
    fi
done < <(wine "$render" --motions | tr -d '\r')
[ "$motions" -gt 0 ] || { echo "golden: vorn-render listed no motions"; exit 1; }
lines=()
for line in "${listed[@]}"; do
    case "$line" in '' | '#'*) lines+=("$line"); continue ;; esac
    read -r name expected options <<<"$line"
    start=$(date +%s%N)
    # Relative output: the picture lands in the working folder under Wine too.
    # shellcheck disable=SC2086 # options are words by design
    if ! (cd "$work" && wine "$render" "${common[@]}" $options --out "$name.bmp"); then
        echo "FAIL $name: vorn-render failed"
        failed=1
        lines+=("$line")
        continue
    fi
    ms=$((($(date +%s%N) - start) / 1000000))
    actual=$(sha256sum "$work/$name.bmp" | cut -d' ' -f1)
    lines+=("$(printf '%-20s %s  %s' "$name" "$actual" "$options")")
    checked=$((checked + 1))
    if [ "$actual" = "$expected" ]; then
        printf 'ok   %-20s %d ms\n' "$name" "$ms"
        rm -f "$work/$name.bmp"
    elif [ "$update" = "--update" ]; then
        printf 'new  %-20s %s\n' "$name" "$actual"
    else
        echo "FAIL $name: sha256 $actual, expected $expected ($options); kept $work/$name.bmp"
        failed=1
    fi
done

if [ "$update" = "--update" ]; then
    [ "$failed" -eq 0 ] || { echo "golden: not updated, a render failed"; exit 1; }
    printf '%s\n' "${lines[@]}" >"$list"
    echo "golden: wrote $checked sums to $list"
    exit 0
fi
[ "$checked" -gt 0 ] || { echo "golden: no pictures listed"; exit 1; }
exit "$failed"
