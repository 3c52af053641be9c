#!/usr/bin/env bash
# The Windows module and tools, their release package, and their end-to-end tests under Wine
# (CTest label "wine"): installs what is needed (scripts/setup.sh), builds the native tools to
# compare with (build/wine-native), the 32-bit Windows build and its release package (preset
# mingw, build/mingw), and runs the suite on them (build/wine-suite-i686). Where 32-bit Wine
# cannot run (a kernel without 32-bit program support), the suite's Wine tests report themselves
# skipped and the same tests run on the 64-bit Windows build and its package under 64-bit Wine
# (build/wine-mingw64, build/wine-suite-x86_64). Pictures of the host window are left in
# build/wine-suite-*/pictures/.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir="${PWD}"

bash scripts/setup.sh build windows

jobs=$(nproc 2>/dev/null || echo 2)

echo "== native tools to compare with"
cmake -S . -B build/wine-native -DCMAKE_BUILD_TYPE=Release -DHALVERN_BUILD_TESTS=OFF >/dev/null
cmake --build build/wine-native -j "${jobs}" --target halvern halvern-host halvern-scenery \
    halvern_module

echo "== 32-bit Windows build and release package (preset mingw)"
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "${jobs}"
(cd build/mingw && cpack -G ZIP)

# run_suite ARCH WINDOWS_BUILD
run_suite() {
    local arch="$1" windows_build="$2" suite="build/wine-suite-$1"
    echo "== Wine suite on the ${arch} build"
    cmake -S tests/wine -B "${suite}" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="${source_dir}/cmake/mingw-w64-${arch}.cmake" \
        -DHALVERN_WINDOWS_BUILD="${source_dir}/${windows_build}" \
        -DHALVERN_NATIVE_BUILD="${source_dir}/build/wine-native" \
        -DHALVERN_PRODUCT_DLL="${source_dir}/build/mingw/src/module/halvern.dll" \
        -DHALVERN_OBJDUMP="${arch}-w64-mingw32-objdump" >/dev/null
    cmake --build "${suite}" -j "${jobs}"
    # One display and one test at a time: the cases share the screen.
    ctest --test-dir "${suite}" -L wine --output-on-failure
}

run_suite i686 build/mingw

if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo "== 32-bit Wine cannot run on this kernel: the 64-bit Windows build under 64-bit Wine"
    cmake -S . -B build/wine-mingw64 \
        -DCMAKE_TOOLCHAIN_FILE="${source_dir}/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DHALVERN_BUILD_TESTS=OFF >/dev/null
    cmake --build build/wine-mingw64 -j "${jobs}"
    (cd build/wine-mingw64 && cpack -G ZIP)
    run_suite x86_64 build/wine-mingw64
fi
