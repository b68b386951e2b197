# shellcheck shell=bash
# Sourced: waiting for something that another process brings about.

# Every wait is written for a Wine program running natively; VORN_TIME_SCALE
# (a whole number, set by scripts/lib/wine-env.sh) stretches them all where
# the programs run slower, as under emulation.

# vorn_await SECONDS COMMAND [ARGS...]: runs COMMAND every tenth of a second
# until it succeeds, for at most SECONDS (scaled); fails if it never did.
# COMMAND runs in this shell, so it may set variables for the caller.
vorn_await() {
    local deadline=$((${EPOCHREALTIME//[!0-9]/} + $1 * ${VORN_TIME_SCALE:-1} * 1000000))
    shift
    until "$@"; do
        [ "${EPOCHREALTIME//[!0-9]/}" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

# vorn_pause SECONDS: lets a running program get on for SECONDS (scaled;
# fractions allowed: sleep adds up its arguments).
vorn_pause() {
    local times=()
    while [ ${#times[@]} -lt "${VORN_TIME_SCALE:-1}" ]; do times+=("$1"); done
    sleep "${times[@]}"
}
