#!/usr/bin/env bash
# Installs what the Windows build and its end-to-end tests under Wine need on Debian 12, as root:
# the MinGW-w64 cross compilers, Wine with its fonts, a virtual X display and ImageMagick for the
# screenshot. Safe to run again: it installs only what is missing.
#
# The product is 32-bit (g++-mingw-w64-i686, wine32). Where the kernel runs no 32-bit programs
# (ia32 emulation switched off) 32-bit Wine cannot start, and the tests run the 64-bit build under
# 64-bit Wine instead: hence g++-mingw-w64-x86-64 and wine64 as well.
set -euo pipefail

packages=(g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
          wine wine32:i386 wine64 fonts-wine xvfb xauth imagemagick)

# wine32 is an i386 package: the architecture must be known before the package lists are read.
added_architecture=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    added_architecture=1
fi

missing=()
for package in "${packages[@]}"; do
    dpkg -s "${package}" >/dev/null 2>&1 || missing+=("${package}")
done
if [ "${#missing[@]}" -gt 0 ] || [ "${added_architecture}" -eq 1 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
fi
if [ "${#missing[@]}" -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
