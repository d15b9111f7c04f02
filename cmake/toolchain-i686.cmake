# Cross toolchain: i686-w64-mingw32.
set(ZUL_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
