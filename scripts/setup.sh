#!/usr/bin/env bash
# Installs the Debian 12 packages that the named purposes need and that are missing; installs
# nothing when all are there. One list per purpose, used by scripts/demo.sh, scripts/test.sh,
# scripts/wine-test.sh and .ci/run:
#
#   bash scripts/setup.sh PURPOSE...
#
#   build    compile the module and the tools, nlohmann/json among them (the demo)
#   test     build, plus GoogleTest, Google Benchmark, MPFR, the JSON Schema validator and
#            Chromium (the test suite; the report's JSON and HTML are checked with them)
#   check    clang-format, clang 14 with its sanitizer and fuzzer runtime, valgrind (CI's checks)
#   mingw    the MinGW-w64 cross compilers (the Windows build and its release package)
#   windows  mingw, plus Wine (32- and 64-bit), a virtual X display and ImageMagick for the
#            screenshots (the Windows build's tests under Wine)
#
# apt-get runs as root, or through sudo for anybody else. Exit status 2 when neither can be had
# or the installation fails.
set -euo pipefail

declare -A lists
lists[build]="cmake make g++ nlohmann-json3-dev"
lists[test]="${lists[build]} libgtest-dev libgmock-dev libbenchmark-dev libmpfr-dev
             python3-jsonschema chromium"
lists[check]="clang-format clang-14 libclang-rt-14-dev valgrind"
# The product is 32-bit (g++-mingw-w64-i686, wine32). Where the kernel runs no 32-bit programs,
# 32-bit Wine cannot start and the tests run the 64-bit build under 64-bit Wine instead.
lists[mingw]="g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64
              binutils-mingw-w64-x86-64 nlohmann-json3-dev"
lists[windows]="${lists[mingw]} wine wine32:i386 wine64 fonts-wine xvfb xauth imagemagick"

if [ $# -eq 0 ]; then
    echo "usage: $0 build|test|check|mingw|windows..." >&2
    exit 2
fi
wanted=()
for purpose in "$@"; do
    if [ -z "${lists[${purpose}]+set}" ]; then
        echo "setup: unknown purpose '${purpose}' (build, test, check, mingw or windows)" >&2
        exit 2
    fi
    # shellcheck disable=SC2206
    wanted+=(${lists[${purpose}]})
done

installed() {
    [ "$(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null)" = installed ]
}

missing=()
for package in "${wanted[@]}"; do
    installed "${package}" || missing+=("${package}")
done
needs_i386=0
for package in "${missing[@]}"; do
    [[ "${package}" == *:i386 ]] && needs_i386=1
done
if [ "${#missing[@]}" -eq 0 ]; then
    exit 0
fi

# apt-get as root, or through sudo.
if [ "$(id -u)" -eq 0 ]; then
    as_root=()
elif command -v sudo >/dev/null 2>&1; then
    as_root=(sudo)
else
    echo "setup: these Debian packages are missing and only root can install them (no sudo here): ${missing[*]}" >&2
    exit 2
fi
run_as_root() {
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive "$@"
}

echo "== setup: installing ${missing[*]}"
# An i386 package needs the architecture known before the package lists are read.
if [ "${needs_i386}" -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    run_as_root dpkg --add-architecture i386 || {
        echo "setup: could not add the i386 architecture for ${missing[*]}" >&2
        exit 2
    }
fi
if ! run_as_root apt-get update -q >/dev/null ||
    ! run_as_root apt-get install -y -q --no-install-recommends "${missing[@]}"; then
    echo "setup: apt-get could not install ${missing[*]}" >&2
    exit 2
fi
