# The UI driver against the skinned demo program run as a process of its own.
zul_add_test(ui_driver_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ui_driver_test.cpp
  LIBS zul_ui_driver
  LABELS gui)
add_dependencies(ui_driver_test skinui_demo)
