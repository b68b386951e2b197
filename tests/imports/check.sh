#!/bin/bash
# Compares what a built saver imports with its committed list and fails on
# any difference, naming each DLL!function, and on any DLL that is not on
# known-dlls.txt. An import that is not on the list
# must first be checked against the oldest Windows the list is for (the
# header of the list says which), then added on purpose.
# Usage: check.sh <objdump> <saver> <list>
set -uo pipefail
objdump="$1" saver="$2" list="$3"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

[ -f "$saver" ] || { echo "FAIL: $saver is missing"; exit 1; }
# "DLL!function", DLL names upper-cased: the linker keeps the import
# library's spelling, which differs between toolchains.
actual=$("$objdump" -p "$saver" | awk '
    /^\tDLL Name: / { dll = toupper($3); next }
    /^\t[0-9a-f]+\t +[0-9]+  [A-Za-z_]/ && dll != "" { print dll "!" $3 }
    /^$/ { if (dll != "") seen = 1 }' | sort -u)
expected=$(grep -v -e '^#' -e '^$' "$list" | sort -u)
[ -n "$actual" ] || { echo "FAIL: no imports read from $saver"; exit 1; }

status=0
while read -r name; do
    echo "FAIL: $saver imports $name, which is not on ${list##*/tests/}"
    status=1
done < <(comm -23 <(echo "$actual") <(echo "$expected"))
while read -r name; do
    echo "FAIL: ${list##*/tests/} lists $name, which $saver no longer imports"
    status=1
done < <(comm -13 <(echo "$actual") <(echo "$expected"))

# A safety net under the list: functions known to be newer than its oldest
# Windows must never be on it, whoever adds them.
oldest=$(sed -n 's/^# Oldest Windows: *//p' "$list")
newer=()
# shellcheck disable=SC2013 # the line lists file names separated by spaces, by design
for file in $(sed -n 's/^# Newer functions: *//p' "$list"); do newer+=("$here/$file"); done
while read -r name; do
    echo "FAIL: ${list##*/tests/} lists $name, which $oldest does not have"
    status=1
done < <(comm -12 <(echo "$expected") <(cat "${newer[@]}" | grep -v -e '^#' -e '^$' | sort -u))

# Every DLL imported must be one that Windows takes from its system folder
# only, whatever the folder the saver runs from.
while read -r dll; do
    echo "FAIL: $saver imports from $dll, which is not on imports/known-dlls.txt"
    status=1
done < <(comm -23 <(cut -d'!' -f1 <<<"$actual" | sort -u) \
    <(grep -v -e '^#' -e '^$' "$here/known-dlls.txt" | sort -u))

[ $status -eq 0 ] && echo "ok: $(wc -l <<<"$actual") imports of $saver, all on ${list##*/tests/} ($oldest)"
exit $status
