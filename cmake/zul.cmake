# Shared helpers for the project's CMake files.

# Tests run under Wine through this wrapper (prefix, debug and DLL overrides). It
# picks the loader from the program itself: 64-bit Wine for the x86_64 build,
# 32-bit Wine for the i686 build, whose suite scripts/test.sh runs inside
# scripts/wine32-ns.sh.
set(ZUL_WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)

# Every test program runs in a world of its own (tests/tools/test_world.py): a
# copy of the suite's prefix with its own wineserver, its own Xvfb display
# (none with NO_DISPLAY) and its own HOME. No test can take another's
# foreground, pointer, registry key, mutex or processes, so tests need no locks.
set(ZUL_TEST_WORLD python3 ${CMAKE_SOURCE_DIR}/tests/tools/test_world.py)

# zul_add_world_test(name COMMAND command [args...] [NO_DISPLAY] [TIMEOUT seconds] [LABELS ...])
# A CTest entry that runs the command (for one, wine-run.sh and a test
# program, or the HTTP server's wrapper around them) in a world of its own.
function(zul_add_world_test name)
  cmake_parse_arguments(T "NO_DISPLAY" "TIMEOUT" "COMMAND;LABELS" ${ARGN})
  set(world ${ZUL_TEST_WORLD})
  if(T_NO_DISPLAY)
    list(APPEND world --no-display)
  endif()
  add_test(NAME ${name} COMMAND ${world} -- ${T_COMMAND} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()

# zul_add_test(name SOURCES a.cpp b.cpp LIBS lib1 lib2 [ARGS --gtest_filter=...] [LABELS gui] [TIMEOUT s])
# One GoogleTest executable run by CTest under Wine in a world of its own.
function(zul_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS;ARGS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} zul_gtest_main)
  zul_add_world_test(${name} COMMAND ${ZUL_WINE_RUN} $<TARGET_FILE:${name}> ${T_ARGS}
                     TIMEOUT ${T_TIMEOUT} LABELS ${T_LABELS})
endfunction()
