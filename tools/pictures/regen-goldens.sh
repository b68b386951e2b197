#!/bin/bash
# Re-renders the golden pictures and rewrites tests/golden/renders-<arch>.txt
# with their new sums, for each build this machine runs. Only for a change
# that is meant to alter the pictures: review the new pictures (left in the
# build's golden/ folder) before committing the sums.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/prepare.sh"
trap vorn_stop EXIT
vorn_start_display
for arch in x86 x64; do
    if [[ " $VORN_ARCHS " != *" $arch "* ]]; then
        echo "regen-goldens: tests/golden/renders-$arch.txt NOT regenerated: $VORN_X86_WHY;" \
            "run this again on a machine that runs the $(vorn_arch_name "$arch") build" >&2
        continue
    fi
    vorn_use_arch "$arch"
    vorn_start_wine || true  # a server already running is fine
    bash "$root/tests/e2e/golden.sh" "$build_arch" --update
    if [ "$arch" = x86 ] && [ "$VORN_X86_LANE" = emulated ]; then
        # qemu computes the x87 sine and cosine at double precision, which
        # now and then differs from the processor in the last bit.
        echo "regen-goldens: tests/golden/renders-x86.txt was made through qemu's emulation ($VORN_X86_WHY);" \
            "confirm it with e2e_golden on a machine that runs 32-bit programs before committing it" >&2
    fi
done
