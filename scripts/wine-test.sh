#!/usr/bin/env bash
# The Windows module and tools, their release package, and their end-to-end tests under Wine
# (CTest label "wine"): installs what is needed (scripts/setup.sh), builds the native tools to
# compare with (build/wine-native), the 32-bit Windows build and its release package (preset
# mingw, build/mingw), and runs the suite on them (build/wine-suite-i686). On a kernel without
# 32-bit program support setup registers QEMU's user-mode emulator for them; where neither runs
# 32-bit Wine, the suite's Wine tests report themselves skipped and the same tests run on the
# 64-bit Windows build and its package under 64-bit Wine (build/wine-mingw64,
# build/wine-suite-x86_64). Pictures of the host window are left in build/wine-suite-*/pictures/.
#
# HALVERN_EMULATE_I386=1 runs the 32-bit programs through the emulator even where the kernel
# runs them itself; that registration is removed when this script ends.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir="${PWD}"
emulator=/proc/sys/fs/binfmt_misc/qemu-i386

unregister_emulator() {
    if [ -e "${emulator}" ]; then
        local sudo=()
        [ "$(id -u)" -eq 0 ] || sudo=(sudo)
        # Writing -1 to a binfmt_misc entry removes it: the kernel runs 32-bit programs again.
        echo -1 | "${sudo[@]}" tee "${emulator}" >/dev/null
        echo "== the emulator's registration for 32-bit programs removed"
    fi
}
if [ "${HALVERN_EMULATE_I386:-0}" = 1 ]; then
    trap unregister_emulator EXIT
fi

bash scripts/setup.sh build windows

# Which way 32-bit programs run: a registered emulator goes before the kernel's own support.
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    i386_way=""
elif grep -qsx enabled "${emulator}"; then
    i386_way="emulated by $(qemu-i386 --version | head -1)"
else
    i386_way=natively
fi

jobs=$(nproc 2>/dev/null || echo 2)

echo "== native tools to compare with"
cmake -S . -B build/wine-native -DCMAKE_BUILD_TYPE=Release -DHALVERN_BUILD_TESTS=OFF >/dev/null
cmake --build build/wine-native -j "${jobs}" --target halvern halvern-host halvern-scenery \
    halvern_module

echo "== 32-bit Windows build and release package (preset mingw)"
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "${jobs}"
(cd build/mingw && cpack -G ZIP)

# run_suite ARCH WINDOWS_BUILD REQUIRED (ON: a skipped case fails)
run_suite() {
    local arch="$1" windows_build="$2" required="$3" suite="build/wine-suite-$1"
    echo "== Wine suite on the ${arch} build"
    cmake -S tests/wine -B "${suite}" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="${source_dir}/cmake/mingw-w64-${arch}.cmake" \
        -DHALVERN_WINDOWS_BUILD="${source_dir}/${windows_build}" \
        -DHALVERN_NATIVE_BUILD="${source_dir}/build/wine-native" \
        -DHALVERN_PRODUCT_DLL="${source_dir}/build/mingw/src/module/halvern.dll" \
        -DHALVERN_OBJDUMP="${arch}-w64-mingw32-objdump" -DHALVERN_WINE_REQUIRED="${required}" \
        >/dev/null
    cmake --build "${suite}" -j "${jobs}"
    # One display and one test at a time: the cases share the screen.
    ctest --test-dir "${suite}" -L wine --output-on-failure
}

if [ -n "${i386_way}" ]; then
    echo "== 32-bit programs run ${i386_way}"
    run_suite i686 build/mingw ON
    echo "== the Wine suite ran the 32-bit build, its programs ${i386_way}"
else
    run_suite i686 build/mingw OFF
    echo "== 32-bit Wine cannot run on this kernel: the 64-bit Windows build under 64-bit Wine"
    cmake -S . -B build/wine-mingw64 \
        -DCMAKE_TOOLCHAIN_FILE="${source_dir}/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DHALVERN_BUILD_TESTS=OFF >/dev/null
    cmake --build build/wine-mingw64 -j "${jobs}"
    (cd build/wine-mingw64 && cpack -G ZIP)
    run_suite x86_64 build/wine-mingw64 OFF
fi
