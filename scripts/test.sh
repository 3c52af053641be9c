#!/usr/bin/env bash
# Installs what the build and the tests need and is missing, then builds and runs the whole
# native test suite: the debug build, then the same suite under AddressSanitizer and
# UndefinedBehaviorSanitizer. (The Windows build and its tests under Wine: scripts/wine-test.sh.)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh test

jobs=$(nproc 2>/dev/null || echo 2)
for preset in debug asan; do
    echo "== ${preset}: configure and build"
    cmake --preset "${preset}" >/dev/null
    cmake --build --preset "${preset}" -j "${jobs}"
    echo "== ${preset}: tests"
    ctest --preset "${preset}" -j "${jobs}"
done
