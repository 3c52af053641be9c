#!/usr/bin/env bash
# The end-to-end tests of the Windows module under Wine: `wine_e2e.sh CASE`. CTest runs `setup`
# first (virtual display, fresh Wine prefix, test world), then each case with a prefix of its
# own made from that one, then `cleanup`. The paths of the programs under test come from the
# environment (tests/wine/CMakeLists.txt). Exit status 77 means skipped.
set -euo pipefail

case_name="$1"
work="${HALVERN_WORK:?}"
source_dir="${HALVERN_SOURCE_DIR:?}"
scripts="${source_dir}/tests/wine"
mkdir -p "${work}"

fail() {
    echo "FAILED: $*" >&2
    exit 1
}
pass() {
    echo "ok: $*"
}

# --- Wine -----------------------------------------------------------------------------------

# The loader of the architecture under test, called directly: Debian's `wine` script picks the
# 32-bit loader whenever it is installed.
if [ "${HALVERN_WINE_ARCH:?}" = win32 ]; then
    loader=/usr/lib/wine/wine
else
    loader=/usr/lib/wine/wine64
fi
if [ -x /usr/lib/wine/wineserver64 ]; then
    server=/usr/lib/wine/wineserver64
else
    server=wineserver
fi
export WINEDEBUG=-all
# Wine wants a home directory even with its prefix given.
export HOME="${HOME:-${work}}"
# No Mono, no Gecko, and no browser of any kind: winebrowser and iexplore are disabled.
export WINEDLLOVERRIDES="mscoree,mshtml,winebrowser.exe,iexplore.exe="

# Z: is the Unix root in every prefix.
winpath() {
    local path="$1"
    printf 'Z:%s' "${path//\//\\}"
}

skip_if_unsupported() {
    if [ -f "${work}/unsupported" ]; then
        cat "${work}/unsupported" >&2
        exit 77
    fi
}

load_environment() {
    skip_if_unsupported
    [ -f "${work}/environment" ] || fail "the setup did not run"
    # shellcheck disable=SC1091
    source "${work}/environment"
}

# A prefix of the case's own, made from the fresh one of the setup: the files are hard links
# (Wine replaces, never rewrites, the ones it changes) and the registry files are copies.
new_prefix() {
    local prefix="$1"
    rm -rf "${prefix}"
    cp -al "${work}/prefix" "${prefix}"
    for hive in system.reg user.reg userdef.reg; do
        rm -f "${prefix}/${hive}"
        cp "${work}/prefix/${hive}" "${prefix}/${hive}"
    done
}

# Runs a program under Wine in the case's prefix.
run_wine() {
    WINEPREFIX="${prefix}" "${loader}" "$@"
}

stop_prefix() {
    WINEPREFIX="${prefix}" "${server}" -k 2>/dev/null || true
    WINEPREFIX="${prefix}" "${server}" -w 2>/dev/null || true
}

# --- The hosts ------------------------------------------------------------------------------

# A copy of the test world (file times kept: they are part of the scenery fingerprint).
new_world() {
    local to="$1"
    rm -rf "${to}"
    cp -a "${work}/world" "${to}"
}

# Two copies of the test world, Sim for Wine and NativeSim for the native tools; sets the
# caller's wine_sim (in Windows form) and native_sim.
two_worlds() {
    new_world "${case_dir}/Sim"
    new_world "${case_dir}/NativeSim"
    wine_sim="$(winpath "${case_dir}/Sim")"
    native_sim="${case_dir}/NativeSim"
}

# Runs the Win32 host under Wine: win_host SIMDIR SCRIPT OUT ERR [options...]
win_host() {
    local simdir="$1"
    shift
    win_host_at "$(winpath "${simdir}")" "$@"
}

# The same with SIMDIR handed to the host as it is (a Windows path, in any spelling).
win_host_at() {
    local simdir="$1" script="$2" out="$3" err="$4"
    shift 4
    local status=0
    run_wine "${HALVERN_HOST_EXE}" --module "$(winpath "${HALVERN_DLL}")" \
        --simdir "${simdir}" --script "$(winpath "${script}")" \
        --out "$(winpath "${case_dir}")" "$@" >"${out}" 2>"${err}" || status=$?
    if [ "${status}" -ne 0 ]; then
        cat "${err}" >&2
        fail "the Win32 host ended with status ${status}"
    fi
}

# Runs the native host on the portable desktop: native_host SIMDIR SCRIPT OUT
native_host() {
    local simdir="$1" script="$2" out="$3"
    XDG_CONFIG_HOME="${case_dir}/native-config" "${HALVERN_NATIVE_HOST}" \
        --module "${HALVERN_NATIVE_MODULE}" --simdir "${simdir}" --script "${script}" \
        --out "${case_dir}" >"${out}" || fail "the native host failed"
}

# The host's report without its first line (which names the module file and the directory in
# each platform's form) and without the carriage returns of the Windows text mode.
report_body() {
    tail -n +2 "$1" | tr -d '\r'
}

same_reports() {
    local what="$1" wine_out="$2" native_out="$3"
    if ! diff <(report_body "${native_out}") <(report_body "${wine_out}") >"${case_dir}/diff.txt"
    then
        head -40 "${case_dir}/diff.txt" >&2
        fail "${what}: the Win32 host's report differs from the native host's"
    fi
    pass "${what}: $(wc -l <"${wine_out}") lines identical to the native host's"
}

expect() {
    local file="$1" text="$2" what="$3"
    grep -qF -- "${text}" "${file}" || {
        cat "${file}" >&2
        fail "${what}: no '${text}'"
    }
    pass "${what}"
}

expect_not() {
    local file="$1" text="$2" what="$3"
    if grep -qF -- "${text}" "${file}"; then
        cat "${file}" >&2
        fail "${what}: unexpected '${text}'"
    fi
    pass "${what}"
}

registry_value() {
    run_wine reg query 'HKCU\Software\Tavrel Software\Halvern' /v "$1" 2>/dev/null |
        tr -d '\r' | awk -v name="$1" '$1 == name { print $3 }'
}

# --- Cases ----------------------------------------------------------------------------------

# The relative address of an export, from objdump's listing: the name table gives its index,
# the address table the address at that index.
export_rva() {
    local dump="$1" name="$2" index
    index="$(sed -n 's/^[[:space:]]*\[ *\([0-9]*\)\] \([A-Za-z_]*\)$/\1 \2/p' <<<"${dump}" |
        awk -v name="${name}" '$2 == name { print $1; exit }')"
    sed -n 's/^[[:space:]]*\[ *\([0-9]*\)\] +base\[ *[0-9]*\] *\([0-9a-f]*\) Export RVA$/\1 \2/p' \
        <<<"${dump}" | awk -v wanted="${index}" '$1 == wanted { print $2; exit }'
}

# The strings of a DLL's version resource (UTF-16): each name is followed by its value.
version_string() {
    strings -el -n 2 "$1" | grep -A1 -x "$2" | sed -n 2p
}

check_version_resource() {
    local dll="$1" name expected
    for name in "CompanyName=Tavrel Software" "ProductName=Halvern" \
        "FileVersion=${HALVERN_VERSION:?}" "ProductVersion=${HALVERN_VERSION}" \
        "OriginalFilename=halvern.dll"; do
        expected="${name#*=}"
        name="${name%%=*}"
        [ "$(version_string "${dll}" "${name}")" = "${expected}" ] ||
            fail "version resource: ${name} is '$(version_string "${dll}" "${name}")'"
    done
    [ -n "$(version_string "${dll}" FileDescription)" ] || fail "no FileDescription"
    pass "version resource: Halvern ${HALVERN_VERSION} by Tavrel Software, with a description"
}

case_dll_image() {
    local dll="${HALVERN_PRODUCT_DLL:?}" dump
    dump="$("${HALVERN_OBJDUMP:?}" -p "${dll}")"
    grep -q "file format pei-i386" <<<"$("${HALVERN_OBJDUMP}" -f "${dll}")" ||
        fail "halvern.dll is not a 32-bit DLL"
    pass "halvern.dll is a 32-bit (pei-i386) DLL"
    # Exactly the two data records, by their plain names.
    local exports
    exports="$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"${dump}" |
        awk '/\[ *[0-9]+\]/ { print $NF }' | sort | tr '\n' ' ')"
    [ "${exports}" = "ImportTable Linkage " ] || fail "exports are '${exports}'"
    pass "exports exactly Linkage and ImportTable, undecorated"
    # The host finds the import table 2072 bytes after the start of the linkage record.
    local linkage_rva import_rva
    linkage_rva="$(export_rva "${dump}" Linkage)"
    import_rva="$(export_rva "${dump}" ImportTable)"
    [ $((16#${import_rva} - 16#${linkage_rva})) = 2072 ] ||
        fail "ImportTable lies at 0x${import_rva}, Linkage at 0x${linkage_rva}"
    pass "ImportTable lies 2072 bytes after Linkage"
    # No MinGW runtime DLL beside it: only the system's own.
    local imports
    imports="$(awk '/DLL Name:/ { print toupper($3) }' <<<"${dump}" | sort | tr '\n' ' ')"
    [ "${imports}" = "ADVAPI32.DLL KERNEL32.DLL MSVCRT.DLL SHELL32.DLL USER32.DLL " ] ||
        fail "imports are '${imports}'"
    pass "imports only ${imports}"
    # The two dialog templates: one resource type, 5 (dialog), with the names 1 and 3. objdump
    # indents each level of the resource directory by two more blanks.
    local resources types names
    resources="$(sed -n '/Resource Directory section/,/Resources start/p' <<<"${dump}")"
    types="$(grep -E '^[0-9a-f]+ {3}Entry: ID:' <<<"${resources}" | awk '{ print $4 }' |
        tr '\n' ' ')"
    names="$(grep -E '^[0-9a-f]+ {5}Entry: ID:' <<<"${resources}" | awk '{ print $4 }' |
        tr '\n' ' ')"
    [ "${types}" = "0x000005, 0x000010, " ] || fail "resource types are '${types}'"
    [ "${names}" = "0x000001, 0x000003, 0x000001, " ] || fail "resources are '${names}'"
    pass "carries exactly the dialog resources 1 and 3 and one version resource"
    check_version_resource "${dll}"
    # stdcall routines carry their argument bytes in their symbol names.
    local symbols
    symbols="$("${HALVERN_OBJDUMP}" -t "${dll}")"
    for routine in "ModuleInitEv@0" "ModuleDeinitEv@0" "ChainCallbackEjj@8" \
        "HostWindowProcEPNS_8platform13DesktopWindowEjji@16" \
        "OptionsDialogProcEPNS_8platform13DesktopWindowEjji@16"; do
        grep -q "${routine}\$" <<<"${symbols}" || fail "no stdcall routine *${routine}"
    done
    # The service entries the module calls are stdcall function types.
    grep -q "RegisterChainCallbackERKNS_12HostServicesEPU7stdcallFvjjE" <<<"${symbols}" ||
        fail "the chain service entries are not stdcall"
    pass "ModuleInit, ModuleDeinit, the chain callback, the window and dialog procedures and the service entries are stdcall"
    for program in "${HALVERN_PRODUCT_DLL%/src/module/halvern.dll}/tools/halvern.exe" \
        "${HALVERN_PRODUCT_DLL%/src/module/halvern.dll}/tools/halvern-host.exe"; do
        grep -q "file format pei-i386" <<<"$("${HALVERN_OBJDUMP}" -f "${program}")" ||
            fail "${program} is not a 32-bit program"
        pass "$(basename "${program}") is a 32-bit program"
    done
}

case_setup() {
    rm -rf "${work}"
    mkdir -p "${work}"
    # A 32-bit Wine needs a kernel that runs 32-bit programs, or an emulator registered for them.
    if ! "${loader}" --version >/dev/null 2>&1; then
        [ "${HALVERN_WINE_REQUIRED:-OFF}" = OFF ] ||
            fail "${loader} cannot run here, though scripts/setup.sh found that it could"
        echo "skipped: ${loader} cannot run here (a kernel without 32-bit program support?)" \
            >"${work}/unsupported"
        skip_if_unsupported
    fi
    # The virtual display, on the first free number from 90.
    local display=""
    for number in $(seq 90 120); do
        if [ ! -e "/tmp/.X11-unix/X${number}" ] && [ ! -e "/tmp/.X${number}-lock" ]; then
            display="${number}"
            break
        fi
    done
    [ -n "${display}" ] || fail "no free X display number"
    Xvfb ":${display}" -screen 0 1024x768x24 -nolisten tcp >"${work}/xvfb.log" 2>&1 &
    echo $! >"${work}/xvfb.pid"
    for _ in $(seq 100); do
        [ -e "/tmp/.X11-unix/X${display}" ] && break
        sleep 0.1
    done
    [ -e "/tmp/.X11-unix/X${display}" ] || fail "Xvfb did not start"
    echo "export DISPLAY=:${display}" >"${work}/environment"
    export DISPLAY=":${display}"

    # A fresh prefix of the architecture under test.
    prefix="${work}/prefix"
    local started=${SECONDS}
    WINEARCH="${HALVERN_WINE_ARCH}" WINEPREFIX="${prefix}" "${loader}" wineboot -i \
        >"${work}/wineboot.log" 2>&1 || fail "wineboot failed"
    # Without a window manager every closing dialog would stall for 2 s unless Wine manages
    # its windows itself; a crash ends the process instead of opening the debugger's dialog.
    run_wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null
    run_wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
        >/dev/null
    # Internet shortcuts open with the test's stand-in for a browser.
    cp "${HALVERN_LINK_STUB}" "${work}/link_stub.exe"
    run_wine reg add 'HKCR\InternetShortcut\shell\open\command' /ve /t REG_SZ \
        /d "\"$(winpath "${work}/link_stub.exe")\" \"%1\"" /f >/dev/null
    stop_prefix
    echo "prefix made in $((SECONDS - started)) s"

    # The test world: the bundled airports, one scenery file per country area, so that every
    # platform visits the files in the same order; plus a switched-off and a default area.
    "${HALVERN_SCENERY_TOOL}" "${source_dir}/data/airports.csv" "${work}/world" \
        --per-file 100000 --inactive-area --default-area >"${work}/world.log"
    pass "setup: display :${display}, ${HALVERN_WINE_ARCH} prefix, world"
}

case_cleanup() {
    if [ -f "${work}/xvfb.pid" ]; then
        kill "$(cat "${work}/xvfb.pid")" 2>/dev/null || true
        rm -f "${work}/xvfb.pid"
    fi
    pass "cleanup"
}

case_load_and_cache() {
    new_world "${case_dir}/Sim"
    local simdir="${case_dir}/Sim"
    win_host "${simdir}" "${scripts}/short.flight" "${case_dir}/first.txt" "${case_dir}/first.err"
    expect "${case_dir}/first.err" "module loaded from $(winpath "${simdir}")\\Modules\\halvern.dll" \
        "the module loads from SIMDIR\\Modules"
    [ -f "${simdir}/HalvernCache.dat" ] || fail "no HalvernCache.dat in SIMDIR"
    pass "HalvernCache.dat written in SIMDIR (so SIMDIR is the simulator directory)"
    expect "${case_dir}/first.err" "window created during ModuleInit: #32770 'Halvern'" \
        "cache miss: the progress window is created"
    expect "${case_dir}/first.err" "progress bar during ModuleInit: 100 position(s), last 100, visible" \
        "cache miss: the visible bar moves through 100 positions to 100"
    # The database the DLL extracted is the native one, byte for byte: the cache file differs
    # only in the fingerprint (bytes 4..7), which covers the paths in each platform's form.
    new_world "${case_dir}/NativeSim"
    "${HALVERN_NATIVE_TOOL}" scan "${case_dir}/NativeSim" >/dev/null
    if ! cmp -n 4 "${simdir}/HalvernCache.dat" "${case_dir}/NativeSim/HalvernCache.dat" ||
        ! cmp -i 8 "${simdir}/HalvernCache.dat" "${case_dir}/NativeSim/HalvernCache.dat"; then
        fail "the cache written under Wine differs from the native one beyond the fingerprint"
    fi
    pass "the cache file equals the native tool's but for the fingerprint"
    win_host "${simdir}" "${scripts}/short.flight" "${case_dir}/second.txt" "${case_dir}/second.err"
    expect_not "${case_dir}/second.err" "#32770 'Halvern'" "cache hit: no progress window"
    expect "${case_dir}/second.err" "progress bar during ModuleInit: 0 position(s)" \
        "cache hit: no progress bar positions"
    same_reports "cache hit and miss" "${case_dir}/second.txt" "${case_dir}/first.txt"
}

# The real module writes its cache whole: a new file beside it that takes its name. Over a cache
# of other scenery it replaces it (no new file left beside it); over a link at the cache's name it
# replaces the link, and the link's target stays as it was.
case_cache_replacement() {
    local simdir="${case_dir}/Sim"
    new_world "${simdir}"
    printf 'stale' >"${simdir}/HalvernCache.dat"
    printf 'old' >"${simdir}/HalvernCache.dat.99-0.tmp"
    touch -d '3 days ago' "${simdir}/HalvernCache.dat.99-0.tmp"
    win_host "${simdir}" "${scripts}/short.flight" "${case_dir}/first.txt" "${case_dir}/first.err"
    [ "$(head -c 4 "${simdir}/HalvernCache.dat" | od -An -tu4 | tr -d ' ')" = 3 ] ||
        fail "the stale cache was not replaced by one of format 3"
    [ -z "$(find "${simdir}" -maxdepth 1 -name 'HalvernCache.dat.*')" ] ||
        fail "files beside the cache: $(find "${simdir}" -maxdepth 1 -name 'HalvernCache.dat.*')"
    pass "a cache of other scenery is replaced whole; nothing is left beside it, an old leftover removed"
    local outside="${case_dir}/outside.txt"
    printf 'not a cache' >"${outside}"
    rm "${simdir}/HalvernCache.dat"
    ln -s "${outside}" "${simdir}/HalvernCache.dat"
    win_host "${simdir}" "${scripts}/short.flight" "${case_dir}/second.txt" "${case_dir}/second.err"
    [ "$(cat "${outside}")" = "not a cache" ] || fail "the link's target was written"
    [ -f "${simdir}/HalvernCache.dat" ] && [ ! -L "${simdir}/HalvernCache.dat" ] ||
        fail "the link at the cache's name was not replaced by the cache"
    pass "a link at the cache's name is replaced by the cache, its target untouched"
}

case_menus() {
    new_world "${case_dir}/Sim"
    win_host "${case_dir}/Sim" "${scripts}/menus.flight" "${case_dir}/wine.txt" "${case_dir}/wine.err"
    local out="${case_dir}/wine.txt"
    local full="Show airports | Options | ---- | Halvern Homepage | Visit Tavrel Software | ---- | About... | "
    # The reports of the four key presses, in order.
    mapfile -t menus < <(tr -d '\r' <"${out}" | sed -n 's/^  menu: //p')
    [ "${menus[0]}" = "(no Modules > Halvern menu)" ] ||
        fail "before the first non-client paint: '${menus[0]}'"
    pass "no menu entries before the first non-client paint"
    [ "${menus[1]}" = "${full}" ] || fail "after the paint: '${menus[1]}'"
    pass "Modules > Halvern holds the menu table in order"
    [ "${menus[2]}" = "Show airports | ---- | Halvern Homepage | Visit Tavrel Software | ---- | About... | " ] ||
        fail "after the host deleted Options: '${menus[2]}'"
    [ "${menus[3]}" = "Show airports | ---- | Halvern Homepage | Visit Tavrel Software | ---- | About... | Options | " ] ||
        fail "Options did not come back at the end: '${menus[3]}'"
    pass "a deleted item comes back at the end at the next paint"
    [ "${menus[4]}" = "(no Modules > Halvern menu)" ] || fail "Modules not deleted: '${menus[4]}'"
    [ "${menus[5]}" = "${full}" ] || fail "Modules did not come back: '${menus[5]}'"
    pass "a deleted Modules menu comes back whole"
    new_world "${case_dir}/NativeSim"
    native_host "${case_dir}/NativeSim" "${scripts}/menus.flight" "${case_dir}/native.txt"
    same_reports "menus" "${out}" "${case_dir}/native.txt"
}

case_hotkey() {
    new_world "${case_dir}/Sim"
    win_host "${case_dir}/Sim" "${scripts}/hotkey.flight" "${case_dir}/wine.txt" "${case_dir}/wine.err"
    local out="${case_dir}/wine.txt" err="${case_dir}/wine.err"
    mapfile -t menus < <(tr -d '\r' <"${out}" | sed -n 's/^  menu: //p')
    [[ "${menus[0]}" == "Show airports [checked] |"* ]] || fail "Shift+F12: '${menus[0]}'"
    pass "Shift+F12 switches the overlay on and checks Show airports"
    [[ "${menus[1]}" == "Show airports [checked] |"* ]] || fail "plain F12 toggled: '${menus[1]}'"
    [[ "${menus[2]}" == "Show airports [checked] |"* ]] || fail "Ctrl+Shift+F12 toggled"
    pass "plain F12 and Ctrl+Shift+F12 toggle nothing"
    [[ "${menus[3]}" == "Show airports |"* ]] || fail "second Shift+F12: '${menus[3]}'"
    pass "Shift+F12 again switches it off and clears the check mark"
    expect_not "${err}" "received WM_KEYDOWN F12" "no F12 key-down reaches the host's procedure"
    expect "${err}" "received WM_SYSKEYDOWN F12" "Alt+F12 (WM_SYSKEYDOWN) is passed on to the host"
    expect "${out}" "London Heathrow Airport" "the text service receives the lines"
    new_world "${case_dir}/NativeSim"
    native_host "${case_dir}/NativeSim" "${scripts}/hotkey.flight" "${case_dir}/native.txt"
    same_reports "hotkey" "${out}" "${case_dir}/native.txt"
}

case_options() {
    new_world "${case_dir}/Sim"
    win_host "${case_dir}/Sim" "${scripts}/options.flight" "${case_dir}/wine.txt" "${case_dir}/wine.err"
    local out="${case_dir}/wine.txt" err="${case_dir}/wine.err"
    local distance="message box [Error]: The airport visibility distance should be between 1 and 250 NM"
    local name="message box [Error]: You must enable either airport name or code"
    [ "$(grep -cF -- "${distance}" "${out}")" = 3 ] || fail "not three distance messages"
    pass "0, 251 and a non-number each show the distance message"
    [ "$(grep -cF -- "${name}" "${out}")" = 1 ] || fail "not one name-or-code message"
    pass "neither name nor code shows the name-or-code message"
    [ "$(grep -cF "the options dialog stayed open after OK" "${err}")" = 4 ] ||
        fail "the dialog did not stay open after each refusal"
    pass "the dialog stays open after each message"
    [ "$(registry_value AirportOptions)" = 0x2 ] || fail "AirportOptions $(registry_value AirportOptions)"
    [ "$(registry_value AirportMaxDistance)" = 0x1 ] || fail "AirportMaxDistance"
    [ "$(registry_value Version)" = 0x2af8 ] || fail "Version $(registry_value Version)"
    pass "a valid OK wrote AirportOptions 2, AirportMaxDistance 1, Version 11000"
    new_world "${case_dir}/NativeSim"
    native_host "${case_dir}/NativeSim" "${scripts}/options.flight" "${case_dir}/native.txt"
    same_reports "options" "${out}" "${case_dir}/native.txt"
}

case_settings_restart() {
    new_world "${case_dir}/Sim"
    new_world "${case_dir}/NativeSim"
    local run
    for run in 1 2; do
        win_host "${case_dir}/Sim" "${scripts}/restart-${run}.flight" "${case_dir}/wine-${run}.txt" \
            "${case_dir}/wine-${run}.err"
        native_host "${case_dir}/NativeSim" "${scripts}/restart-${run}.flight" \
            "${case_dir}/native-${run}.txt"
    done
    [ "$(registry_value AirportMaxDistance)" = 0x14 ] || fail "AirportMaxDistance not 20"
    expect "${case_dir}/wine-2.txt" "(EGLL)" "after a restart the lines show the saved options"
    same_reports "second start" "${case_dir}/wine-2.txt" "${case_dir}/native-2.txt"
}

case_about_and_links() {
    new_world "${case_dir}/Sim"
    local simdir="${case_dir}/Sim"
    export HALVERN_LINK_LOG
    HALVERN_LINK_LOG="$(winpath "${case_dir}/opened.txt")"
    # Only the maker's shortcut exists.
    printf '[InternetShortcut]\r\nURL=http://localhost/\r\n' >"${simdir}/Tavrel Software.url"
    win_host "${simdir}" "${scripts}/about.flight" "${case_dir}/wine.txt" "${case_dir}/wine.err"
    local out="${case_dir}/wine.txt"
    expect "${out}" "message box [About Halvern]: Halvern version ${HALVERN_VERSION:?} / Made by Tavrel Software /  / Airports in the database: 5210" \
        "the About box names the build's version (${HALVERN_VERSION}) and the 5210 airports"
    [ "$(grep -cF "message box [Error]: Unable to launch the webbrowser" "${out}")" = 1 ] ||
        fail "not exactly one 'Unable to launch the webbrowser'"
    pass "the missing homepage shortcut shows 'Unable to launch the webbrowser'"
    wait_for_links "${case_dir}/opened.txt" 1
    [ -f "${case_dir}/opened.txt" ] || fail "the maker's shortcut was not opened"
    expect "${case_dir}/opened.txt" "$(winpath "${simdir}")\\Tavrel Software.url" \
        "the maker's shortcut in SIMDIR is opened with the shell's open command"
    [ "$(wc -l <"${case_dir}/opened.txt")" = 1 ] || fail "the stand-in ran more than once"
}

# Waits until the shell's stand-in for the browser has written N lines to its log (the shell
# starts it on its own: it may still be running when the host ends).
wait_for_links() {
    local log="$1" count="$2"
    for _ in $(seq 150); do
        [ -f "${log}" ] && [ "$(wc -l <"${log}")" -ge "${count}" ] && break
        sleep 0.1
    done
    WINEPREFIX="${prefix}" "${server}" -w 2>/dev/null || true
}

# The release package as a user installs it: unpacked into a simulator directory, the module
# loaded from its Modules folder, both links opened through the shell.
case_package() {
    local zip="${HALVERN_PACKAGE:?}" listing
    [ -f "${zip}" ] || fail "no release package ${zip}"
    listing="$(cmake -E tar tf "${zip}" | grep -v '/$' | sort | tr '\n' '|')"
    [ "${listing}" = "Halvern Homepage.url|Halvern License.txt|Halvern User Guide.txt|Modules/halvern.dll|Tavrel Software.url|halvern.exe|" ] ||
        fail "the package holds '${listing}'"
    pass "$(basename "${zip}") holds exactly the module in Modules/, the two shortcuts, halvern.exe, the guide and the licence"

    new_world "${case_dir}/Sim"
    local simdir="${case_dir}/Sim"
    (cd "${simdir}" && cmake -E tar xf "${zip}")
    # The shell reads internet shortcuts with Windows line ends.
    [ "$(cat "${simdir}/Halvern Homepage.url")" = "$(printf '[InternetShortcut]\r\nURL=%s\r' "${HALVERN_HOMEPAGE_URL:?}")" ] ||
        fail "Halvern Homepage.url: $(od -c "${simdir}/Halvern Homepage.url" | head -5)"
    [ "$(cat "${simdir}/Tavrel Software.url")" = "$(printf '[InternetShortcut]\r\nURL=%s\r' "${HALVERN_MAKER_URL:?}")" ] ||
        fail "Tavrel Software.url: $(od -c "${simdir}/Tavrel Software.url" | head -5)"
    pass "the shortcuts are [InternetShortcut] files with CR LF naming ${HALVERN_HOMEPAGE_URL} and ${HALVERN_MAKER_URL}"
    # The tool as the guide shows it: the zip's halvern.exe, run on the simulator directory it
    # was unpacked into, tells where an airport comes from.
    run_wine "${simdir}/halvern.exe" find "$(winpath "${simdir}")" heathrow | tr -d '\r' \
        >"${case_dir}/find.txt" || fail "the packaged halvern.exe find failed"
    expect "${case_dir}/find.txt" "EGLL  London Heathrow Airport" "the packaged halvern.exe finds Heathrow"
    expect "${case_dir}/find.txt" "from $(winpath "${simdir}")\\" "and names the scenery file it comes from"
    local text
    for text in "Halvern User Guide.txt" "Halvern License.txt"; do
        [ "$(grep -c $'\r$' "${simdir}/${text}")" = "$(wc -l <"${simdir}/${text}")" ] ||
            fail "${text} has lines without CR LF"
    done
    expect "${simdir}/Halvern User Guide.txt" "Halvern ${HALVERN_VERSION:?}" "the guide names the version"
    local packaged_dll="${case_dir}/packaged/halvern.dll"
    mkdir -p "${case_dir}/packaged"
    cp "${simdir}/Modules/halvern.dll" "${packaged_dll}"
    local exports
    exports="$("${HALVERN_OBJDUMP:?}" -p "${packaged_dll}" |
        sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/\[ *[0-9]+\]/ { print $NF }' |
        sort | tr '\n' ' ')"
    [ "${exports}" = "ImportTable Linkage " ] || fail "the packaged DLL exports '${exports}'"
    pass "the packaged DLL exports exactly Linkage and ImportTable"
    check_version_resource "${packaged_dll}"

    # The host installs the module it is given into SIMDIR\Modules: it is handed the packaged
    # one, so that the file it loads from there is the zip's, byte for byte.
    export HALVERN_LINK_LOG
    HALVERN_LINK_LOG="$(winpath "${case_dir}/opened.txt")"
    HALVERN_DLL="${packaged_dll}" win_host "${simdir}" "${scripts}/about.flight" \
        "${case_dir}/wine.txt" "${case_dir}/wine.err"
    cmp "${simdir}/Modules/halvern.dll" "${packaged_dll}" || fail "the loaded module is not the zip's"
    expect "${case_dir}/wine.err" "module loaded from $(winpath "${simdir}")\\Modules\\halvern.dll" \
        "the packaged module loads from SIMDIR\\Modules"
    expect "${case_dir}/wine.txt" "message box [About Halvern]: Halvern version ${HALVERN_VERSION} / " \
        "the About box names the project version ${HALVERN_VERSION}"
    expect_not "${case_dir}/wine.txt" "Unable to launch the webbrowser" "both links open"
    wait_for_links "${case_dir}/opened.txt" 2
    [ -f "${case_dir}/opened.txt" ] || fail "no link was opened"
    mapfile -t opened < <(tr -d '\r' <"${case_dir}/opened.txt")
    [ "${#opened[@]}" = 2 ] || fail "the stand-in ran ${#opened[@]} times: ${opened[*]}"
    # The shell starts each stand-in on its own: their lines may come in either order.
    local link
    for link in "Halvern Homepage|${HALVERN_HOMEPAGE_URL}" "Tavrel Software|${HALVERN_MAKER_URL}"; do
        printf '%s\n' "${opened[@]}" |
            grep -qF -- "$(winpath "${simdir}")\\${link%%|*}.url\" -> ${link#*|}" ||
            fail "${link%%|*}.url was not opened naming ${link#*|}: ${opened[*]}"
    done
    pass "Halvern Homepage: the shell handed the browser the package's shortcut, naming ${HALVERN_HOMEPAGE_URL}"
    pass "Visit Tavrel Software: the shell handed the browser the package's shortcut, naming ${HALVERN_MAKER_URL}"
}

# The same figures on both builds exactly where rounding could first tell them apart: positions
# on either side of a whole nautical mile, a whole degree or the edge of the reach (found by the
# native tool's --edges), for several reaches, option sets and variation words. halvern.exe
# against the native tool at each; then the real module in the Win32 host, at the default and
# at 53-bit x87 precision, against the native host, one stationary position per run.
case_identity() {
    local wine_sim native_sim
    two_worlds
    "${HALVERN_NATIVE_TOOL}" scan "${native_sim}" >/dev/null
    # PLACE|SETTINGS: where the edges are searched, and the reach, options and variation.
    local settings_list=(
        "--lat 51.47 --lon -0.62|"
        "--lat 52.31 --lon 4.70|--distance 50 --options 0x3F --magvar 0xFEEF"
        "--lat 47.45 --lon 8.50|--distance 250 --options 0x3E --magvar 0x0001"
        "--lat -33.94 --lon 151.10|--distance 120 --options 0x1B --magvar 0x0900"
        "--lat 64.13 --lon -22.00|--distance 200 --options 0x3F --magvar 0x8000"
    )
    local entry place settings compared=0 lat lon
    for entry in "${settings_list[@]}"; do
        place="${entry%%|*}"
        settings="${entry#*|}"
        # shellcheck disable=SC2086
        "${HALVERN_NATIVE_TOOL}" nearby "${native_sim}" ${place} ${settings} --edges 0.04 \
            >"${case_dir}/edges.txt"
        [ "$(wc -l <"${case_dir}/edges.txt")" -ge 20 ] || fail "too few edges at ${place}"
        # Six edges (both sides of each) spread over those found.
        local count step
        count="$(wc -l <"${case_dir}/edges.txt")"
        step=$(((count / 2 + 5) / 6 * 2))
        while read -r lat lon; do
            # shellcheck disable=SC2086
            run_wine "${HALVERN_EXE}" nearby "${wine_sim}" --lat "${lat}" --lon "${lon}" \
                ${settings} | tr -d '\r' | sort >"${case_dir}/wine-lines.txt"
            # shellcheck disable=SC2086
            "${HALVERN_NATIVE_TOOL}" nearby "${native_sim}" --lat "${lat}" --lon "${lon}" \
                ${settings} | sort >"${case_dir}/native-lines.txt"
            cmp -s "${case_dir}/wine-lines.txt" "${case_dir}/native-lines.txt" || {
                diff "${case_dir}/native-lines.txt" "${case_dir}/wine-lines.txt" >&2 || true
                fail "halvern.exe differs from the native tool at ${lat} ${lon} ${settings}"
            }
            compared=$((compared + 1))
        done < <(awk -v step="${step}" 'NR % step == 1 || NR % step == 2' "${case_dir}/edges.txt")
    done
    pass "halvern.exe: the lines at ${compared} edge positions equal the native tool's"

    # The module in the host, with its default reach and options, near London.
    "${HALVERN_NATIVE_TOOL}" nearby "${native_sim}" --lat 51.47 --lon -0.62 --edges 0.04 |
        awk 'NR % 40 == 1 || NR % 40 == 2' | head -6 >"${case_dir}/host-edges.txt"
    local runs=0 precision
    while read -r lat lon; do
        printf 'events-per-second 2\nfrom %s %s\nat 0 key shift+F12\nend 0.5\n' "${lat}" \
            "${lon}" >"${case_dir}/here.flight"
        native_host "${case_dir}/NativeSim" "${case_dir}/here.flight" "${case_dir}/native.txt"
        for precision in default 53; do
            local extra=()
            [ "${precision}" = 53 ] && extra=(--x87-precision 53)
            win_host "${case_dir}/Sim" "${case_dir}/here.flight" "${case_dir}/wine.txt" \
                "${case_dir}/wine.err" "${extra[@]}"
            if ! diff <(report_body "${case_dir}/native.txt" | sort) \
                <(report_body "${case_dir}/wine.txt" | sort) >"${case_dir}/diff.txt"; then
                cat "${case_dir}/diff.txt" >&2
                fail "the module at ${lat} ${lon}, ${precision} precision, differs from the native host"
            fi
            runs=$((runs + 1))
        done
    done <"${case_dir}/host-edges.txt"
    [ "${runs}" -ge 12 ] || fail "too few host runs (${runs})"
    pass "the real module: ${runs} runs at edge positions, default and 53-bit precision, equal the native host's"
}

# Counts the lines of FILE that hold TEXT and fails unless there are exactly N.
expect_count() {
    local file="$1" text="$2" count="$3" what="$4" found
    found="$(grep -cF -- "${text}" "${file}" || true)"
    [ "${found}" = "${count}" ] || {
        cat "${file}" >&2
        fail "${what}: '${text}' ${found} times, not ${count}"
    }
    pass "${what}"
}

# The module's procedure left in the window's chain behind another component's: the host frees
# the module file, and the messages that still pass through the chain reach the host.
case_chain_unload() {
    new_world "${case_dir}/Sim"
    win_host "${case_dir}/Sim" "${scripts}/chain-unload.flight" "${case_dir}/wine.txt" \
        "${case_dir}/wine.err"
    expect "${case_dir}/wine.txt" "its file is still mapped" \
        "the module file stays loaded while its procedure is in the chain"
    expect_count "${case_dir}/wine.txt" "received WM_USER" 1 \
        "a message after the unload reaches the host's procedure once"
    expect_count "${case_dir}/wine.txt" "received command 4242" 1 \
        "a command after the unload reaches the host's procedure once"
}

# A second start in the same process with another component in front: one module procedure in
# the chain, one About box, one message each; and, where the other component left first, the
# host's own procedure back at the head after the second stop.
case_chain_restart() {
    local flight
    for flight in chain-restart chain-restart-alone; do
        new_world "${case_dir}/Sim"
        win_host "${case_dir}/Sim" "${scripts}/${flight}.flight" "${case_dir}/${flight}.txt" \
            "${case_dir}/${flight}.err"
        expect_count "${case_dir}/${flight}.txt" "ModuleInit done; 1 chain callback(s)" 2 \
            "${flight}: two starts, one chain callback each"
        expect_count "${case_dir}/${flight}.txt" "message box [About Halvern]" 1 \
            "${flight}: the About command after the restart shows one box"
        expect_count "${case_dir}/${flight}.txt" "received WM_USER" 1 \
            "${flight}: a message after the restart reaches the host's procedure once"
    done
    expect "${case_dir}/chain-restart-alone.err" "procedure at the end: the host's" \
        "chain-restart-alone: the host's own procedure is back at the head"
    expect "${case_dir}/chain-restart.err" "procedure at the end: the other component's" \
        "chain-restart: the other component stays at the head, the module's behind it"
}

# A simulator directory whose name is not plain ASCII: the programs take their narrow arguments
# in the ANSI code page, as Windows hands them over, and find the directory.
case_ansi_path() {
    local simdir="${case_dir}/Sim€ Flügel"
    new_world "${simdir}"
    run_wine "${HALVERN_EXE}" airports "$(winpath "${simdir}")" | tr -d '\r' \
        >"${case_dir}/airports.txt" || fail "halvern.exe airports failed"
    [ "$(wc -l <"${case_dir}/airports.txt")" = 5210 ] || fail "halvern.exe did not read the world"
    pass "halvern.exe reads the world in a directory named with € and ü"
    win_host "${simdir}" "${scripts}/short.flight" "${case_dir}/wine.txt" "${case_dir}/wine.err"
    [ -f "${simdir}/HalvernCache.dat" ] || fail "no cache file in the directory"
    [ -f "${simdir}/Modules/halvern.dll" ] || fail "the module was not installed there"
    pass "halvern-host.exe installs the module there, and the module writes its cache there"
}

# The x87 precision control takes effect where the suite runs (a processor, or an emulator of
# one): otherwise the 53-bit cases would run the module at 64 bits and prove nothing.
case_x87_precision() {
    local status=0
    run_wine "${HALVERN_X87_PROBE:?}" | tr -d '\r' >"${case_dir}/probe.txt" || status=$?
    cat "${case_dir}/probe.txt"
    [ "${status}" = 0 ] ||
        fail "the x87 precision control does not take effect here: the 53-bit cases test nothing"
    expect_count "${case_dir}/probe.txt" ": rounded to 53 bits" 4 \
        "four operations differ at 53 and 64 bits: the x87 precision control takes effect here"
}

case_lines_match_native() {
    new_world "${case_dir}/Sim"
    new_world "${case_dir}/NativeSim"
    win_host "${case_dir}/Sim" "${scripts}/flight.flight" "${case_dir}/wine.txt" "${case_dir}/wine.err" "$@"
    native_host "${case_dir}/NativeSim" "${scripts}/flight.flight" "${case_dir}/native.txt"
    [ "$(grep -c ' at ' "${case_dir}/wine.txt")" -gt 1000 ] || fail "too few lines to compare"
    same_reports "overlay lines of the flight" "${case_dir}/wine.txt" "${case_dir}/native.txt"
}

case_lines_match_native_x87_53() {
    case_lines_match_native --x87-precision 53
    expect "${case_dir}/wine.err" "x87 precision control before loading the module: 53 bits" \
        "the host runs at 53-bit precision"
    expect "${case_dir}/wine.err" "x87 precision control at the end: 53 bits" \
        "the module gives the host its 53-bit precision back"
}

case_cli_matches_native() {
    local wine_sim native_sim
    two_worlds
    run_wine "${HALVERN_EXE}" airports "${wine_sim}" | tr -d '\r' >"${case_dir}/airports-wine.txt"
    "${HALVERN_NATIVE_TOOL}" airports "${native_sim}" >"${case_dir}/airports-native.txt"
    [ "$(wc -l <"${case_dir}/airports-native.txt")" = 5210 ] || fail "native airports"
    cmp "${case_dir}/airports-wine.txt" "${case_dir}/airports-native.txt" ||
        fail "halvern.exe airports differs from the native tool"
    pass "halvern.exe airports: 5210 lines identical to the native tool's"
    local places=(
        "--lat 51.47 --lon -0.4543"
        "--lat 52.3105 --lon 4.7683 --distance 50 --options 0x3F --magvar 0xFEEF --packed"
        "--lat 47.45 --lon 8.56 --distance 250 --options 0x3E --packed"
        "--lat -33.94 --lon 151.17 --distance 120 --options 0x1B --magvar 0x0900"
        "--lat 40.64 --lon -73.78 --distance 1 --options 0x02"
        "--lat 64.13 --lon -21.94 --distance 200 --options 0x3F --packed"
    )
    local count=0 args
    for args in "${places[@]}"; do
        # shellcheck disable=SC2086
        run_wine "${HALVERN_EXE}" nearby "${wine_sim}" ${args} | tr -d '\r' >"${case_dir}/nearby-wine.txt"
        # shellcheck disable=SC2086
        "${HALVERN_NATIVE_TOOL}" nearby "${native_sim}" ${args} >"${case_dir}/nearby-native.txt"
        cmp "${case_dir}/nearby-wine.txt" "${case_dir}/nearby-native.txt" ||
            fail "halvern.exe nearby ${args} differs from the native tool"
        count=$((count + $(wc -l <"${case_dir}/nearby-native.txt")))
    done
    [ "${count}" -gt 50 ] || fail "too few nearby lines (${count}) to compare"
    pass "halvern.exe nearby: ${count} lines at ${#places[@]} places identical to the native tool's"
}

# Takes a picture of the screen while the Win32 host waits at its snapshot moment:
# picture NAME SCRIPT MOMENT [CROP], kept as pictures/halvern-host-ARCH[-NAME].png beside the
# suite; CROP (ImageMagick geometry) keeps only that part of the screen.
picture() {
    local name="$1" script="$2" moment="$3" crop="${4:-}"
    new_world "${case_dir}/Sim"
    local marker="${case_dir}/snapshot-now" shot="${case_dir}/${name}.png"
    rm -f "${marker}"
    win_host "${case_dir}/Sim" "${script}" "${case_dir}/${name}.txt" "${case_dir}/${name}.err" \
        --snapshot-marker "$(winpath "${marker}")" --snapshot-of "${moment}" &
    local host=$!
    for _ in $(seq 600); do
        [ -f "${marker}" ] && break
        kill -0 "${host}" 2>/dev/null || break
        sleep 0.1
    done
    [ -f "${marker}" ] || fail "${name}: the snapshot moment never came"
    import -window root "${shot}"
    rm -f "${marker}"
    wait "${host}" || fail "${name}: the host failed"
    local size mean
    size="$(identify -format '%wx%h' "${shot}")"
    [ "${size}" = 1024x768 ] || fail "${name}: picture of ${size}"
    if [ -n "${crop}" ]; then
        convert "${shot}" -crop "${crop}" +repage "${shot}"
    fi
    # The overlay's dark background, its text and the grey windows: far from a black screen.
    mean="$(convert "${shot}" -colorspace Gray -format '%[fx:mean]' info:)"
    awk -v m="${mean}" 'BEGIN { exit !(m > 0.1) }' || fail "${name}: nearly black (${mean})"
    local kept="halvern-host-${HALVERN_WINE_ARCH}${name:+-}${name}.png"
    [ "${name}" = overlay ] && kept="halvern-host-${HALVERN_WINE_ARCH}.png"
    mkdir -p "${work}/../pictures"
    cp "${shot}" "${work}/../pictures/${kept}"
    pass "${name}: $(cd "${work}/../pictures" && pwd)/${kept}"
}

case_screenshot() {
    # The overlay, the menu bar and the options dialog.
    picture overlay "${scripts}/screenshot.flight" options
    # The module's menu open from the menu bar over the overlay.
    picture menu "${scripts}/menu-picture.flight" menu
    expect "${case_dir}/menu.txt" "message box [About Halvern]" \
        "the menu action went on to its command once the picture was taken"
    # The progress window of a first start (a cache miss), halfway: at the top left of the
    # screen, before the host's main window exists, as at the simulator's start.
    picture progress "${scripts}/short.flight" progress 270x115+0+0
    expect "${case_dir}/progress.err" "progress bar during ModuleInit: 100 position(s), last 100" \
        "the extraction went on to the end once the picture was taken"
}

# The differential table of small worlds: tests/wine/differential.sh.
# shellcheck source=tests/wine/differential.sh
source "${scripts}/differential.sh"

# --- Main -----------------------------------------------------------------------------------

case "${case_name}" in
    dll-image)
        case_dll_image
        ;;
    setup)
        case_setup
        ;;
    cleanup)
        case_cleanup
        ;;
    *)
        load_environment
        case_dir="${work}/${case_name}"
        rm -rf "${case_dir}"
        mkdir -p "${case_dir}"
        prefix="${case_dir}/prefix"
        new_prefix "${prefix}"
        trap stop_prefix EXIT
        function_name="case_${case_name//-/_}"
        declare -F "${function_name}" >/dev/null || fail "no case '${case_name}'"
        "${function_name}"
        ;;
esac
