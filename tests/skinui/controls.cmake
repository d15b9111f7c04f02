# The first set of controls: layouts, tab layout, label with its text
# effects, button and progress bar, painted on memory DIBs.
zul_add_test(skinui_controls_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/layout_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tab_layout_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/label_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/button_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/progress_test.cpp
  LIBS skinui_controls)
# The same controls in real windows under real input (needs a display).
zul_add_test(skinui_controls_input_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/controls_input_test.cpp
  LIBS skinui_controls
  LABELS gui)
