# shellcheck shell=bash
# Sourced: waiting for something that another process brings about.

# vorn_await SECONDS COMMAND [ARGS...]: runs COMMAND every tenth of a second
# until it succeeds, for at most SECONDS; fails if it never did. COMMAND runs
# in this shell, so it may set variables for the caller.
vorn_await() {
    local deadline=$((${EPOCHREALTIME//[!0-9]/} + $1 * 1000000))
    shift
    until "$@"; do
        [ "${EPOCHREALTIME//[!0-9]/}" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}
