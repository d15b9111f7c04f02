# The launcher's package jobs run by the real zulplay.exe: a game folder
# changed during a job, closing during the repair tool, each package source.
add_executable(zulplay_jobs_test ${CMAKE_CURRENT_LIST_DIR}/zulplay_jobs_test.cpp)
target_link_libraries(zulplay_jobs_test PRIVATE zul_ui_driver zul_launcher_test_util zul_gtest_main)
add_dependencies(zulplay_jobs_test zulplay_test_fixture)
zul_add_world_test(zulplay_jobs_test TIMEOUT 900 LABELS http gui
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/tools/with_http_server.sh ${ZUL_WINE_RUN} $<TARGET_FILE:zulplay_jobs_test>)
