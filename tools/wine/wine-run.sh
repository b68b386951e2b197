#!/bin/bash
# tools/wine/wine-run.sh x86|x64 FOLDER COMMAND [ARGS...]: runs COMMAND in the Wine
# environment of the build in FOLDER, the one the scripts use. CTest runs
# every test that needs Wine through it: a test program as COMMAND "wine",
# an end-to-end script as COMMAND "bash".
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/wine-env.sh"
vorn_wine_env "$1" "$(cd "$2" && pwd)"  # Wine takes only an absolute prefix
shift 2
exec "$@"
