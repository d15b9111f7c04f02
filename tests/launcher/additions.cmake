# Tests of the launcher's foundation additions and the window IPC channel.
# zul_additions_peer is the second process of the cross-process cases.
add_executable(zul_additions_peer ${CMAKE_CURRENT_LIST_DIR}/additions_peer.cpp)
target_link_libraries(zul_additions_peer PRIVATE launcher_additions)

zul_add_test(launcher_additions_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/additions_file_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/additions_process_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/additions_system_test.cpp
  LIBS launcher_additions)
add_dependencies(launcher_additions_test zul_additions_peer zul_test_child)

zul_add_test(launcher_ipc_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ipc_window_test.cpp
  LIBS launcher_additions
  LABELS gui)
add_dependencies(launcher_ipc_test zul_additions_peer)
