#!/bin/bash
# The settings dialog of the real Vorn.scr, driven through its controls by our
# Win32 driver: stored values, Ok/Cancel, the About box, the colour chooser.
set -euo pipefail
build="$1"
wine "$build/tests/dialog_driver.exe" cases "$build/Vorn.scr"
