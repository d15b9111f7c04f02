# The skin builder, the base container, the window base classes and the
# skinned demo window whose skin travels in a "ZIPRES" 7z resource.

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
# Every file of demo/skin goes into the archive (a new page or section file needs no change here).
file(GLOB_RECURSE _demo_skin_files CONFIGURE_DEPENDS ${_demo_dir}/skin/*)
zul_make_7z(skinui_demo_skin ARCHIVE ${DEMO_SKIN_ARCHIVE} STAGE ${_demo_stage}
  FILL COMMAND ${CMAKE_COMMAND} -E copy_directory ${_demo_dir}/skin ${_demo_stage}
       COMMAND ${Python3_EXECUTABLE} ${_demo_dir}/make_images.py ${_demo_stage}
  DEPENDS ${_demo_skin_files} ${_demo_dir}/make_images.py)
configure_file(${_demo_dir}/skin.rc.in ${CMAKE_CURRENT_BINARY_DIR}/demo_skin.rc @ONLY)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/demo_skin.rc PROPERTIES OBJECT_DEPENDS ${DEMO_SKIN_ARCHIVE})

add_executable(skinui_demo WIN32
  ${_demo_dir}/demo_main.cpp
  ${_demo_dir}/demo_window.cpp
  ${CMAKE_CURRENT_BINARY_DIR}/demo_skin.rc)
target_link_libraries(skinui_demo PRIVATE msg ole32)
# The demo hosts the test ActiveX control (activex.cmake) from its own folder.
add_dependencies(skinui_demo zul_test_activex)

# A program whose window's skin cannot be built (the window test starts it).
add_executable(skinui_broken_skin ${CMAKE_CURRENT_LIST_DIR}/broken_skin_main.cpp)
target_link_libraries(skinui_broken_skin PRIVATE skinui_core)

zul_add_test(skinui_window_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/window_test.cpp
    ${_demo_dir}/demo_window.cpp
    ${CMAKE_CURRENT_BINARY_DIR}/demo_skin.rc
  LIBS msg
  LABELS gui)
# The test starts skinui_broken_skin; the demo window hosts the test ActiveX
# control from the test's folder.
add_dependencies(skinui_window_test skinui_broken_skin zul_test_activex)
