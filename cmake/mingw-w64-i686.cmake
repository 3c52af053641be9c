# The product's build: 32-bit Windows (the simulator loads only a 32-bit module), with Debian's
# g++-mingw-w64-i686.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(HALVERN_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

