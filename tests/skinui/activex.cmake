# The ActiveX host and the web-browser control. The host loads the test
# control below by path through "modulename" (it is never registered).
add_library(zul_test_activex SHARED
  ${CMAKE_CURRENT_LIST_DIR}/activex_control/test_control.cpp
  ${CMAKE_CURRENT_LIST_DIR}/activex_control/test_control.def)
set_target_properties(zul_test_activex PROPERTIES PREFIX "")
target_link_libraries(zul_test_activex PRIVATE ole32 uuid gdi32)

zul_add_test(skinui_activex_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/activex_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/web_browser_test.cpp
  LIBS skinui_controls
  LABELS gui)
target_include_directories(skinui_activex_test PRIVATE ${CMAKE_CURRENT_LIST_DIR}/activex_control)
add_dependencies(skinui_activex_test zul_test_activex)
