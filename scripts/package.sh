#!/bin/bash
# Makes the release zip, build/vorn-<major.minor>-windows.zip: the 32-bit
# saver, the 64-bit one in x64\, an install text, the licence and the
# savers' SHA-256 sums, the texts with Windows line ends. Installs what is
# missing and builds first.
#   scripts/package.sh [--no-build] [ZIP]
# --no-build packages the savers as they are built (the zip's test uses it).
# The same savers always give the same zip: fixed order and permissions, no
# extra attributes, every entry dated at the last commit (SOURCE_DATE_EPOCH
# wins when set).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VORN_BUILD_DIR:-$root/build}"
build_first=1
[ "${1:-}" = --no-build ] && build_first=0 && shift
version=$(sed -n 's/^#define VORN_VERSION_TEXT "\([0-9.]*\)"$/\1/p' "$root/resources/version.h")
release=$(cut -d. -f1,2 <<<"$version")
[ -n "$release" ] || { echo "package: no VORN_VERSION_TEXT in resources/version.h" >&2; exit 1; }
zipfile="$(realpath -m "${1:-$build/vorn-$release-windows.zip}")"

if [ $build_first -eq 1 ]; then
    VORN_BUILD_DIR="$build" "$root/scripts/setup.sh"
    VORN_BUILD_DIR="$build" "$root/scripts/build.sh" >/dev/null
fi
for saver in "$build/Vorn.scr" "$build/x64/Vorn.scr"; do
    [ -f "$saver" ] || { echo "package: $saver is missing (build it first)" >&2; exit 1; }
done

stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/x64"
cp "$build/Vorn.scr" "$stage/Vorn.scr"
cp "$build/x64/Vorn.scr" "$stage/x64/Vorn.scr"
crlf() { sed 's/$/\r/' >"$stage/$1"; }

crlf INSTALL.txt <<EOF
Vorn $release, Kervolan screen saver

WHICH FILE

  Vorn.scr       32-bit: Windows XP SP3 and every later Windows
  x64\Vorn.scr   64-bit: 64-bit Windows Vista and every later one

On 32-bit Windows take Vorn.scr. On 64-bit Windows both work; take
x64\Vorn.scr. ("System type" in the System settings says which Windows
you have.) Install only one of them.

If this zip came from the internet, right-click it, choose Properties
and tick or click "Unblock" before extracting it; otherwise Windows may
warn about the file each time the screen saver starts.

INSTALL

1. Copy the Vorn.scr you chose into the Windows folder, C:\Windows
   (Windows may ask for administrator permission). The screen saver
   settings list what is in this folder on every Windows, 32- or 64-bit.
2. Right-click the copy in C:\Windows and choose "Install". The screen
   saver settings open with Vorn chosen; "Settings" there opens Vorn's
   own settings, and OK keeps it as your screen saver.

Without administrator rights, skip step 1: right-click Vorn.scr where you
extracted it and choose "Install". Windows then runs it from that folder,
so keep the folder where it is.

REMOVE

Choose another screen saver (or "(None)") in the screen saver settings,
then delete Vorn.scr from C:\Windows, or from the folder you installed it
from. Its settings stay in the registry until you delete their key (below)
with the Registry Editor (regedit).

SETTINGS

Vorn keeps its settings for each user in the registry key

  HKEY_CURRENT_USER\Software\Kervolan\Screensavers\Vorn

as ten DWORD values, and writes nothing else. Change them with "Settings"
in the screen saver settings.

CHECKING THE FILES

SHA256SUMS.txt holds the SHA-256 sum of each saver. Compare it with what
Windows computes, for example in a command prompt:

  certutil -hashfile x64\Vorn.scr SHA256

(On Linux: sha256sum -c SHA256SUMS.txt)
EOF

crlf LICENSE.txt <<'EOF'
MIT License

Copyright (c) 2026 Kervolan

Permission is hereby granted, free of charge, to any person obtaining a copy
of this software and associated documentation files (the "Software"), to deal
in the Software without restriction, including without limitation the rights
to use, copy, modify, merge, publish, distribute, sublicense, and/or sell
copies of the Software, and to permit persons to whom the Software is
furnished to do so, subject to the following conditions:

The above copyright notice and this permission notice shall be included in all
copies or substantial portions of the Software.

THE SOFTWARE IS PROVIDED "AS IS", WITHOUT WARRANTY OF ANY KIND, EXPRESS OR
IMPLIED, INCLUDING BUT NOT LIMITED TO THE WARRANTIES OF MERCHANTABILITY,
FITNESS FOR A PARTICULAR PURPOSE AND NONINFRINGEMENT. IN NO EVENT SHALL THE
AUTHORS OR COPYRIGHT HOLDERS BE LIABLE FOR ANY CLAIM, DAMAGES OR OTHER
LIABILITY, WHETHER IN AN ACTION OF CONTRACT, TORT OR OTHERWISE, ARISING FROM,
OUT OF OR IN CONNECTION WITH THE SOFTWARE OR THE USE OR OTHER DEALINGS IN THE
SOFTWARE.
EOF

(cd "$stage" && sha256sum Vorn.scr x64/Vorn.scr) | crlf SHA256SUMS.txt

files=(INSTALL.txt LICENSE.txt SHA256SUMS.txt Vorn.scr x64/Vorn.scr)
# DOS times in the zip are local times: date them in UTC on every machine.
export TZ=UTC
stamp="${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 1767225600)}"
(cd "$stage" && chmod 644 "${files[@]}" && touch -d "@$stamp" "${files[@]}")
mkdir -p "$(dirname "$zipfile")"
rm -f "$zipfile"
(cd "$stage" && zip -q -X -D -9 "$zipfile" "${files[@]}")
echo "$zipfile"
