# shellcheck shell=bash
# Sourced by the scripts, and by tools/wine/wine-run.sh for the tests: the Wine
# environment of each build, a virtual X display of the run's own, a Wine
# server kept alive. vorn_use_arch needs $build, the 32-bit build's folder.
vorn_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
source "$vorn_root/scripts/lib/await.sh"
source "$vorn_root/scripts/lib/arches.sh"
VORN_XVFB_PID=""
vorn_started_prefixes=()

# vorn_wine_env x86|x64 FOLDER: Wine for the build in FOLDER. Our `wine`
# (tools/wine/bin/wine, first on the PATH) runs the loader of $VORN_ARCH; each
# build has a prefix of its own in its folder; Wine stays quiet, and a new
# prefix does not offer to install Mono and Gecko, which Vorn does not need.
# Both builds' Wine runs where the 32-bit Wine unpacked in the 32-bit build's
# folder is laid out (tools/wine/wine32-ns.sh). On the emulated lane the
# 32-bit programs run about four times slower: VORN_TIME_SCALE stretches the
# tests' waits (scripts/lib/await.sh), and VORN_EMULATED tells the tests what
# emulation cannot decide.
vorn_wine_env() {
    local x86folder="$2"
    export VORN_ARCH="$1"
    if [ "$1" = x64 ]; then export WINEARCH=win64; else export WINEARCH=win32; fi
    [ "$1" = x64 ] && x86folder="$2/.."
    export WINEPREFIX="$2/wineprefix"
    vorn_select_arches "$2"
    if [ "$VORN_X86_LANE" != none ] && [ -d "$x86folder/wine32/root" ]; then
        VORN_WINE32="$(cd "$x86folder/wine32" && pwd)"
        export VORN_WINE32
    fi
    export VORN_TIME_SCALE=1
    unset VORN_EMULATED
    if [ "$1" = x86 ] && [ "$VORN_X86_LANE" = emulated ]; then
        export VORN_TIME_SCALE=4 VORN_EMULATED=qemu-user
    fi
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    case ":$PATH:" in
    *":$vorn_root/tools/wine/bin:"*) ;;
    *) export PATH="$vorn_root/tools/wine/bin:$PATH" ;;
    esac
}

# vorn_use_arch x86|x64: the build folder ($build_arch) and Wine of one
# build. The 32-bit build lives in build/, the 64-bit one in build/x64/.
vorn_use_arch() {
    # shellcheck disable=SC2154 # $build: the 32-bit build folder, set by the sourcing script
    if [ "$1" = x64 ]; then build_arch="$build/x64"; else build_arch="$build"; fi
    vorn_wine_env "$1" "$build_arch"
}

# vorn_arch_name x86|x64: how the scripts name a build to the user.
vorn_arch_name() {
    if [ "$1" = x64 ]; then echo "64-bit"; else echo "32-bit"; fi
}

# The saver's settings in the current prefix. vorn_save_settings FILE keeps
# them (no FILE when there are none); vorn_restore_settings FILE puts the key
# back exactly as it was.
source "$vorn_root/scripts/lib/settings-key.sh"
vorn_save_settings() {
    rm -f "$1"
    wine reg export "$vorn_settings_key" "Z:${1//\//\\}" /y >/dev/null 2>&1 || rm -f "$1"
}
vorn_restore_settings() {
    wine reg delete "$vorn_settings_key" /f >/dev/null 2>&1 || true
    if [ -f "$1" ]; then wine reg import "Z:${1//\//\\}" >/dev/null 2>&1 || true; fi
}

# A virtual display of this run's own, in $DISPLAY: Xvfb picks a free number
# itself and says which once it listens, so two runs that start together
# never share one, and no run uses a display that another may end.
vorn_start_display() {
    local fifo number
    fifo="$(mktemp -u)" && mkfifo "$fifo" || return 1
    Xvfb -displayfd 3 -screen 0 "${VORN_SCREEN:-1024x768x24}" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    VORN_XVFB_PID=$!
    read -r -t 30 number <"$fifo"
    rm -f "$fifo"
    if [ -z "$number" ]; then
        echo "could not start Xvfb" >&2
        return 1
    fi
    export DISPLAY=":$number"
}

# Starts (and on first use creates) the prefix of the current arch and keeps
# its server alive. A server left from an earlier run is ended first: its
# programs would stay on that run's display.
vorn_start_wine() {
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    # A 64-bit prefix made without the 32-bit Wine at hand runs no 32-bit
    # program: it is made again.
    if [ "$VORN_ARCH" = x64 ] && [ -n "${VORN_WINE32:-}" ] &&
        [ ! -e "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
        rm -rf "$WINEPREFIX"
    fi
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        # A new 64-bit prefix complains about syswow64\rundll32.exe and works.
        wine wineboot.exe -i >/dev/null 2>&1 || true
        wineserver -w
    fi
    wineserver -p >/dev/null 2>&1 || true  # already running is fine
    vorn_started_prefixes+=("$WINEPREFIX")
    # Warm the server so the first test program does not pay the start-up.
    wine reg query 'HKCU\Software' >/dev/null 2>&1 || true
}

# Ends the servers this shell started and its display. Runs as an exit trap,
# often under set -e: no step may fail, or the rest is skipped.
vorn_stop() {
    local prefix
    for prefix in "${vorn_started_prefixes[@]}"; do
        WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
    done
    { [ -n "$VORN_XVFB_PID" ] && kill "$VORN_XVFB_PID" 2>/dev/null; } || true
}
