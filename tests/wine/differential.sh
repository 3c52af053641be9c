# wine.differential, sourced by wine_e2e.sh (whose helpers it uses): the rows of
# differential.table, each a small world read by the native tool and by halvern.exe under Wine.
# The two must list the same airports in the same order and report the same areas, files,
# fingerprint, module spelling and cache verdict; the only differences they may show by
# construction (each platform's form of SIMDIR, Windows line ends, and where no cache proves the
# module's spelling each platform's own) are normalised here, and nothing else.
#
# shellcheck shell=bash
# case_dir, prefix, scripts and server are the driver's.
# shellcheck disable=SC2154

# The pool the worlds are made of: twelve scenery files of one airport each, ZD01 to ZD12,
# compiled by the native compiler.
make_pool() {
    local csv="${case_dir}/pool.csv" n
    echo "ident,gps_code,name,latitude_deg,longitude_deg,elevation_ft,iso_country,type" >"${csv}"
    for n in $(seq 12); do
        printf 'ZD%02d,ZD%02d,Differential %d,50.%02d,7.%02d,%d,XX,small_airport\n' \
            "${n}" "${n}" "${n}" "${n}" "${n}" "$((100 + n))" >>"${csv}"
    done
    "${HALVERN_SCENERY_TOOL}" "${csv}" "${case_dir}/pool" --per-file 1 >/dev/null
}

pool_file() {
    printf '%s/pool/Addon Scenery/XX/Scenery/AP%04d.bgl' "${case_dir}" "$(($1 - 1))"
}

# --- The table ------------------------------------------------------------------------------

reset_row() {
    row_name=""
    row_sim=""
    row_world=()
    row_cfg=()
    row_lines=()
    row_native=()
    row_wine=()
    row_cache=()
    row_expect=""
    row_verdict=""
    row_xfail=""
}

# The row's {N*C} and {pad:N} in TEXT. The simulator directory of a row with a pad is spelled in
# ASCII, whose characters the shell counts alike in any locale.
expand_text() {
    local text="$1" match run count sim_form
    sim_form="$(winpath "${case_dir}/${row_sim}")\\"
    while [[ "${text}" =~ \{([0-9]+)\*(.)\} ]]; do
        match="${BASH_REMATCH[0]}"
        printf -v run '%*s' "${BASH_REMATCH[1]}" ''
        run="${run// /"${BASH_REMATCH[2]}"}"
        text="${text%%"${match}"*}${run}${text#*"${match}"}"
    done
    while [[ "${text}" =~ \{pad:([0-9]+)\} ]]; do
        match="${BASH_REMATCH[0]}"
        count=$((BASH_REMATCH[1] - ${#sim_form}))
        [ "${count}" -gt 0 ] || fail "${row_name}: ${sim_form} is too long for ${match}"
        printf -v run '%*s' "${count}" ''
        text="${text%%"${match}"*}${run// /p}${text#*"${match}"}"
    done
    printf '%s' "${text}"
}

# SIMDIR as typed: @ is the case directory, in the native form or in the Windows form without
# its drive.
native_spelling() {
    printf '%s' "${1//@/${case_dir}}"
}
wine_spelling() {
    printf '%s' "${1//@/${case_dir//\//\\}}"
}

# Of the folders in DIR named STEM but for letter case, removes the first in sorted order (which
# for names equal but for ASCII case is the byte order) until the directory's own order, which
# `ls -f` gives as readdir does, starts with another one.
make_ambiguous() {
    local dir="$1" stem="$2" names
    while :; do
        # shellcheck disable=SC2010 # the order of `ls -f` is the point; the names are plain
        mapfile -t names < <(ls -f "${dir}" | grep -ixF -- "${stem}")
        [ "${#names[@]}" -ge 2 ] ||
            fail "${row_name}: the directory order of ${dir} follows the sorted order"
        local sorted
        sorted="$(printf '%s\n' "${names[@]}" | LC_ALL=C sort | head -1)"
        [ "${names[0]}" != "${sorted}" ] && return
        rm -rf "${dir:?}/${sorted}"
    done
}

# The path of the row's first scenery file.
first_file() {
    local entry
    for entry in "${row_world[@]}"; do
        if [[ "${entry}" == "file "* ]]; then
            entry="${entry#file }"
            expand_text "${entry#* }"
            return
        fi
    done
    fail "${row_name}: no file"
}

# The world of the row, from nothing: its files and folders, drives and area list.
build_world() {
    local sim="$1" entry kind rest path
    rm -rf "${sim}"
    mkdir -p "${sim}"
    for entry in "${row_world[@]}"; do
        kind="${entry%% *}"
        rest="${entry#* }"
        case "${kind}" in
            file)
                path="${sim}/$(expand_text "${rest#* }")"
                mkdir -p "$(dirname "${path}")"
                cp "$(pool_file "${rest%% *}")" "${path}"
                ;;
            folder)
                mkdir -p "${sim}/$(expand_text "${rest}")"
                ;;
            ambiguous)
                make_ambiguous "${sim}/${rest%% *}" "${rest#* }"
                ;;
            drive)
                ln -sfn "${case_dir}/${rest#* }" "${prefix}/dosdevices/${rest%% *}:"
                ;;
        esac
    done
    local text="" line
    for line in "${row_lines[@]}"; do
        text+="$(expand_text "${line}")\\r\\n"
    done
    local cfg="${sim}/${row_cfg[0]}"
    case "${row_cfg[1]}" in
        bytes) printf '%b' "${text}" >"${cfg}" ;;
        utf16le) { printf '\xFF\xFE' && printf '%b' "${text}" | iconv -f UTF-8 -t UTF-16LE; } >"${cfg}" ;;
        utf16be) { printf '\xFE\xFF' && printf '%b' "${text}" | iconv -f UTF-8 -t UTF-16BE; } >"${cfg}" ;;
        *) fail "${row_name}: no encoding '${row_cfg[1]}'" ;;
    esac
}

# --- The tools ------------------------------------------------------------------------------

native_tool() {
    WINEPREFIX="${prefix}" "${HALVERN_NATIVE_TOOL}" "$@"
}

# halvern.exe COMMAND... > FILE, without the carriage returns of the Windows text mode.
wine_tool() {
    local out="$1"
    shift
    run_wine "${HALVERN_EXE}" "$@" >"${out}.raw" 2>"${out}.err" ||
        fail "${row_name}: halvern.exe $*: $(cat "${out}.err")"
    tr -d '\r' <"${out}.raw" >"${out}"
}

# The report as the two builds must agree on it: the paths composed from SIMDIR as typed, also
# where a sentence quotes them, start with SIMDIR\ instead; the length a sentence gives of a path
# beyond the limit (each platform's own spelling, Z:\ two characters longer) is left out; and
# the candidates tried (each platform's own) and the step times are left out. Where no cache
# proves the module's spelling, it is each platform's own stored spelling: its drive is dropped,
# and the fingerprint and the sentences naming them are compared apart (compare_fingerprints).
normalised_report() {
    jq -S '
        .simulatorDirectory as $typed
        | .moduleSpelling as $spelling
        | del(.times, .simulatorDirectory, .moduleSpelling)
        | walk(if type == "string"
               then (split($typed) | join("SIMDIR\\"))
                    | gsub("its path takes [0-9]+ characters"; "its path takes N characters")
               else . end)
        | .moduleSpelling = ($spelling | del(.candidates))
        | if .moduleSpelling.basis == "cacheMatch" then .
          else (.moduleSpelling.directory |= sub("^[A-Za-z]:"; ""))
               | del(.fingerprint, .moduleSpelling.summary, .cache.summary)
          end' "$1"
}

# --- A row ----------------------------------------------------------------------------------

# Records the row's first difference between the builds (the xfail mark decides what it means).
differs() {
    [ -n "${difference}" ] || difference="$1"
}

compare_reports() {
    local reference="$1" other="$2" what="$3"
    if ! diff -u <(normalised_report "${reference}") <(normalised_report "${other}") \
        >"${other}.diff"; then
        differs "${what} differs from the native report under ${row_native[0]}:
$(head -60 "${other}.diff")"
    fi
}

# Where a report's module spelling is its platform's own, the native tool folds the fingerprint
# under halvern.exe's spelling and must find halvern.exe's fingerprint.
compare_fingerprints() {
    local report="$1" spelling="$2" directory
    [ "$(jq -r .moduleSpelling.basis "${report}")" = cacheMatch ] && return
    directory="$(jq -r .moduleSpelling.directory "${report}")"
    native_tool report --json "$(native_spelling "${row_native[0]}")" \
        --module-spelling "${directory}" >"${report}.native" ||
        fail "${row_name}: halvern report --module-spelling ${directory} failed"
    [ "$(jq .fingerprint "${report}.native")" = "$(jq .fingerprint "${report}")" ] ||
        differs "the fingerprint under ${directory}: native $(jq .fingerprint "${report}.native"), halvern.exe under ${spelling} $(jq .fingerprint "${report}")"
}

# The verdict the row is for, which every report must give.
check_verdict() {
    local report="$1" what="$2" verdict
    verdict="$(jq -r '"\(.cache.state) \(.moduleSpelling.basis)"' "${report}")"
    [ "${verdict}" = "${row_verdict}" ] || differs "${what} says '${verdict}', not '${row_verdict}'"
}

# Every report of the row, native then halvern.exe, each against the first native one.
row_reports() {
    local dir="$1" i spelling
    for i in "${!row_native[@]}"; do
        spelling="$(native_spelling "${row_native[i]}")"
        native_tool report --json "${spelling}" >"${dir}/native-report-${i}.json" ||
            fail "${row_name}: halvern report ${spelling} failed"
        check_verdict "${dir}/native-report-${i}.json" "the native report under ${row_native[i]}"
        [ "${i}" = 0 ] || compare_reports "${dir}/native-report-0.json" \
            "${dir}/native-report-${i}.json" "the native report under ${row_native[i]}"
    done
    [ "${row_cache[0]}" = so ] && return
    for i in "${!row_wine[@]}"; do
        spelling="$(wine_spelling "${row_wine[i]}")"
        wine_tool "${dir}/wine-report-${i}.json" report --json "${spelling}"
        check_verdict "${dir}/wine-report-${i}.json" "halvern.exe's report under ${row_wine[i]}"
        compare_reports "${dir}/native-report-0.json" "${dir}/wine-report-${i}.json" \
            "halvern.exe's report under ${row_wine[i]}"
        compare_fingerprints "${dir}/wine-report-${i}.json" "${row_wine[i]}"
    done
}

# halvern.exe airports, where a module wrote the cache first: it may read the cache, never
# change it.
wine_airports_leaving_cache() {
    local dir="$1" sim="$2"
    cp "${sim}/HalvernCache.dat" "${dir}/module-cache.dat" ||
        fail "${row_name}: the module wrote no cache"
    wine_tool "${dir}/wine-airports.txt" airports "$(wine_spelling "${row_wine[0]}")"
    cmp -s "${sim}/HalvernCache.dat" "${dir}/module-cache.dat" ||
        differs "halvern.exe airports changed the cache file the module wrote"
}

run_row() {
    local sim="${case_dir}/${row_sim}" dir="${case_dir}/rows/${row_name}"
    local difference=""
    rm -rf "${dir}"
    mkdir -p "${dir}"
    build_world "${sim}"
    # The native tool's own extraction, before any cache file; the cache it writes goes again.
    native_tool airports "$(native_spelling "${row_native[0]}")" >"${dir}/native-airports.txt" ||
        fail "${row_name}: halvern airports failed"
    rm -f "${sim}/HalvernCache.dat"
    case "${row_cache[0]}" in
        none)
            row_reports "${dir}"
            wine_tool "${dir}/wine-airports.txt" airports "$(wine_spelling "${row_wine[0]}")"
            ;;
        wine | stale)
            wine_tool "${dir}/wine-airports.txt" airports "$(wine_spelling "${row_wine[0]}")"
            if [ "${row_cache[0]}" = stale ]; then
                touch -d '2001-02-03 04:05:06' "${sim}/$(first_file)"
            elif [ -n "${row_cache[1]:-}" ]; then
                mv "${sim}/HalvernCache.dat" "${sim}/${row_cache[1]}"
            fi
            row_reports "${dir}"
            ;;
        dll)
            win_host_at "$(wine_spelling "${row_cache[1]}")" "${scripts}/short.flight" \
                "${dir}/host.txt" "${dir}/host.err"
            wine_airports_leaving_cache "${dir}" "${sim}"
            row_reports "${dir}"
            ;;
        so)
            native_host "$(native_spelling "${row_cache[1]}")" "${scripts}/short.flight" \
                "${dir}/host.txt"
            wine_airports_leaving_cache "${dir}" "${sim}"
            row_reports "${dir}"
            ;;
        *) fail "${row_name}: no cache writer '${row_cache[0]}'" ;;
    esac
    if ! cmp -s "${dir}/native-airports.txt" "${dir}/wine-airports.txt"; then
        differs "halvern.exe airports differs from the native tool's:
$(diff "${dir}/native-airports.txt" "${dir}/wine-airports.txt" | head -40)"
    fi

    # The airports the row is for, which the builds agree on or differ from.
    local codes
    codes="$(cut -f2 "${dir}/native-airports.txt" | paste -sd' ')"
    [ "${codes}" = "${row_expect}" ] ||
        fail "${row_name}: the native tool lists '${codes}', not '${row_expect}'"

    local reports=$((${#row_native[@]} + ${#row_wine[@]}))
    [ "${row_cache[0]}" = so ] && reports=${#row_native[@]}
    if [ -n "${row_xfail}" ]; then
        [ -n "${difference}" ] ||
            fail "${row_name}: the builds agree now; the known difference is gone: drop its xfail mark (${row_xfail})"
        pass "${row_name}: the known difference shows (xfail: ${row_xfail}):"
        echo "${difference}"
        return
    fi
    [ -z "${difference}" ] || fail "${row_name}: ${difference}"
    pass "${row_name}: $(wc -l <"${dir}/native-airports.txt") airports in the same order; ${reports} reports alike ($(jq -r '"fingerprint \(.fingerprint), \(.cache.state), \(.moduleSpelling.basis)"' "${dir}/native-report-0.json"))"
}

case_differential() {
    local started=${SECONDS} rows=0 key value line
    cd "${case_dir}" || fail "no case directory"
    make_pool
    # One Wine server for the whole case: each process then starts in about 2 s, emulated.
    WINEPREFIX="${prefix}" "${server}" -p
    reset_row
    while IFS= read -r line || [ -n "${line}" ]; do
        [[ -z "${line}" || "${line}" == \#* ]] && continue
        key="${line%% *}"
        value=""
        [[ "${line}" == *" "* ]] && value="${line#* }"
        case "${key}" in
            row)
                if [ -n "${row_name}" ]; then
                    run_row
                    rows=$((rows + 1))
                fi
                reset_row
                row_name="${value}"
                ;;
            sim) row_sim="${value}" ;;
            file | folder | ambiguous | drive) row_world+=("${key} ${value}") ;;
            cfg) read -r -a row_cfg <<<"${value}" ;;
            line) row_lines+=("${value}") ;;
            native) read -r -a row_native <<<"${value}" ;;
            wine) read -r -a row_wine <<<"${value}" ;;
            cache) read -r -a row_cache <<<"${value}" ;;
            expect) row_expect="${value}" ;;
            verdict) row_verdict="${value}" ;;
            xfail) row_xfail="${value}" ;;
            *) fail "differential.table: no key '${key}'" ;;
        esac
    done <"${scripts}/differential.table"
    run_row
    rows=$((rows + 1))
    pass "differential: ${rows} rows in $((SECONDS - started)) s"
}
