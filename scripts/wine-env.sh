# Sourced by the scripts: a private Wine prefix under the build folder, a
# virtual X display when there is none, and a Wine server kept alive.
# Needs $build set by the caller.
export WINEPREFIX="$build/wineprefix"
export VORN_WINEPREFIX="$WINEPREFIX"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
VORN_XVFB_PID=""

vorn_start_display() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
    local n=90
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    VORN_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
    echo "could not start Xvfb" >&2
    return 1
}

vorn_start_wine() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w
    fi
    wineserver -p >/dev/null 2>&1 || true  # already running is fine
    # Warm the server so the first test program does not pay the start-up.
    wine reg query 'HKCU\Software' >/dev/null 2>&1 || true
}

vorn_stop() {
    wineserver -k >/dev/null 2>&1 || true
    [ -n "$VORN_XVFB_PID" ] && kill "$VORN_XVFB_PID" 2>/dev/null || true
}
