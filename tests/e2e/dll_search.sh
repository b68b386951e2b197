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

# "Color..." loads the chooser's library by its full path, and with it the
# libraries that it imports from beside it: none comes from the saver's
# folder, restricted or not. (Wine's own delay loads, such as ole32 from
# imm32 and msimg32 from uxtheme, keep to the search path that the process
# started with, whatever the saver restricts: not tested here.)
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

# A library loaded by name inside the saver once its code runs: Wine's input
# method manager loads the keyboard layout's "Ime File" with LoadLibraryW of
# the value as written when the saver's window first takes the focus, after
# the saver has restricted the search. (Windows loads an input method by its
# full path; under Wine this load stands for any later load by name, a
# hook's or a text service's.) The layout is the locale twice, as 04090409.
# Named by its full path the planted input method is loaded, which shows
# that the probe reaches the saver; named by its file name alone, the copy
# beside the saver must not be.
locale=$(wine reg query 'HKCU\Control Panel\International' /v Locale | tr -d '\r' |
    awk '$1 == "Locale" { print substr($3, 5) }')
layout_key="HKLM\\System\\CurrentControlSet\\Control\\Keyboard Layouts\\$locale$locale"
trap 'cleanup; rm -rf "$dir"; wine reg delete "$layout_key" /f >/dev/null 2>&1' EXIT
plant
cp "$build/tests/doubles/planted.dll" "$dir/planted.ime"

# ime_run VALUE: the saver full-screen with "Ime File" VALUE, closed by a key;
# $ime_loaded says whether it loaded planted.ime.
ime_run() {
    rm -f "$dir/planted.ime.loaded"
    wine reg add "$layout_key" /v "Ime File" /d "$1" /f >/dev/null 2>&1
    (cd "$dir" && exec wine Vorn.scr /s) >/dev/null 2>&1 &
    saver_pid=$!
    started+=("$saver_pid")
    wait_for_window "Screen Saver"
    vorn_pause 1
    xdotool key space
    expect_exit "$saver_pid" 0 "the saver with \"Ime File\" $1"
    ime_loaded=$([ -e "$dir/planted.ime.loaded" ] && echo yes || echo no)
}
ime_run "Z:${dir//\//\\}\\planted.ime"
check "an input method named by its full path is loaded (the probe reaches the saver)" \
    [ "$ime_loaded" = yes ]
ime_run planted.ime
check "an input method named by its file name is not taken from the saver's folder" \
    [ "$ime_loaded" = no ]

echo "dll search: $failures failed"
[ "$failures" -eq 0 ]
