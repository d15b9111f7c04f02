# The launcher's additions to the foundation: shell execution, file, registry
# and system helpers, the mapped file, the raw file handle and the window IPC
# channel.
add_library(launcher_additions STATIC
  ${CMAKE_CURRENT_LIST_DIR}/process_ex.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_ex.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mapped_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_handle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/reg_key_ex.cpp
  ${CMAKE_CURRENT_LIST_DIR}/system_ex.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window_ipc.cpp
)
target_link_libraries(launcher_additions PUBLIC foundation shell32 user32 advapi32)
