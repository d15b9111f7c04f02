# Shared helpers for the project's CMake files.

# Tests run under Wine through this wrapper (prefix, debug and DLL overrides). It
# picks the loader from the program itself: 64-bit Wine for the x86_64 build,
# 32-bit Wine for the i686 build, whose suite scripts/test.sh runs inside
# scripts/wine32-ns.sh.
set(ZUL_WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)

# zul_add_test(name SOURCES a.cpp b.cpp LIBS lib1 lib2 [LABELS gui] [LOCKS zul_install_registration])
# One GoogleTest executable run by CTest through Wine. Tests that touch the
# same process-wide things (the product's registry key, the user's shortcuts,
# the display's mouse pointer and foreground window: zul_mouse_pointer) name
# the same lock so CTest never runs them at once.
function(zul_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS;LOCKS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} zul_gtest_main)
  add_test(NAME ${name} COMMAND ${ZUL_WINE_RUN} $<TARGET_FILE:${name}>
           WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(T_LOCKS)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${T_LOCKS}")
  endif()
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()
