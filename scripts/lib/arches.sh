# shellcheck shell=bash
# Sourced by the scripts: which builds this machine can run under Wine.
# The 32-bit build needs the kernel to run 32-bit programs natively; some
# machines run 64-bit programs only, and 32-bit programs that run only
# through an emulator registered with binfmt_misc are far too slow to test.
# Sets VORN_ARCHS ("x86 x64" or "x64") and VORN_ARCHS_WHY; a VORN_ARCHS set
# by the caller is kept (e.g. VORN_ARCHS=x64 proves the 64-bit-only path).

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

# An enabled binfmt_misc entry for i386 or i486 ELF programs (qemu-user).
vorn_ia32_emulator() {
    local entry
    for entry in /proc/sys/fs/binfmt_misc/*; do
        case "${entry##*/}" in register | status) continue ;; esac
        { [ -r "$entry" ] && grep -qx enabled "$entry"; } || continue
        # e_machine is bytes 18-19 of the ELF header: 03 00 (i386) or 06 00 (i486).
        if grep -Eq '^magic 7f454c4601.{26}0[36]00' "$entry"; then
            echo "${entry##*/}"
            return 0
        fi
    done
    return 1
}

vorn_select_arches() {
    if [ -n "${VORN_ARCHS:-}" ]; then
        VORN_ARCHS_WHY="${VORN_ARCHS_WHY:-VORN_ARCHS is set}"
        return 0
    fi
    local emulator probe code=0
    if emulator=$(vorn_ia32_emulator); then
        VORN_ARCHS="x64"
        VORN_ARCHS_WHY="this machine runs 32-bit programs only through an emulator (binfmt_misc $emulator)"
        return 0
    fi
    # shellcheck disable=SC2154 # $build: the build folder, set by the sourcing script
    mkdir -p "$build"
    probe="$build/.ia32-probe"
    vorn_write_ia32_probe >"$probe" && chmod +x "$probe"
    "$probe" 2>/dev/null || code=$?
    if [ $code -eq 42 ]; then
        VORN_ARCHS="x86 x64"
        VORN_ARCHS_WHY="this machine runs 32-bit and 64-bit programs"
    else
        VORN_ARCHS="x64"
        VORN_ARCHS_WHY="this machine's kernel does not run 32-bit programs"
    fi
    rm -f "$probe"
}

# vorn_arches_line: one line for the user, e.g. before a test run.
vorn_arches_line() {
    case "$VORN_ARCHS" in
    "x64") echo "$VORN_ARCHS_WHY: testing the 64-bit build only" ;;
    "x86") echo "$VORN_ARCHS_WHY: testing the 32-bit build only" ;;
    *) echo "$VORN_ARCHS_WHY: testing the 32-bit and the 64-bit build" ;;
    esac
}
