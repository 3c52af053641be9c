#!/usr/bin/env bash
# Installs the Debian 12 packages that the named purposes need and that are missing; installs
# nothing when all are there. One list per purpose, used by scripts/demo.sh, scripts/test.sh,
# scripts/wine-test.sh and .ci/run:
#
#   bash scripts/setup.sh PURPOSE...
#
#   build    compile the module and the tools, nlohmann/json and CLI11 among them (the demo)
#   test     build, plus GoogleTest, Google Benchmark, MPFR, the JSON Schema validator and
#            Chromium (the test suite; the report's JSON and HTML are checked with them)
#   check    clang-format, clang 14 with its sanitizer and fuzzer runtime, valgrind (CI's checks)
#   mingw    the MinGW-w64 cross compilers (the Windows build and its release package)
#   windows  mingw, plus Wine (32- and 64-bit), a virtual X display, ImageMagick for the
#            screenshots and jq for the reports the differential table compares (the Windows
#            build's tests under Wine); where 32-bit programs do not run, QEMU's user-mode
#            emulator of bookworm-backports registered for them
#
# HALVERN_EMULATE_I386=1 registers the emulator even where the kernel runs 32-bit programs
# itself (a registered handler takes precedence), to try the emulated way on such a machine.
#
# apt-get runs as root, or through sudo for anybody else. Exit status 2 when neither can be had
# or the installation fails.
set -euo pipefail

declare -A lists
lists[build]="cmake make g++ nlohmann-json3-dev libcli11-dev"
lists[test]="${lists[build]} libgtest-dev libgmock-dev libbenchmark-dev libmpfr-dev
             python3-jsonschema chromium"
lists[check]="clang-format clang-14 libclang-rt-14-dev valgrind"
# The product is 32-bit (g++-mingw-w64-i686, wine32). Where the kernel runs no 32-bit programs,
# 32-bit Wine runs through QEMU's user-mode emulator (below); where that cannot be registered
# either, the tests run the 64-bit build under 64-bit Wine instead.
lists[mingw]="g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64
              binutils-mingw-w64-x86-64 nlohmann-json3-dev libcli11-dev"
lists[windows]="${lists[mingw]} wine wine32:i386 wine64 fonts-wine xvfb xauth imagemagick jq"

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

# apt-get and the system settings as root, or through sudo.
as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        env DEBIAN_FRONTEND=noninteractive "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo env DEBIAN_FRONTEND=noninteractive "$@"
    else
        echo "setup: only root can do this here (no sudo): $*" >&2
        exit 2
    fi
}

if [ "${#missing[@]}" -gt 0 ]; then
    echo "== setup: installing ${missing[*]}"
    # An i386 package needs the architecture known before the package lists are read.
    if [ "${needs_i386}" -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        as_root dpkg --add-architecture i386 || {
            echo "setup: could not add the i386 architecture for ${missing[*]}" >&2
            exit 2
        }
    fi
    if ! as_root apt-get update -q >/dev/null ||
        ! as_root apt-get install -y -q --no-install-recommends "${missing[@]}"; then
        echo "setup: apt-get could not install ${missing[*]}" >&2
        exit 2
    fi
fi

# 32-bit programs (32-bit Wine): checked at every run, since a registration with binfmt_misc
# does not survive a reboot. Where the kernel runs none, QEMU's user-mode emulator runs them:
# the one of bookworm-backports, as bookworm's (QEMU 7.2) ignores MAP_FIXED_NOREPLACE and takes
# some 50 s to start each 32-bit Wine process. The registration is left in place.
[[ " $* " == *" windows "* ]] || exit 0
wine32=/usr/lib/wine/wine
binfmt=/proc/sys/fs/binfmt_misc

# Registers the emulator's binfmt_misc line for i386 in place of any earlier one. Debian installs
# the line but registers it only where the kernel cannot run such programs itself, which it
# judges by the architecture alone: never on amd64. Its flags (OPF) include F, which opens the
# emulator at registration, so that it serves in chroots and containers as well.
register_emulator() {
    # binfmt_misc is a file system of its own, not mounted everywhere (chroots, containers).
    mountpoint -q "${binfmt}" || as_root mount -t binfmt_misc binfmt_misc "${binfmt}" 2>/dev/null ||
        return 1
    if [ -e "${binfmt}/qemu-i386" ]; then
        echo -1 | as_root tee "${binfmt}/qemu-i386" >/dev/null 2>&1 || return 1
    fi
    as_root tee "${binfmt}/register" </usr/share/qemu/binfmt.d/qemu-i386.conf >/dev/null 2>&1
}

# A registered but slow emulator counts as none (bookworm's starts Wine in about 50 s).
if [ "${HALVERN_EMULATE_I386:-0}" != 1 ] && timeout 20 "${wine32}" --version >/dev/null 2>&1; then
    exit 0
fi
if ! installed qemu-user-static ||
    dpkg --compare-versions "$(dpkg-query -W -f='${Version}' qemu-user-static)" lt 1:10; then
    echo "== setup: QEMU's user-mode emulator from bookworm-backports, for 32-bit programs"
    if ! grep -rqs bookworm-backports /etc/apt/sources.list /etc/apt/sources.list.d/; then
        # From the mirror the machine already uses for bookworm, where one is named.
        mirror=$(grep -h -E '^URIs:' /etc/apt/sources.list.d/*.sources 2>/dev/null |
            grep -v security | awk '{print $2}' | head -1 || true)
        printf '%s\n' "Types: deb" "URIs: ${mirror:-http://deb.debian.org/debian}" \
            "Suites: bookworm-backports" "Components: main" \
            "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" |
            as_root tee /etc/apt/sources.list.d/bookworm-backports.sources >/dev/null
    fi
    if ! as_root apt-get update -q >/dev/null || ! as_root apt-get install -y -q \
        --no-install-recommends -t bookworm-backports qemu-user-static; then
        echo "setup: apt-get could not install qemu-user-static from bookworm-backports" >&2
        exit 2
    fi
fi
if ! register_emulator; then
    echo "setup: 32-bit programs do not run here and binfmt_misc refuses the emulator's registration: the Wine tests will run the 64-bit build"
    exit 0
fi
if ! timeout 20 "${wine32}" --version >/dev/null 2>&1; then
    echo "setup: 32-bit Wine does not start even through QEMU's user-mode emulator: the Wine tests will run the 64-bit build"
    exit 0
fi
echo "setup: 32-bit programs run through $(qemu-i386 --version | head -1), registered with binfmt_misc"
