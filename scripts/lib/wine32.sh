# shellcheck shell=bash
# Sourced by scripts/setup.sh: the 32-bit Wine, and where needed the emulator
# that runs it, unpacked into a folder of the build rather than installed.
# Installing wine32:i386 would add dpkg's i386 architecture for good, and
# with it indexes that have been out of step with the amd64 packages on the
# mirror (the install then fails on version skew); an unpacked folder changes
# nothing outside the build and serves every machine alike.
#
# vorn_wine32_prepare FOLDER LANE makes, once:
#   FOLDER/root       Debian's 32-bit Wine of the same version as the
#                     installed 64-bit one, with the libraries it loads,
#                     laid out to be put over /usr/lib (tools/wine/wine32-ns.sh)
#   FOLDER/qemu-i386  for LANE emulated: qemu's user-mode i386 emulator, 8 or
#                     later (7.2 takes minutes to start a Wine process)
# apt works on a state of its own in FOLDER/apt, with the system's sources
# and keys, and installs nothing into the system.

# The libraries winex11 and gnutls-based crypto load at run time, which
# libwine only recommends.
vorn_wine32_extras=(libxcomposite1 libxcursor1 libxfixes3 libxi6 libxinerama1 libxrandr2
    libxrender1 libxxf86vm1 libgnutls30)

# vorn_wine32_apt ARCH ARGS...: apt-get (or apt-cache, with ARCH prefixed
# by "cache:") on the private state, for packages of ARCH.
vorn_wine32_apt() {
    local arch=$1 tool=apt-get
    shift
    case "$arch" in cache:*) tool=apt-cache arch=${arch#cache:} ;; esac
    "$tool" -q -o Dir::State="$apt/state" -o Dir::State::status="$apt/status" \
        -o Dir::Cache="$apt/cache" -o Dir::Etc::SourceList="$apt/sources.list" \
        -o Dir::Etc::SourceParts="$apt/none" -o APT::Architecture="$arch" \
        -o APT::Architectures="$arch" -o APT::Sandbox::User=root "$@"
}

# The system's own suites and keys, and its backports suite (for qemu).
vorn_wine32_sources() {
    local codename suite keys=/usr/share/keyrings/debian-archive-keyring.gpg
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    for suite in "$codename" "$codename-updates" "$codename-backports"; do
        echo "deb [signed-by=$keys] http://deb.debian.org/debian $suite main"
    done
    echo "deb [signed-by=$keys] http://deb.debian.org/debian-security $codename-security main"
}

vorn_wine32_prepare() {
    local folder=$1 lane=$2 version deb qemu
    local apt="$folder/apt"
    version=$(dpkg-query -W -f='${Version}' wine64)
    mkdir -p "$apt/state/lists/partial" "$apt/cache/archives/partial" "$apt/none"
    if [ "$(cat "$folder/root/.wine-version" 2>/dev/null)" != "$version" ] ||
        { [ "$lane" = emulated ] && [ ! -x "$folder/qemu-i386" ]; }; then
        : >"$apt/status"
        vorn_wine32_sources >"$apt/sources.list"
        # An index that fails to download (the security suite's i386 one has at
        # times) only narrows the choice of versions.
        vorn_wine32_apt i386 update >"$apt/update.log" 2>&1 ||
            echo "setup: some package indexes did not download ($apt/update.log)"
    fi

    if [ "$(cat "$folder/root/.wine-version" 2>/dev/null)" != "$version" ]; then
        echo "setup: unpacking 32-bit Wine $version into $folder/root"
        rm -rf "$folder/root" "$apt/cache/archives"/*.deb
        vorn_wine32_apt i386 install -y --download-only --no-install-recommends \
            "wine32=$version" "libwine=$version" "${vorn_wine32_extras[@]}" >"$apt/install.log" 2>&1 || {
            echo "setup: FAILED to download 32-bit Wine $version ($apt/install.log):" >&2
            tail -n 5 "$apt/install.log" >&2
            return 1
        }
        mkdir -p "$folder/root"
        for deb in "$apt/cache/archives"/*.deb; do dpkg-deb -x "$deb" "$folder/root"; done
        rm -f "$apt/cache/archives"/*.deb
        # Everything under usr/lib, as on a merged-/usr system (/lib is a link).
        cp -a "$folder/root/lib/." "$folder/root/usr/lib/" && rm -rf "$folder/root/lib"
        # What libwine's install script does: Wine's own zlib1.dll, made from
        # MinGW's (user32 needs it), marked as a Wine built-in DLL.
        local in="$folder/root/usr/i686-w64-mingw32/lib/zlib1.dll"
        {
            head -c 64 "$in"
            printf 'Wine builtin DLL\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0'
            tail -c +97 "$in"
        } >"$folder/root/usr/lib/i386-linux-gnu/wine/i386-windows/zlib1.dll"
        echo "$version" >"$folder/root/.wine-version"
    fi

    if [ "$lane" = emulated ] && [ ! -x "$folder/qemu-i386" ]; then
        local host newest
        host=$(dpkg --print-architecture)
        vorn_wine32_apt "$host" update >>"$apt/update.log" 2>&1 || true
        newest=$(vorn_wine32_apt "cache:$host" madison qemu-user | awk -F'|' '{gsub(/ /, "", $2); print $2}' |
            sort -V | tail -n 1)
        if ! dpkg --compare-versions "${newest:-0}" ge 1:8; then
            echo "setup: FAILED: no qemu-user 8 or later in the system's suites or backports (newest: ${newest:-none})" >&2
            return 1
        fi
        echo "setup: unpacking qemu-user $newest into $folder"
        rm -rf "$apt/qemu" && mkdir -p "$apt/qemu"
        if ! (cd "$apt/qemu" && vorn_wine32_apt "$host" download "qemu-user=$newest") >>"$apt/install.log" 2>&1; then
            echo "setup: FAILED to download qemu-user $newest ($apt/install.log)" >&2
            return 1
        fi
        dpkg-deb -x "$apt/qemu"/qemu-user_*.deb "$apt/qemu/root"
        qemu="$apt/qemu/root/usr/bin/qemu-i386"
        "$qemu" --version >/dev/null || {
            echo "setup: FAILED: qemu-user $newest's qemu-i386 does not run here" >&2
            return 1
        }
        mv "$qemu" "$folder/qemu-i386" && rm -rf "$apt/qemu"
    fi
}
