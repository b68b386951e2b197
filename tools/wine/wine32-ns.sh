#!/bin/bash
# tools/wine/wine32-ns.sh COMMAND [ARGS...]: runs COMMAND (as the same
# process) where the 32-bit Wine that scripts/lib/wine32.sh unpacked into
# $VORN_WINE32 can run, without changing the machine: a user and mount
# namespace of its own, in which that Wine is laid over /usr/lib, and which
# has its own binfmt_misc (Linux 6.7 and later): empty on the native lane, so
# that no emulator registered for the whole machine takes 32-bit programs; on
# the emulated lane ($VORN_X86_LANE) holding qemu for them, opened once.
# Both the 32-bit and the 64-bit build's Wine run in it (a 64-bit prefix
# starts 32-bit programs too), and so does their Wine server, which serves
# only clients that see the same /usr/lib.
set -u
if [ -z "${VORN_IN_WINE32:-}" ]; then
    export VORN_IN_WINE32=1
    exec unshare --user --map-root-user --mount "$0" "$@"
fi
mount -t overlay overlay -o "lowerdir=$VORN_WINE32/root/usr/lib:/usr/lib" /usr/lib || exit 125
if mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc 2>/dev/null; then
    if [ "$VORN_X86_LANE" = emulated ]; then
        # i386 ELF executables and shared objects, as qemu's own entry has it.
        magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
        mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
        echo ":vorn-i386:M::$magic:$mask:$VORN_WINE32/qemu-i386:F" >/proc/sys/fs/binfmt_misc/register ||
            exit 125
    fi
elif [ "$VORN_X86_LANE" = emulated ]; then
    echo "wine32-ns: this kernel gives a namespace no binfmt_misc of its own (Linux 6.7 and later do)" >&2
    exit 125
fi
exec "$@"
