#!/usr/bin/env bash
# Runs the scenery and cache tests of the debug build's unit tests under valgrind memcheck:
# any invalid read or write, use of uninitialised memory or leak fails the run. The randomised
# corruption test runs HALVERN_CORRUPTION_ROUNDS rounds here (default 2000 instead of 20000).
#
#   bash scripts/valgrind.sh [BUILD_DIR]     (default build/debug, the debug preset's)
set -euo pipefail
cd "$(dirname "$0")/.."

build="${1:-build/debug}"
jobs=$(nproc 2>/dev/null || echo 2)
if [ "${build}" = build/debug ]; then
    cmake --preset debug >/dev/null
else
    cmake --preset debug -B "${build}" >/dev/null
fi
cmake --build "${build}" --target halvern_unit_tests -j "${jobs}"

filter='*Extract*:*Parse*:*ScanFile*:*Cache*:*SceneryAreas*:*AfdList*:*SceneryCorruption*:*ProfileFile*:*DefaultAreas*:*SceneryFingerprint*:*DirectoryListing*:*LongPath*'
config=$(mktemp -d)
trap 'rm -rf "${config}"' EXIT
echo "== valgrind memcheck: ${filter}"
XDG_CONFIG_HOME="${config}" HALVERN_CORRUPTION_ROUNDS="${HALVERN_CORRUPTION_ROUNDS:-2000}" \
    valgrind --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite,indirect \
    --track-origins=yes --quiet \
    "${build}/tests/halvern_unit_tests" --gtest_filter="${filter}" --gtest_brief=1
