# The scroll bar and the base container's scrolling, in memory DIBs and real
# windows, with the demo window's scrolling panel. Uses the demo skin set up
# by core_window.cmake (fragments are included in name order).
if(NOT DEFINED DEMO_SKIN_ARCHIVE)
  message(FATAL_ERROR "scroll_bar.cmake needs the demo skin of core_window.cmake")
endif()
zul_add_test(skinui_scroll_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/scroll_bar_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/container_scroll_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/demo/demo_window.cpp
    ${CMAKE_CURRENT_BINARY_DIR}/demo_skin.rc
  LIBS msg
  LABELS gui)
