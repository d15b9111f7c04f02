# The control base and the window manager's input side.
zul_add_test(skinui_control_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/control_attributes_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/control_paint_test.cpp
  LIBS skinui_controls)
zul_add_test(skinui_manager_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/manager_input_test.cpp
  LIBS skinui_controls
  LABELS gui)
