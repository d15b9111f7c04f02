# Tests of the launcher program. launcher_app_test checks its pieces in
# process; zulplay_program_test runs the real zulplay.exe under Wine against
# tests/tools/httpserver.py and drives its window with real input.

zul_add_test(launcher_app_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/launcher_app_test.cpp
  LIBS launcher_app LABELS gui)
zul_copy_curl_dll(launcher_app_test)
add_dependencies(launcher_app_test zul_test_child)

# Everything the program test copies into its application folders, in one
# folder beside the test: the launcher with libcurl, the crash-reporter
# stand-in, the emulator packages, the IPC poster and the test child.
set(_fixture ${CMAKE_CURRENT_BINARY_DIR}/zulplay_fixture)
file(MAKE_DIRECTORY ${_fixture})
add_library(zul_crashreport_standin SHARED ${CMAKE_CURRENT_LIST_DIR}/crashreport_standin.cpp)
set_target_properties(zul_crashreport_standin PROPERTIES PREFIX "" OUTPUT_NAME crashreport
                      RUNTIME_OUTPUT_DIRECTORY ${_fixture} ARCHIVE_OUTPUT_DIRECTORY ${_fixture})

# The emulator package: the recording stand-in under the emulator's three
# names, the emulator's version and the game version it comes with.
set(_player_files ${CMAKE_CURRENT_BINARY_DIR}/player_files)
file(WRITE ${_player_files}/playerversion "1000")
file(WRITE ${_player_files}/data/appversion1000 "1000")
string(REPEAT "emulator disk image stand-in 0123456789 abcdefghijklmnopqrstuvwxyz\n" 20000 _disk)
file(WRITE ${_player_files}/vm/disk.img "${_disk}")
set(_player ${_fixture}/player.7z)
zul_make_7z(zulplay_test_player ARCHIVE ${_player} STAGE ${CMAKE_CURRENT_BINARY_DIR}/player_stage
  FILL COMMAND ${CMAKE_COMMAND} -E copy_directory ${_player_files} ${CMAKE_CURRENT_BINARY_DIR}/player_stage
       COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:zul_inst_recorder> ${CMAKE_CURRENT_BINARY_DIR}/player_stage/zulclient.exe
       COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:zul_inst_recorder> ${CMAKE_CURRENT_BINARY_DIR}/player_stage/zulrepairer.exe
       COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:zul_inst_recorder> ${CMAKE_CURRENT_BINARY_DIR}/player_stage/driverconfig.exe
  DEPENDS zul_inst_recorder ${_player_files}/playerversion)
# The same archive with bytes of its packed data overwritten: it opens, its
# content fails the checks.
add_custom_command(OUTPUT ${_fixture}/player_corrupt.7z
  COMMAND ${CMAKE_COMMAND} -E copy ${_player} ${_fixture}/player_corrupt.7z
  COMMAND sh -c "printf '\\377\\377\\377\\377\\000\\000\\000\\000\\377\\377\\377\\377\\125\\252\\125\\252' | dd of='${_fixture}/player_corrupt.7z' bs=1 seek=4000 conv=notrunc status=none"
  DEPENDS ${_player}
  VERBATIM)
# Packages whose repair tool, or driver set-up, no trusted publisher signed:
# the launcher must not start it.
set(_signing ${CMAKE_CURRENT_BINARY_DIR}/signing)
set(_refused_players "")
foreach(_case repair_unsigned:unsigned:signed repair_altered:altered:signed repair_rogue:rogue:signed
              repair_other:other:signed driver_unsigned:signed:unsigned)
  string(REPLACE ":" ";" _case "${_case}")
  list(GET _case 0 _name)
  list(GET _case 1 _repairer)
  list(GET _case 2 _driver)
  set(_stage ${CMAKE_CURRENT_BINARY_DIR}/player_${_name}_stage)
  zul_make_7z(zulplay_test_player_${_name} ARCHIVE ${_fixture}/player_${_name}.7z STAGE ${_stage}
    FILL COMMAND ${CMAKE_COMMAND} -E copy ${_player_files}/playerversion ${_stage}/playerversion
         COMMAND ${CMAKE_COMMAND} -E copy ${_signing}/${_repairer}.exe ${_stage}/zulrepairer.exe
         COMMAND ${CMAKE_COMMAND} -E copy ${_signing}/${_driver}.exe ${_stage}/driverconfig.exe
    DEPENDS ${_signing}/${_repairer}.exe ${_signing}/${_driver}.exe ${_player_files}/playerversion)
  list(APPEND _refused_players zulplay_test_player_${_name})
endforeach()
# The main window's skin, which a test plants beside the launcher with a change.
configure_file(${CMAKE_SOURCE_DIR}/skins/zulplay/xml_mainframe.xml ${_fixture}/xml_mainframe.xml COPYONLY)
add_custom_target(zulplay_test_fixture
  COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:zulplay> $<TARGET_FILE:zul_libcurl>
          $<TARGET_FILE:zul_additions_peer> $<TARGET_FILE:zul_test_child> ${_fixture}
  DEPENDS ${_fixture}/player_corrupt.7z zulplay_test_player
  VERBATIM)
add_dependencies(zulplay_test_fixture zulplay zul_additions_peer zul_test_child zul_crashreport_standin
                 launcher_signed_variants ${_refused_players})

add_executable(zulplay_program_test ${CMAKE_CURRENT_LIST_DIR}/zulplay_program_test.cpp)
target_link_libraries(zulplay_program_test PRIVATE zul_ui_driver zul_launcher_test_util launcher_additions
                      zul_gtest_main)
add_dependencies(zulplay_program_test zulplay_test_fixture)
zul_add_world_test(zulplay_program_test TIMEOUT 900 LABELS http gui
  COMMAND ${ZUL_WITH_HTTP_SERVER} ${ZUL_WINE_RUN} $<TARGET_FILE:zulplay_program_test>)

# Demo (not a test): scripts/demo.sh runs it against the local server.
#   zulplay_demo.exe 'C:\ZULDemo'
add_executable(zulplay_demo ${CMAKE_CURRENT_LIST_DIR}/zulplay_demo.cpp)
target_link_libraries(zulplay_demo PRIVATE zul_ui_driver zul_gtest_main)
add_dependencies(zulplay_demo zulplay_test_fixture)

# The tray icon, its menu and the settings window of the real zulplay.exe.
add_executable(zulplay_shell_test ${CMAKE_CURRENT_LIST_DIR}/zulplay_shell_test.cpp)
target_link_libraries(zulplay_shell_test PRIVATE zul_ui_driver zul_launcher_test_util zul_gtest_main)
add_dependencies(zulplay_shell_test zulplay_test_fixture)
zul_add_world_test(zulplay_shell_test TIMEOUT 600 LABELS http gui
  COMMAND ${ZUL_WITH_HTTP_SERVER} ${ZUL_WINE_RUN} $<TARGET_FILE:zulplay_shell_test>
          --gtest_filter=-*WithoutADisplay*)
# Its cases for a machine without a display, run without one (as the
# installer's, tests/install/CMakeLists.txt).
zul_add_world_test(zulplay_no_display_test NO_DISPLAY LABELS http
  COMMAND ${ZUL_WITH_HTTP_SERVER} ${ZUL_WINE_RUN} $<TARGET_FILE:zulplay_shell_test>
          --gtest_filter=*WithoutADisplay*)
