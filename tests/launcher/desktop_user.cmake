# The emulator client, which the elevated launcher starts as the desktop user
# in its game folder. The test child plays the desktop's explorer.exe and the
# recording stand-in the client and the system folder's rundll32.exe.
zul_add_test(launcher_desktop_user_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/desktop_user_test.cpp
  LIBS launcher_app zul_launcher_test_util)
zul_copy_curl_dll(launcher_desktop_user_test)
add_custom_command(TARGET launcher_desktop_user_test POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:zul_inst_recorder>
          $<TARGET_FILE_DIR:launcher_desktop_user_test>/zul_recorder.exe
  VERBATIM)
add_dependencies(launcher_desktop_user_test zul_inst_recorder zul_test_child)
