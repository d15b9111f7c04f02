# Option, check box, edit box and date-time picker in skinned windows under
# real input; the edit box and the picker open native child windows.
zul_add_test(skinui_input_controls_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/option_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/edit_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/date_time_test.cpp
  LIBS skinui_controls zul_ui_driver
  LABELS gui)
