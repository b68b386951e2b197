#!/bin/bash
# Holds the product to layers.txt: every `#include "..."` names a file (beside
# the includer, else from the source root, as compilers look), leaves its
# folder by no `../`, and lands in a folder that the includer's row names;
# every folder named exists and is in the README's Layout. Usage: check.sh ROOT
set -uo pipefail
root="$1" failures=0 count=0
fail() { echo "$*" && failures=$((failures + 1)); }
declare -A may=()
while read -r folder below; do may[$folder]=" $folder $below "; done < <(grep -v '^#' "$(dirname "$0")/layers.txt")
layout=$(sed -n '/^## Layout/,/^## /p' "$root/README.md")
for folder in $(tr ' ' '\n' <<<"${may[*]}" | sort -u); do
    [ -d "$root/$folder" ] || fail "layers.txt: $folder/ is no folder"
    grep -q "\`$folder/\`" <<<"$layout" || fail "README.md: the Layout lacks $folder/"
done
for folder in $(printf '%s\n' "${!may[@]}" | sort); do
    [ -d "$root/$folder" ] || continue
    while IFS=: read -r file line name; do
        count=$((count + 1)) at="$file:$line: \"$name\""
        target=$(realpath -ms --relative-to="$root" "$root/${file%/*}/$name")
        [[ "$name" == *../* && "$target" != "$folder"/* ]] && fail "$at leaves $folder/" && continue
        [ -f "$root/$target" ] || target=$(realpath -ms --relative-to="$root" "$root/$name")
        if [ ! -f "$root/$target" ]; then
            fail "$at names no file"
        elif [[ "${may[$folder]}" != *" ${target%%/*} "* ]]; then
            fail "$at: $folder/ may not include ${target%%/*}/"
        fi
    done < <(cd "$root" && grep -rHnoE --include='*.cpp' --include='*.h' --include='*.rc' \
        '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]*"' "$folder" | sed -E 's/^([^:]*:[0-9]+):[^"]*"(.*)"$/\1:\2/')
done
echo "includes: $count in ${#may[@]} folders, $failures against the layers"
[ "$failures" -eq 0 ]
