# The skin XML reader, over sample skins copied beside the test executable.
zul_add_test(skinui_xml_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/xml_reader_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xml_mutation_test.cpp
  LIBS skinui_core
  TIMEOUT 300)
add_custom_command(TARGET skinui_xml_test POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_CURRENT_LIST_DIR}/data
          $<TARGET_FILE_DIR:skinui_xml_test>/skinui_data)
