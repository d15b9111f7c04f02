# The launcher's web views and its own update, as its user meets them: the
# real zulplay.exe with the web-engine stand-in (node.dll, and an older one
# that lacks a function), its update document and the new installer (the
# recording stand-in) on tests/tools/httpserver.py.
set(_wke_fixture ${CMAKE_CURRENT_BINARY_DIR}/zulplay_fixture)
add_library(zul_wke_standin SHARED ${CMAKE_CURRENT_LIST_DIR}/wke_standin.cpp)
set_target_properties(zul_wke_standin PROPERTIES PREFIX "" OUTPUT_NAME node
                      RUNTIME_OUTPUT_DIRECTORY ${_wke_fixture} ARCHIVE_OUTPUT_DIRECTORY ${_wke_fixture})
target_link_libraries(zul_wke_standin PRIVATE user32 gdi32)
add_library(zul_wke_standin_incomplete SHARED ${CMAKE_CURRENT_LIST_DIR}/wke_standin.cpp)
target_compile_definitions(zul_wke_standin_incomplete PRIVATE ZUL_WKE_INCOMPLETE=1)
set_target_properties(zul_wke_standin_incomplete PROPERTIES PREFIX "" OUTPUT_NAME node_incomplete
                      RUNTIME_OUTPUT_DIRECTORY ${_wke_fixture} ARCHIVE_OUTPUT_DIRECTORY ${_wke_fixture})
target_link_libraries(zul_wke_standin_incomplete PRIVATE user32 gdi32)
add_custom_target(zulplay_update_fixture
  COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:zul_inst_recorder> ${_wke_fixture}/recorder.exe
  VERBATIM)
add_dependencies(zulplay_update_fixture zulplay_test_fixture zul_wke_standin zul_wke_standin_incomplete
                 zul_inst_recorder)

add_executable(zulplay_update_test ${CMAKE_CURRENT_LIST_DIR}/zulplay_update_test.cpp)
target_link_libraries(zulplay_update_test PRIVATE zul_ui_driver zul_launcher_test_util zul_gtest_main)
add_dependencies(zulplay_update_test zulplay_update_fixture)
target_compile_definitions(zulplay_update_test PRIVATE
  ZUL_LAUNCHER_LANGUAGE_TABLE="${CMAKE_SOURCE_DIR}/skins/zulplay/multi_language.tsv")
zul_add_world_test(zulplay_update_test TIMEOUT 900 LABELS http gui
  COMMAND ${ZUL_WITH_HTTP_SERVER} ${ZUL_WINE_RUN} $<TARGET_FILE:zulplay_update_test>)

# The update model against the test server, in process.
add_executable(launcher_update_model_test ${CMAKE_CURRENT_LIST_DIR}/update_model_test.cpp)
target_link_libraries(launcher_update_model_test PRIVATE launcher_app zul_launcher_test_util zul_gtest_main)
zul_copy_curl_dll(launcher_update_model_test)
add_dependencies(launcher_update_model_test launcher_signed_variants)
zul_add_world_test(launcher_update_model_test LABELS http
  COMMAND ${ZUL_WITH_HTTP_SERVER} ${ZUL_WINE_RUN} $<TARGET_FILE:launcher_update_model_test>)
