#!/bin/bash
# tools/wine/wine-run.sh x86|x64 FOLDER COMMAND [ARGS...]: runs COMMAND in the Wine
# environment of the build in FOLDER, the one the scripts use. CTest runs
# every test that needs Wine through it: a test program as COMMAND "wine",
# an end-to-end script as COMMAND "bash". Without a working display (a test
# run alone from a shell that has none) it starts one for COMMAND, and ends
# the prefix's Wine server with it, whose programs would be left on it.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/wine-env.sh"
vorn_wine_env "$1" "$(cd "$2" && pwd)"  # Wine takes only an absolute prefix
shift 2
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then exec "$@"; fi
vorn_start_display || exit 1
echo "wine-run: no display in DISPLAY: this test runs on its own, $DISPLAY" >&2
"$@"
code=$?
wineserver -k >/dev/null 2>&1
kill "$VORN_XVFB_PID" 2>/dev/null
exit $code
