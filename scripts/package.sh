#!/bin/bash
# Makes the release, in build/ or the given folder: the zip
# vorn-<major.minor>-windows.zip (the 32-bit saver, the 64-bit one in x64\,
# an install text, the licence and the savers' SHA-256 sums, the texts with
# Windows line ends) and one setup program for each architecture,
# vorn-<major.minor>-setup-x86.exe and -x64.exe (packaging/vorn.nsi), which
# carry the same texts, and the MSI packages vorn-<major.minor>-x86.msi and
# -x64.msi for deployment tools (packaging/make-msi.sh). Installs what is missing and builds first.
#   scripts/package.sh [--no-build] [FOLDER]
# --no-build packages the savers as they are built (the tests use it).
# The same savers always give the same files: fixed order and permissions, no
# extra attributes, every file dated at the last commit (SOURCE_DATE_EPOCH
# wins when set).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VORN_BUILD_DIR:-$root/build}"
build_first=1
[ "${1:-}" = --no-build ] && build_first=0 && shift
version=$(sed -n 's/^#define VORN_VERSION_TEXT "\([0-9.]*\)"$/\1/p' "$root/resources/version.h")
release=$(cut -d. -f1,2 <<<"$version")
[ -n "$release" ] || { echo "package: no VORN_VERSION_TEXT in resources/version.h" >&2; exit 1; }
out="$(realpath -m "${1:-$build}")"
zipfile="$out/vorn-$release-windows.zip"

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

THE SETUP PROGRAMS

Vorn has a setup program for each kind of Windows:

  vorn-$release-setup-x64.exe   64-bit Windows Vista and every later one
  vorn-$release-setup-x86.exe   32-bit Windows: XP SP3 and every later one

("System type" in the System settings says which Windows you have. On
64-bit Windows the x86 setup works too, but take the x64 one.) The setup
asks for administrator permission and installs Vorn for every user of the
computer: the saver where the screen saver settings list it, and this
text, the licence and the uninstaller in the folder Vorn under Program
Files. Its last page offers to open the screen saver settings with Vorn
chosen; "Settings" there opens Vorn's own settings, and OK keeps it as
your screen saver. The setups are not signed, so Windows may warn before
the first run ("Windows protected your PC"): "More info" shows the
file's name, and "Run anyway" starts it.

To remove Vorn, uninstall it in "Programs and Features" (or "Installed
apps"): the saver and its folder go, and if Vorn was your screen saver,
Windows no longer starts one. Your settings stay (see SETTINGS).

Both work silently with /S: the setup installs and opens nothing, and
uninstall.exe in Vorn's folder removes without asking.

THE RELEASE ZIP

The zip, vorn-$release-windows.zip, holds the savers themselves for those
who prefer to install by hand:

  Vorn.scr       32-bit: Windows XP SP3 and every later Windows
  x64\Vorn.scr   64-bit: 64-bit Windows Vista and every later one

On 32-bit Windows take Vorn.scr. On 64-bit Windows both work; take
x64\Vorn.scr. Install only one of them.

If the zip came from the internet, right-click it, choose Properties and
tick or click "Unblock" before extracting it; otherwise Windows may warn
about the file each time the screen saver starts.

1. Copy the Vorn.scr you chose into the Windows folder, C:\Windows
   (Windows may ask for administrator permission). The screen saver
   settings list what is in this folder on every Windows, 32- or 64-bit.
2. Right-click the copy in C:\Windows and choose "Install". The screen
   saver settings open with Vorn chosen; "Settings" there opens Vorn's
   own settings, and OK keeps it as your screen saver.

Without administrator rights, extract the zip into a folder of its own
instead, not into the Downloads folder, then right-click Vorn.scr there
and choose "Install". Windows then runs the saver from that folder, so
keep the folder where it is and nothing else in it: a program library
that a web page leaves in Downloads must not sit beside the saver.

To remove a saver installed by hand, choose another screen saver (or
"(None)") in the screen saver settings, then delete Vorn.scr from
C:\Windows, or from the folder you installed it from.

PROCESSOR

The 32-bit Vorn needs a processor with SSE2: a Pentium 4, an Athlon 64 or
any later one (every processor that runs 64-bit Windows has it). On an
older processor the saver says so in a message box and does not start,
and the x86 setup does not install it.

SETTINGS

Vorn keeps its settings for each user in the registry key

  HKEY_CURRENT_USER\Software\Kervolan\Screensavers\Vorn

as ten DWORD values, and writes nothing else. Change them with "Settings"
in the screen saver settings. Removing Vorn keeps them: delete the key
with the Registry Editor (regedit) to remove them too.

CHECKING THE FILES

SHA256SUMS.txt in the zip holds the SHA-256 sum of each saver. Compare it
with what Windows computes, for example in a command prompt:

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
mkdir -p "$out"
rm -f "$zipfile"
(cd "$stage" && zip -q -X -D -9 "$zipfile" "${files[@]}")
echo "$zipfile"

# The setups store the staged files' dates (set above) and nothing else that
# varies; -WX makes any warning an error.
for arch in x86 x64; do
    setup="$out/vorn-$release-setup-$arch.exe"
    rm -f "$setup"
    makensis -V1 -WX -NOCD "-DARCH=$arch" "-DVERSION=$version" "-DRELEASE=$release" \
        "-DSTAGE=$stage" "-DICON=$root/resources/vorn.ico" "-DOUTFILE=$setup" \
        "$root/packaging/vorn.nsi" >&2 || { echo "package: makensis failed for $arch" >&2; exit 1; }
    echo "$setup"
done

# The MSI packages for deployment tools, from the same staged files.
for arch in x86 x64; do
    msi="$out/vorn-$release-$arch.msi"
    "$root/packaging/make-msi.sh" "$arch" "$version" "$stage" "$stamp" "$msi" ||
        { echo "package: the $arch MSI failed" >&2; exit 1; }
    echo "$msi"
done
