# Shared part of the cross toolchains: mingw-w64, posix thread model
# (std::mutex for GoogleTest). ZUL_ARCH is set by the including file.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${ZUL_ARCH})
set(ZUL_TRIPLE ${ZUL_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER   ${ZUL_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZUL_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${ZUL_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZUL_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
