#!/usr/bin/env bash
# Fuzzes every reader of untrusted input for a bounded time: configures the clang build of the
# libFuzzer harnesses in build/fuzz (AddressSanitizer and UndefinedBehaviorSanitizer), writes the
# seed corpora into build/fuzz/corpus/<harness>/ and runs each harness for SECONDS (default 60).
# Fails on any crash, sanitizer report, leak, input slower than 10 s or memory beyond 2 GiB; the
# input that caused it is kept in build/fuzz/findings/<harness>/. The corpora grow from run to
# run. Needs clang-14 and libclang-rt-14-dev.
#
#   bash scripts/fuzz.sh [SECONDS_PER_HARNESS]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
if ! [[ "${seconds}" =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: $0 [SECONDS_PER_HARNESS]" >&2
    exit 2
fi
jobs=$(nproc 2>/dev/null || echo 2)

echo "== fuzz: configure and build (clang-14)"
CC=clang-14 CXX=clang++-14 cmake -S . -B build/fuzz -G "Unix Makefiles" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHALVERN_FUZZ=ON -DHALVERN_BUILD_TESTS=OFF \
    -DHALVERN_FUZZ_SECONDS="${seconds}" >/dev/null
cmake --build build/fuzz --target halvern_fuzzers -j "${jobs}"

echo "== fuzz: ${seconds} s per harness"
# One harness per core; the seeds are written first (a test fixture).
ctest --test-dir build/fuzz -L fuzz -j "${jobs}" --output-on-failure
