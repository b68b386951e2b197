#!/bin/bash
# The gate that scripts/test.sh runs after the build and before the tests:
#   format    every C++ file of ours as .clang-format lays it out
#   scripts   every shell script clean under shellcheck
#   warnings  both builds (and their savers) clean under the product's strict
#             warnings, which every build uses (CMakeLists.txt)
#   clang     the second compiler: the 64-bit saver and unit tests built with
#             clang for the MinGW target ($build/x64-clang), warnings as errors
#   ubsan     the unit tests of a 64-bit build whose library and tests trap on
#             undefined behaviour ($build/x64-ubsan), run once under Wine
# Prints one line per check with what it found; exits non-zero when any fails.
# Alone: bash scripts/check.sh [format|scripts|warnings|clang|ubsan ...] (installs
# and builds what it needs). A format failure is mended by `clang-format -i`.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VORN_BUILD_DIR:-$root/build}"
"$root/scripts/setup.sh" || exit 1
checks=("$@")
[ ${#checks[@]} -gt 0 ] || checks=(format scripts warnings clang ubsan)
log="$build/check"
mkdir -p "$log"

took() { echo "$((SECONDS - started)) s"; }

# The unit test programs' targets, one per tests/unit/<name>_test.cpp.
unit_programs() {
    local src
    for src in "$root"/tests/unit/*_test.cpp; do
        src="${src##*/}"
        echo "${src%.cpp}"
    done
}

# The files git tracks, or every file of the tree outside a checkout.
tracked() {
    if git -C "$root" rev-parse --git-dir >/dev/null 2>&1; then
        git -C "$root" ls-files "$@"
    else
        (cd "$root" && find . -path ./build -prune -o -type f -print | sed 's|^\./||')
    fi
}

check_format() {
    local files=() drift=()
    mapfile -t files < <(tracked '*.cpp' '*.h')
    # One run for all: each drift is reported as "file:line:column: error".
    mapfile -t drift < <(cd "$root" && clang-format --dry-run --Werror "${files[@]}" 2>&1 |
        sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error: .*/\1/p' | sort -u)
    if [ ${#drift[@]} -eq 0 ]; then
        echo "format: ${#files[@]} C++ files, none drifts from .clang-format ($(took))"
    else
        echo "format: FAILED, ${#drift[@]} of ${#files[@]} C++ files drift (clang-format -i): ${drift[*]}"
        return 1
    fi
}

# Scripts by name, and the extensionless ones by their first line.
check_scripts() {
    local scripts=() file findings
    while read -r file; do
        case "${file##*/}" in
        *.sh | *.bash) scripts+=("$file") ;;
        *.*) ;;
        *) head -n1 "$root/$file" 2>/dev/null | grep -qE '^#!.*\b(ba)?sh\b' && scripts+=("$file") ;;
        esac
    done < <(tracked)
    findings=$(cd "$root" && shellcheck -f gcc "${scripts[@]}")
    if [ -z "$findings" ]; then
        echo "scripts: ${#scripts[@]} shell scripts, shellcheck finds nothing ($(took))"
    else
        echo "$findings" >"$log/shellcheck.txt"
        echo "scripts: FAILED, shellcheck finds $(wc -l <<<"$findings") problem(s) in" \
            "$(cut -d: -f1 <<<"$findings" | sort -u | wc -l) of ${#scripts[@]} scripts:"
        echo "$findings"
        return 1
    fi
}

# Every build compiles the product with the strict warnings as errors, so a
# build that succeeds is clean; this confirms the flags are in force.
check_warnings() {
    local strict="-Wshadow -Wconversion -Wsign-conversion" flags folder missing=()
    if ! VORN_BUILD_DIR="$build" "$root/scripts/build.sh" >"$log/build.txt" 2>&1; then
        echo "warnings: FAILED, the build stops ($log/build.txt):"
        grep -E 'error:' "$log/build.txt" | sort -u | head -n 20
        return 1
    fi
    for folder in "$build" "$build/x64"; do
        for flags in "$folder"/CMakeFiles/vorn_{platform,settings,engine,dialog,host}.dir/flags.make \
            "$folder/saver-build/CMakeFiles/Vorn.dir/flags.make"; do
            for flag in $strict -Werror; do
                grep -q -- "$flag" "$flags" 2>/dev/null || missing+=("${flags#"$build"/} lacks $flag")
            done
        done
    done
    if [ ${#missing[@]} -eq 0 ]; then
        echo "warnings: both builds and their savers clean with -Wall -Wextra $strict -Werror ($(took))"
    else
        echo "warnings: FAILED, ${missing[*]}"
        return 1
    fi
}

# The same sources as the GCC builds, with clang's own diagnostics: the saver
# (its sub-build with the win32 thread model too), and the product's
# libraries with the unit tests. Built, not run: the GCC builds' tests run.
check_clang() {
    local folder="$build/x64-clang" tests=() version
    mapfile -t tests < <(unit_programs)
    if [ ! -f "$folder/CMakeCache.txt" ]; then
        cmake -S "$root" -B "$folder" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64-clang.cmake" \
            -DCMAKE_BUILD_TYPE=Release >"$log/clang-configure.txt" 2>&1 || {
            echo "clang: FAILED to configure ($log/clang-configure.txt)"
            return 1
        }
    fi
    if ! cmake --build "$folder" -j "$(nproc)" --target Vorn "${tests[@]}" >"$log/clang-build.txt" 2>&1; then
        echo "clang: FAILED to build ($log/clang-build.txt):"
        grep -E 'error:' "$log/clang-build.txt" | sort -u | head -n 20
        return 1
    fi
    version=$(clang --version | sed -n 's/.*clang version \([0-9.]*\).*/\1/p')
    echo "clang: the 64-bit saver and ${#tests[@]} unit test programs build with clang $version" \
        "for x86_64-w64-mingw32, -Werror ($(took))"
}

# Only the library, the unit tests and the password double they load are
# built here; the dialog's test reads the 64-bit build's saver. They run in the
# 64-bit build's Wine prefix (shared by a link), which saves creating another.
check_ubsan() {
    local folder="$build/x64-ubsan" tests=()
    mapfile -t tests < <(unit_programs)
    if [ ! -f "$build/x64/Vorn.scr" ] && ! VORN_BUILD_DIR="$build" "$root/scripts/build.sh" >"$log/build.txt" 2>&1; then
        echo "ubsan: FAILED, the build stops ($log/build.txt)"
        return 1
    fi
    if [ ! -f "$folder/CMakeCache.txt" ]; then
        cmake -S "$root" -B "$folder" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" \
            -DCMAKE_BUILD_TYPE=Release -DVORN_SANITIZE=ON >"$log/ubsan-configure.txt" 2>&1 || {
            echo "ubsan: FAILED to configure ($log/ubsan-configure.txt)"
            return 1
        }
    fi
    if ! cmake --build "$folder" -j "$(nproc)" --target "${tests[@]}" password_cpl >"$log/ubsan-build.txt" 2>&1; then
        echo "ubsan: FAILED to build ($log/ubsan-build.txt):"
        grep -E 'error:' "$log/ubsan-build.txt" | sort -u | head -n 20
        return 1
    fi
    cp "$build/x64/Vorn.scr" "$folder/Vorn.scr"
    source "$root/scripts/lib/wine-env.sh"
    trap vorn_stop EXIT
    vorn_start_display || return 1
    vorn_use_arch x64
    vorn_start_wine
    [ -e "$folder/wineprefix" ] || ln -s "$WINEPREFIX" "$folder/wineprefix"
    # A trap ends a program as a crash: its test fails.
    if (cd "$folder" && ctest -L unit >"$log/ubsan-tests.txt" 2>&1); then
        echo "ubsan: ${#tests[@]} unit test programs, $(grep -c ' Passed ' "$log/ubsan-tests.txt") cases, no undefined behaviour ($(took))"
    else
        echo "ubsan: FAILED ($log/ubsan-tests.txt):"
        grep -E 'Failed|\*\*\*|Exception' "$log/ubsan-tests.txt"
        return 1
    fi
}

status=0
for check in "${checks[@]}"; do
    started=$SECONDS
    case "$check" in
    format) check_format || status=1 ;;
    scripts) check_scripts || status=1 ;;
    warnings) check_warnings || status=1 ;;
    clang) check_clang || status=1 ;;
    ubsan) check_ubsan || status=1 ;;
    *) echo "unknown check: $check (format, scripts, warnings, clang, ubsan)" >&2; exit 2 ;;
    esac
done
exit $status
