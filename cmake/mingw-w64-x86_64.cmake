# 64-bit Windows with Debian's g++-mingw-w64-x86-64. Not the product (the simulator loads only a
# 32-bit module): it runs the end-to-end tests under 64-bit Wine on machines whose kernel runs
# no 32-bit programs, so that the module's Windows code is still exercised for real there.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(HALVERN_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
