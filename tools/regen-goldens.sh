#!/bin/bash
# Re-renders the golden pictures and rewrites tests/golden/renders.txt with
# their new sums. Only for a change that is meant to alter the pictures:
# review the new pictures (left in build/golden/) before committing the sums.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/prepare.sh"
trap vorn_stop EXIT
vorn_start_display
vorn_start_wine || true  # a server already running is fine
bash "$root/tests/e2e/golden.sh" "$build" --update
