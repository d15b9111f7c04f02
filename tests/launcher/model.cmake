# Tests of the launcher model. The remote cases run while the loopback test
# server listens (see http.cmake); the local ones need no server.

zul_add_test(launcher_model_local_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/model_local_test.cpp
  LIBS launcher_model zul_http_test_support)
zul_copy_curl_dll(launcher_model_local_test)

add_executable(launcher_model_remote_test ${CMAKE_CURRENT_LIST_DIR}/model_remote_test.cpp)
target_link_libraries(launcher_model_remote_test PRIVATE launcher_model zul_http_test_support
                      zul_gtest_main)
zul_copy_curl_dll(launcher_model_remote_test)
add_test(NAME launcher_model_remote_test
         COMMAND ${ZUL_HTTP_TEST_DRIVER} ${ZUL_WINE_RUN} $<TARGET_FILE:launcher_model_remote_test>
         WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
set_tests_properties(launcher_model_remote_test PROPERTIES TIMEOUT 300 LABELS http)
