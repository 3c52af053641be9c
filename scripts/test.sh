#!/usr/bin/env bash
# Builds and runs the whole test suite: the native debug build, then the same suite under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc 2>/dev/null || echo 2)
for preset in debug asan; do
    echo "== ${preset}: configure and build"
    cmake --preset "${preset}" >/dev/null
    cmake --build --preset "${preset}" -j "${jobs}"
    echo "== ${preset}: tests"
    ctest --preset "${preset}" -j "${jobs}"
done
