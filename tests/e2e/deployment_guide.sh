#!/bin/bash
# The settings table of docs/deployment.md, which administrators copy into
# their policies: every stored setting, as a REG_DWORD, with its default, in
# the order of the saver's own table.
source "$(dirname "${BASH_SOURCE[0]}")/support/saver.bash" "$1"
guide="$(dirname "${BASH_SOURCE[0]}")/../../docs/deployment.md"
rows=$(sed -n 's/^| \([A-Za-z]*\) | REG_DWORD | \(-\{0,1\}[0-9]*\) |.*/\1 \2/p' "$guide")
table=$(settings_table) || fail "vorn-render --settings printed nothing"
[ "$rows" = "$table" ] ||
    fail "the guide's settings differ from the saver's table:"$'\n'"$(diff <(echo "$table") <(echo "$rows"))"
echo "ok: the guide lists the $(wc -l <<<"$rows") settings with their types and defaults"
