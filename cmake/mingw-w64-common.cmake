# Cross build for Windows with Debian's MinGW-w64 compilers, shared by the two toolchain files,
# which set HALVERN_MINGW_TRIPLE and the processor first.
#
# The module and the programs link libgcc and libstdc++ statically: halvern.dll is the one file
# a user copies into the simulator's module folder, with no MinGW runtime DLL beside it.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${HALVERN_MINGW_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${HALVERN_MINGW_TRIPLE}-g++)
set(CMAKE_RC_COMPILER ${HALVERN_MINGW_TRIPLE}-windres)

# Libraries and headers come from the cross environment only; programs (windres, objdump) from
# the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${HALVERN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# The objdump that reads the DLL's export table in the export check.
set(HALVERN_OBJDUMP ${HALVERN_MINGW_TRIPLE}-objdump CACHE STRING "objdump of the cross binutils")
