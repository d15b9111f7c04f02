# Base types, delegates, attribute values and theme colours of the UI framework.
zul_add_test(skinui_base_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ui_string_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ui_containers_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/delegate_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/attribute_parser_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/theme_colors_test.cpp
  LIBS skinui_core)
# In a folder of its own: it writes colors.ini beside itself, which every
# skinned program of the same folder would read.
set_target_properties(skinui_base_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/base)
