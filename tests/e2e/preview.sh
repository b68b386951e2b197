#!/bin/bash
# The preview: our host hands its 152 x 112 pane to "/p"; the saver's child
# window fills it and the saver ends with 0 when the host goes.
source "$(dirname "${BASH_SOURCE[0]}")/support/saver.bash" "$1"

output=$(timeout 90 wine "$build/tests/preview_host.exe" preview | tr -d '\r')
code=$?
echo "$output"
[ "$code" -eq 0 ] || fail "preview host reported $code"
echo "ok: preview"
