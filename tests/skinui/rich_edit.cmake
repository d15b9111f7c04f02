# The rich edit over the system's windowless text services, typed into with
# real keyboard input in a real window.
zul_add_test(skinui_rich_edit_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/rich_edit_test.cpp
  LIBS skinui_controls
  LABELS gui)
