# The skin builder, the base container, the window base classes and the
# skinned demo window whose skin travels in a "ZIPRES" 7z resource.
find_program(ZUL_7ZZ 7zz REQUIRED)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

# Skins carried as resources of type SKINXML by the builder test.
set(_builder_res ${CMAKE_CURRENT_BINARY_DIR}/builder_res)
file(WRITE ${_builder_res}/main.xml "<Container name=\"resmain\"><Include source=\"301\" count=\"2\"/></Container>")
file(WRITE ${_builder_res}/item.xml "<Control name=\"fromres\"/>")
file(WRITE ${_builder_res}/builder_test.rc
  "300 SKINXML \"${_builder_res}/main.xml\"\n301 SKINXML \"${_builder_res}/item.xml\"\n")

zul_add_test(skinui_builder_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/builder_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/container_test.cpp
    ${_builder_res}/builder_test.rc
  LIBS skinui_controls)

# The demo skin archive: the XML files and the language table from demo/skin,
# the images written by demo/make_images.py.
set(_demo_dir ${CMAKE_CURRENT_LIST_DIR}/demo)
set(_demo_stage ${CMAKE_CURRENT_BINARY_DIR}/demo_skin)
set(DEMO_SKIN_ARCHIVE ${CMAKE_CURRENT_BINARY_DIR}/demo_skin.7z)
set(_demo_skin_files ${_demo_dir}/skin/demo.xml ${_demo_dir}/skin/panel.xml ${_demo_dir}/skin/multi_language.tsv
  ${_demo_dir}/skin/rich_section.xml ${_demo_dir}/skin/rich_section.rtf)
add_custom_command(OUTPUT ${DEMO_SKIN_ARCHIVE}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${_demo_stage} ${DEMO_SKIN_ARCHIVE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_demo_stage}
  COMMAND ${CMAKE_COMMAND} -E copy ${_demo_skin_files} ${_demo_stage}/
  COMMAND ${Python3_EXECUTABLE} ${_demo_dir}/make_images.py ${_demo_stage}
  COMMAND ${CMAKE_COMMAND} -E chdir ${_demo_stage} ${ZUL_7ZZ} a -t7z -bso0 -bsp0 ${DEMO_SKIN_ARCHIVE} .
  DEPENDS ${_demo_skin_files} ${_demo_dir}/make_images.py
  COMMENT "Packing the demo skin archive"
  VERBATIM)
configure_file(${_demo_dir}/skin.rc.in ${CMAKE_CURRENT_BINARY_DIR}/demo_skin.rc @ONLY)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/demo_skin.rc PROPERTIES OBJECT_DEPENDS ${DEMO_SKIN_ARCHIVE})

add_executable(skinui_demo WIN32
  ${_demo_dir}/demo_main.cpp
  ${_demo_dir}/demo_window.cpp
  ${CMAKE_CURRENT_BINARY_DIR}/demo_skin.rc)
target_link_libraries(skinui_demo PRIVATE skinui_controls ole32)
# The demo hosts the test ActiveX control (activex.cmake) from its own folder.
add_dependencies(skinui_demo zul_test_activex)

zul_add_test(skinui_window_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/window_test.cpp
    ${_demo_dir}/demo_window.cpp
    ${CMAKE_CURRENT_BINARY_DIR}/demo_skin.rc
  LIBS skinui_controls
  LABELS gui)
