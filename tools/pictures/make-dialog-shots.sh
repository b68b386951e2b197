#!/bin/bash
# Screenshots of the real settings dialog and About box for the README:
# docs/settings-dialog.png and docs/about-box.png. Uses a Wine prefix of its
# own (shots-wineprefix in the build folder) in which Wine draws frames and titles itself,
# since the virtual display has no window manager.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/prepare.sh"
export WINEPREFIX="$build_arch/shots-wineprefix"
trap vorn_stop EXIT
vorn_start_display
vorn_start_wine
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null
# The caption's close box is drawn with Marlett; this Wine finds it only in
# the prefix's own font folder.
mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
cp -n /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
# First run: the dialog shows the defaults.
wine reg delete "$vorn_settings_key" /f >/dev/null 2>&1 || true

work="$(mktemp -d)"
mkdir -p "$root/docs"

# shot <pose> <output>
shot() {
    rm -f "$work/done" "$work/out"
    wine "$build_arch/tests/dialog_driver.exe" pose "$1" "$build_arch/Vorn.scr" "$work/done" >"$work/out" &
    local driver=$!
    vorn_await 30 grep -qs -e '^ready' -e '^FAIL' "$work/out" || true
    grep -q '^ready' "$work/out" || { cat "$work/out"; touch "$work/done"; exit 1; }
    read -r _ x y w h < <(grep '^window' "$work/out")
    sleep 0.5  # let the X server catch up with the last paint
    import -window root -crop "${w}x${h}+${x}+${y}" +repage -strip "PNG8:$2"
    touch "$work/done"
    wait "$driver"
    echo "$2"
}

shot settings "$root/docs/settings-dialog.png"
shot about "$root/docs/about-box.png"
rm -rf "$work"
