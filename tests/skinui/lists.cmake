# The list with its header and rows, and the combo box with its drop list, in
# real windows under real input; the demo window's page of the list card with
# the drop list open (screenshot in build/artifacts). Uses the demo window and
# skin set up by core_window.cmake (fragments are included in name order).
if(NOT DEFINED DEMO_SKIN_ARCHIVE)
  message(FATAL_ERROR "lists.cmake needs the demo skin of core_window.cmake")
endif()
zul_add_test(skinui_list_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/list_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/combo_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/demo/demo_window.cpp
    ${CMAKE_CURRENT_BINARY_DIR}/demo_skin.rc
  LIBS msg zul_ui_driver
  LABELS gui)
# The demo page hosts the test ActiveX control from the test's folder.
add_dependencies(skinui_list_test zul_test_activex)
