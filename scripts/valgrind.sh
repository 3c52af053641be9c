#!/usr/bin/env bash
# Runs the debug build's tests of reading untrusted input (CTest label "input": scenery files,
# the cache, the scenery lists, profile files, directory listings and the distance text) under
# valgrind memcheck: any invalid read or write, use of uninitialised memory or leak fails the
# run. Each test program that holds such tests runs once, with exactly those tests. The
# randomised corruption test runs HALVERN_CORRUPTION_ROUNDS rounds here (default 2000 instead of
# 20000).
#
#   bash scripts/valgrind.sh [BUILD_DIR]     (default build/debug, the debug preset's)
set -euo pipefail
cd "$(dirname "$0")/.."

build="${1:-build/debug}"
label=input
jobs=$(nproc 2>/dev/null || echo 2)
if [ "${build}" = build/debug ]; then
    cmake --preset debug >/dev/null
else
    cmake --preset debug -B "${build}" >/dev/null
fi
cmake --build "${build}" --target halvern_input_tests -j "${jobs}"

# One line per test program: the program, then a filter naming each of its tests that carries
# the label.
programs=$(ctest --test-dir "${build}" -L "^${label}\$" --show-only=json-v1 | python3 -c '
import json, sys
filters = {}
for test in json.load(sys.stdin)["tests"]:
    program, *arguments = test["command"]
    filters.setdefault(program, []).extend(
        argument[len("--gtest_filter="):] for argument in arguments
        if argument.startswith("--gtest_filter="))
for program, names in filters.items():
    print(program, ":".join(names))
')
[ -n "${programs}" ] || { echo "no test carries the label ${label}" >&2; exit 1; }

config=$(mktemp -d)
trap 'rm -rf "${config}"' EXIT
while read -r program filter; do
    echo "== valgrind memcheck: $(basename "${program}"), $(tr ':' '\n' <<<"${filter}" | wc -l) tests labelled ${label}"
    XDG_CONFIG_HOME="${config}" HALVERN_CORRUPTION_ROUNDS="${HALVERN_CORRUPTION_ROUNDS:-2000}" \
        valgrind --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite,indirect \
        --track-origins=yes --quiet \
        "${program}" --gtest_filter="${filter}" --gtest_brief=1
done <<<"${programs}"
