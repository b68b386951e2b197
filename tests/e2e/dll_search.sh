#!/bin/bash
# DLLs planted beside a copy of Vorn.scr under the names of system libraries
# are not loaded by the saver's own code or what runs on its behalf. Each name
# is overridden "native, then builtin", which makes Wine look in the
# program's folder first, as Windows does for a DLL that is not a KnownDLL.
source "$(dirname "$0")/support/saver.bash" "$1"
dir="$build/e2e-dll-search"
saver="$dir/Vorn.scr" # the copy beside the planted DLLs

# plant <name>...: a fresh folder with the saver and the named DLLs beside it;
# sets $overrides for them.
plant() {
    rm -rf "$dir" && mkdir -p "$dir"
    cp "$build/Vorn.scr" "$dir/"
    local name
    for name in "$@"; do cp "$build/tests/doubles/planted.dll" "$dir/$name.dll"; done
    overrides="$(
        IFS=,
        echo "$*"
    )=n,b;mscoree,mshtml="
}

loaded() { # the planted DLLs that were loaded, by name
    # shellcheck disable=SC2012 # the names are the test doubles' own, plain ASCII without spaces
    (cd "$dir" && ls -- *.loaded 2>/dev/null | tr '[:upper:]' '[:lower:]' | sed 's/\.dll\.loaded$//' | tr '\n' ' ')
}
trap 'cleanup; rm -rf "$dir"' EXIT

# Wine loads some libraries while the process starts, before any code of the
# saver runs (uxtheme from its display driver; version, imm32, sechost,
# ucrtbase and zlib1 as imports of its system DLLs): a planted uxtheme.dll
# shows that planted DLLs are seen. Only a real Windows can show what the
# saver's restriction does for such names.
plant uxtheme
(cd "$dir" && WINEDLLOVERRIDES="$overrides" timeout 60 wine Vorn.scr /x >/dev/null 2>&1)
check "a planted uxtheme.dll is seen (Wine loads it before the saver's code)" \
    [ "$(loaded)" = "uxtheme " ]

# "Color..." loads the chooser's library, and with it the libraries that it
# imports. (Wine's own delay loads, such as ole32 from imm32 and msimg32 from
# uxtheme, keep to the search path that the process started with, whatever
# the saver restricts: not tested here.)
later=(comdlg32 shell32 shlwapi shcore compstui)
plant "${later[@]}"
out="$dir/driver.out"
WINEDLLOVERRIDES="$overrides" wine "$build/tests/dialog_driver.exe" pose color "$saver" \
    "$dir/done" 336699 >"$out" 2>&1 &
driver=$!
started+=("$driver")
vorn_await 30 grep -qs -e '^ready' -e '^FAIL' "$out"
touch "$dir/done"
wait "$driver"
check "\"Color...\" opens the system's colour chooser" grep -q '^ready' "$out"
check "none of them is loaded from the saver's folder (loaded: $(loaded))" [ -z "$(loaded)" ]
wine reg delete "$settings_key" /f >/dev/null 2>&1

echo "dll search: $failures failed"
[ "$failures" -eq 0 ]
