# Download tests: each runs under Wine while tests/tools/httpserver.py listens
# on a free loopback port (tests/tools/with_http_server.sh passes the port).

set(ZUL_HTTP_TEST_DRIVER ${CMAKE_SOURCE_DIR}/tests/tools/with_http_server.sh)

add_library(zul_http_test_support STATIC ${CMAKE_CURRENT_LIST_DIR}/http_test_server.cpp)
target_include_directories(zul_http_test_support PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(zul_http_test_support PUBLIC foundation ws2_32 bcrypt)

foreach(_name http_wininet_test http_curl_test)
  add_executable(${_name} ${CMAKE_CURRENT_LIST_DIR}/${_name}.cpp)
  target_link_libraries(${_name} PRIVATE launcher_http zul_http_test_support zul_gtest_main)
  zul_copy_curl_dll(${_name})
  add_test(NAME ${_name}
           COMMAND bash ${ZUL_HTTP_TEST_DRIVER} ${ZUL_WINE_RUN} $<TARGET_FILE:${_name}>
           WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  set_tests_properties(${_name} PROPERTIES TIMEOUT 300 LABELS http)
endforeach()

# The download tool that scripts/bench/download.sh times.
add_executable(zuldl ${CMAKE_CURRENT_LIST_DIR}/zuldl.cpp)
target_link_libraries(zuldl PRIVATE launcher_http psapi)
zul_copy_curl_dll(zuldl)
