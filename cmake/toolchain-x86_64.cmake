# Cross toolchain: x86_64-w64-mingw32.
set(ZUL_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
