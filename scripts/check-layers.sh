#!/usr/bin/env bash
# Checks the include rules that CONTRIBUTING.md states: which folder of src/ may include which,
# that src/support/ includes the standard library alone, that only src/platform/ holds
# `_WIN32` or an operating system's header within src/, and that the tools and the fuzzers
# include nothing from tests/. Prints every breach and exits 1 if there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A may=(
    [support]=""
    [platform]="support"
    [geo]="platform support"
    [host]="geo platform support"
    [airports]="geo platform support"
    [resources]="platform support"
    [frame]="host platform support"
    [overlay]="airports geo host platform support"
    [module]="frame overlay resources airports host geo platform support"
)

breaches=0
breach() {
    echo "$1" >&2
    breaches=$((breaches + 1))
}

for folder in "${!may[@]}"; do
    while IFS= read -r hit; do
        included=$(sed -E 's/^[^:]*:[0-9]+:#include "([a-z_]+)\/.*/\1/' <<<"${hit}")
        if [ "${included}" != "${folder}" ] && [[ " ${may[${folder}]} " != *" ${included} "* ]]; then
            breach "${hit%%:#*}: src/${folder}/ may not include ${included}/"
        fi
    done < <(grep -rnE '^#include "[a-z_]+/' "src/${folder}" || true)
done

while IFS= read -r hit; do
    breach "${hit%%:#*}: src/support/ includes the standard library alone"
done < <(grep -rnE '^#include' src/support | grep -vE '#include (<[a-z_]+>|"support/)' || true)

system_headers='#include <(windows|shellapi|shlobj|commctrl|io|direct|unistd|fcntl|dirent|dlfcn|pthread|termios|sys/[a-z_]+)\.h>'
while IFS= read -r hit; do
    breach "$(cut -d: -f1,2 <<<"${hit}"): only src/platform/ may use _WIN32 or a system header"
done < <(grep -rnE --include="*.h" --include="*.cpp" "_WIN32|${system_headers}" src --exclude-dir=platform || true)

while IFS= read -r hit; do
    breach "${hit%%:#*}: tools/ and fuzz/ include nothing from tests/"
done < <(grep -rnE '^#include "(fixtures|integration|alloc|bench)/' tools fuzz || true)
if grep -rn 'tests/' fuzz/CMakeLists.txt tools/CMakeLists.txt >&2; then
    breach "fuzz/ and tools/ build with nothing from tests/"
fi

if [ "${breaches}" -ne 0 ]; then
    echo "== ${breaches} breach(es) of the include rules (CONTRIBUTING.md)" >&2
    exit 1
fi
echo "== the include rules hold"
