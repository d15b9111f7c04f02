# Tests of the launcher's services. The download and remote-model tests run
# while tests/tools/httpserver.py listens on a free loopback port
# (tests/tools/with_http_server.sh passes the port).
add_library(zul_launcher_test_util STATIC ${CMAKE_CURRENT_LIST_DIR}/launcher_test_util.cpp)
target_include_directories(zul_launcher_test_util PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(zul_launcher_test_util PUBLIC foundation zul_ui_driver ws2_32 crypt32 zul_gtest_main)

add_executable(http_download_test ${CMAKE_CURRENT_LIST_DIR}/http_download_test.cpp)
add_executable(launcher_model_remote_test ${CMAKE_CURRENT_LIST_DIR}/model_remote_test.cpp)
foreach(_name http_download_test launcher_model_remote_test)
  zul_copy_curl_dll(${_name})
  zul_add_world_test(${_name} LABELS http
    COMMAND ${ZUL_WITH_HTTP_SERVER} ${ZUL_WINE_RUN} $<TARGET_FILE:${_name}>)
endforeach()
target_link_libraries(http_download_test PRIVATE launcher_http zul_launcher_test_util zul_gtest_main)
target_link_libraries(launcher_model_remote_test PRIVATE launcher_model zul_launcher_test_util
                      zul_gtest_main)

zul_add_test(launcher_model_local_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/model_local_test.cpp
  LIBS launcher_model zul_launcher_test_util)
zul_copy_curl_dll(launcher_model_local_test)

# zul_additions_peer is the second process of the cross-process cases.
add_executable(zul_additions_peer ${CMAKE_CURRENT_LIST_DIR}/additions_peer.cpp)
target_link_libraries(zul_additions_peer PRIVATE launcher_additions)
zul_add_test(launcher_additions_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/additions_file_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/additions_system_test.cpp
  LIBS launcher_additions zul_launcher_test_util)
zul_add_test(launcher_ipc_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/ipc_window_test.cpp
  LIBS launcher_additions zul_launcher_test_util LABELS gui)
add_dependencies(launcher_additions_test zul_additions_peer zul_test_child)
add_dependencies(launcher_ipc_test zul_additions_peer)

# The download tool that scripts/bench/download.sh and package.sh time.
add_executable(zuldl ${CMAKE_CURRENT_LIST_DIR}/zuldl.cpp)
target_link_libraries(zuldl PRIVATE launcher_http launcher_app szextract_layer psapi)
zul_copy_curl_dll(zuldl)
