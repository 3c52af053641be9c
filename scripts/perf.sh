#!/usr/bin/env bash
# Performance at scale. Builds the release preset, compiles the five worlds into
# build/perf-world/ if they are missing (the scale world: the bundled airports replicated with
# jittered positions to 50,000 airports over 1,000 scenery files in 40 areas; the plain demo
# world; the world of many small files: 37,386 airports in 4,000 files of about 9 airports over
# 400 areas, as a real installation with many add-ons has; the same world with every folder
# of its areas named in another letter case than on the disk; and the clutter world: the 5,210
# bundled airports in 50 areas beside 20,000 folders of 200,000 files that are not scenery,
# aircraft, textures and sounds, as a simulator directory holds them), runs the benchmark suite
# and prints one table: every figure beside its floor measured in the same run, their ratio, the
# target and whether it was met.
#
# The suite's own report goes to build/perf-world/benchmarks.txt. Environment:
#   HALVERN_PERF_BUILD        build directory (default build/perf-release)
#   HALVERN_PERF_REPETITIONS  repetitions of each timed benchmark (default 5)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${HALVERN_PERF_BUILD:-build/perf-release}
repetitions=${HALVERN_PERF_REPETITIONS:-5}
worlds=build/perf-world
jobs=$(nproc 2>/dev/null || echo 2)

echo "== building the release preset in ${build}" >&2
cmake --preset release -B "${build}" >/dev/null
cmake --build "${build}" -j "${jobs}" --target halvern-scenery halvern_bench >/dev/null

mkdir -p "${worlds}"
if [ ! -f "${worlds}/scale/scenery.cfg" ]; then
    echo "== compiling the scale world into ${worlds}/scale" >&2
    "${build}/tools/halvern-scenery" data/airports.csv "${worlds}/scale" \
        --airports 50000 --areas 40 --files 1000 >/dev/null
fi
if [ ! -f "${worlds}/demo/scenery.cfg" ]; then
    echo "== compiling the demo world into ${worlds}/demo" >&2
    "${build}/tools/halvern-scenery" data/airports.csv "${worlds}/demo" >/dev/null
fi
if [ ! -f "${worlds}/many/scenery.cfg" ]; then
    echo "== compiling the world of many small files into ${worlds}/many" >&2
    "${build}/tools/halvern-scenery" data/airports.csv "${worlds}/many" \
        --airports 37386 --areas 400 --files 4000 >/dev/null
fi
if [ ! -f "${worlds}/many-other-case/scenery.cfg" ]; then
    echo "== compiling the same world in another letter case into ${worlds}/many-other-case" >&2
    "${build}/tools/halvern-scenery" data/airports.csv "${worlds}/many-other-case" \
        --airports 37386 --areas 400 --files 4000 --other-case >/dev/null
fi
if [ ! -f "${worlds}/clutter/scenery.cfg" ]; then
    echo "== compiling the clutter world into ${worlds}/clutter (200,000 small files: a while)" >&2
    # The compiler writes scenery.cfg last: a run stopped before it is compiled again.
    "${build}/tools/halvern-scenery" data/airports.csv "${worlds}/clutter" \
        --areas 50 --clutter 20000,200000 >/dev/null
fi

echo "== running the benchmarks (${repetitions} repetitions, interleaved; a few minutes)" >&2
# Figures and floors are repeated in random interleaving, so that both meet the same moments of
# a busy machine; the table takes the median of each.
"${build}/tests/bench/halvern_bench" --world="${worlds}/scale" --demo-world="${worlds}/demo" \
    --many-world="${worlds}/many" --many-other-case-world="${worlds}/many-other-case" \
    --clutter-world="${worlds}/clutter" \
    --benchmark_repetitions="${repetitions}" \
    --benchmark_enable_random_interleaving=true 2>"${worlds}/benchmarks.txt"
