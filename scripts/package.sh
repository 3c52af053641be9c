#!/usr/bin/env bash
# The release package: installs the MinGW-w64 cross compilers if missing, builds the 32-bit
# Windows module (preset mingw) and makes build/mingw/halvern-<version>-win32.zip with CPack.
# The web addresses of the two links are build settings, e.g.
#   cmake --preset mingw -DHALVERN_HOMEPAGE_URL=https://... -DHALVERN_MAKER_URL=https://...
# before this script (they stay in the build's cache).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh build mingw

jobs=$(nproc 2>/dev/null || echo 2)
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "${jobs}"
(cd build/mingw && cpack -G ZIP >/dev/null)
ls build/mingw/halvern-*-win32.zip
