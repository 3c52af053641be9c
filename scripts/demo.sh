#!/usr/bin/env bash
# The main job: installs what the build needs and is missing, builds the module and the tools,
# compiles the demo world from the bundled airports, and flies the substitute host from London
# towards Amsterdam with the module loaded, printing the overlay lines and writing pictures of
# the overlay to build/demo/.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh build

jobs=$(nproc 2>/dev/null || echo 2)
cmake --preset product >/dev/null
cmake --build --preset product -j "${jobs}" \
    --target halvern halvern-scenery halvern-host halvern_module

build=build/product
demo=build/demo
rm -rf "${demo}"
mkdir -p "${demo}"
"${build}/tools/halvern-scenery" data/airports.csv "${demo}/Sim" --inactive-area --default-area
"${build}/tools/halvern" scan "${demo}/Sim"
# The registry of the portable desktop lives in the demo folder, not in the user's own.
export XDG_CONFIG_HOME="${PWD}/${demo}/config"
"${build}/tools/halvern-host" --module "${build}/src/module/halvern.so" \
    --simdir "${demo}/Sim" --script demo/london-amsterdam.flight --out "${demo}" --every 40
echo "Pictures of the overlay: ${demo}/*.svg"
