# shellcheck shell=bash
# Sourced by the scripts: how this machine runs each build under Wine.
# The 64-bit build runs natively. The 32-bit build runs with a 32-bit Wine
# unpacked into the build folder (scripts/lib/wine32.sh), in a namespace of
# its own (tools/wine/wine32-ns.sh): natively where the kernel runs 32-bit
# programs ("native"), else through qemu's user-mode emulator ("emulated"),
# or not at all where neither can be had ("none").
# Sets VORN_X86_LANE and VORN_X86_WHY, and VORN_ARCHS, the builds tested
# under Wine ("x86 x64" or "x64"). Each is kept when the caller sets it:
# VORN_X86_LANE=emulated takes the emulated lane on any machine (to test that
# lane where the kernel runs 32-bit programs), VORN_ARCHS=x64 tests the
# 64-bit build alone.

# A 96-byte static i386 Linux program that exits with 42: starting it is the
# only reliable test, since the kernel may be built or booted either way.
vorn_write_ia32_probe() {
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'   # ident
    printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08'          # exec, i386, entry
    printf '\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00'          # phoff, shoff, flags
    printf '\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'          # sizes, one segment
    printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'  # load at 0x8048000
    printf '\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'  # 96 bytes, r-x
    printf '\xbb\x2a\x00\x00\x00\xb8\x01\x00\x00\x00\xcd\x80'          # exit(42)
}

# An enabled binfmt_misc entry of the machine for i386 or i486 ELF programs.
vorn_ia32_emulator() {
    local entry
    for entry in /proc/sys/fs/binfmt_misc/*; do
        case "${entry##*/}" in register | status) continue ;; esac
        { [ -r "$entry" ] && grep -qx enabled "$entry"; } || continue
        # e_machine is bytes 18-19 of the ELF header: 03 00 (i386) or 06 00 (i486).
        grep -Eq '^magic 7f454c4601.{26}0[36]00' "$entry" && return 0
    done
    return 1
}

# vorn_probe_ia32 PROBE: starts the probe in a namespace whose binfmt_misc is
# its own and empty, so that an emulator registered for the whole machine
# cannot answer for the kernel. Returns the probe's code (42: native); 3 when
# this kernel gives a namespace no binfmt_misc of its own (before 6.7) and
# the machine's own cannot be ruled out; 4 when it gives no user namespace.
vorn_probe_ia32() {
    unshare --user --map-root-user --mount true 2>/dev/null || return 4
    # shellcheck disable=SC2016 # expanded by that shell
    unshare --user --map-root-user --mount sh -c \
        'mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc 2>/dev/null || exit 3; exec "$0"' \
        "$1" 2>/dev/null
    local code=$?
    # Without one of its own, the probe counts only where no emulator of the
    # machine could have started it.
    if [ $code -eq 3 ] && ! vorn_ia32_emulator; then
        "$1" 2>/dev/null
        code=$?
        [ $code -eq 42 ] || code=3
    fi
    return $code
}

# vorn_select_arches FOLDER: FOLDER (the build's) holds the probe a moment.
vorn_select_arches() {
    if [ -z "${VORN_X86_LANE:-}" ]; then
        local probe code=0
        mkdir -p "$1"
        probe="$1/.ia32-probe.$$"
        vorn_write_ia32_probe >"$probe" && chmod +x "$probe"
        vorn_probe_ia32 "$probe" || code=$?
        rm -f "$probe"
        case $code in
        42) VORN_X86_LANE=native VORN_X86_WHY="this machine runs 32-bit programs" ;;
        3) VORN_X86_LANE=none VORN_X86_WHY="this kernel runs no 32-bit programs and gives a namespace no binfmt_misc of its own, where qemu would run them (Linux 6.7 and later do)" ;;
        4) VORN_X86_LANE=none VORN_X86_WHY="this machine gives no user namespaces" ;;
        *) VORN_X86_LANE=emulated VORN_X86_WHY="this machine's kernel does not run 32-bit programs" ;;
        esac
    else
        VORN_X86_WHY="${VORN_X86_WHY:-VORN_X86_LANE is set}"
    fi
    if [ -z "${VORN_ARCHS:-}" ]; then
        VORN_ARCHS="x86 x64"
        [ "$VORN_X86_LANE" = none ] && VORN_ARCHS="x64"
    fi
    export VORN_X86_LANE VORN_X86_WHY VORN_ARCHS
}

# vorn_arches_line: one line for the user, e.g. before a test run.
vorn_arches_line() {
    local x86
    case "$VORN_X86_LANE" in
    native) x86="natively" ;;
    emulated) x86="through qemu's user-mode emulation" ;;
    *) x86="not at all" ;;
    esac
    if [[ " $VORN_ARCHS " != *" x86 "* ]]; then
        echo "testing the 64-bit build only (VORN_ARCHS=$VORN_ARCHS; 32-bit Wine runs $x86 here: $VORN_X86_WHY)"
    else
        echo "testing the 32-bit build $x86 ($VORN_X86_WHY) and the 64-bit build natively"
    fi
}
