# HTTP downloads: the WinINet client and downloader, and the libcurl downloader.

set(ZUL_CURL_DIR ${ZUL_DEPS_DIR}/curl/${ZUL_TRIPLE})
if(NOT TARGET zul_libcurl)
  add_library(zul_libcurl SHARED IMPORTED GLOBAL)
  set_target_properties(zul_libcurl PROPERTIES
    IMPORTED_LOCATION ${ZUL_CURL_DIR}/bin/libcurl.dll
    IMPORTED_IMPLIB ${ZUL_CURL_DIR}/lib/libcurl.dll.a
    INTERFACE_INCLUDE_DIRECTORIES ${ZUL_CURL_DIR}/include)
endif()

# zul_copy_curl_dll(target): puts libcurl's DLL beside the target's executable.
function(zul_copy_curl_dll target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:zul_libcurl>
            $<TARGET_FILE_DIR:${target}>
    VERBATIM)
endfunction()

add_library(launcher_http STATIC
  ${CMAKE_CURRENT_LIST_DIR}/http_client.cpp
  ${CMAKE_CURRENT_LIST_DIR}/http_downloader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/curl_downloader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_download.cpp
  ${CMAKE_CURRENT_LIST_DIR}/server_certificate.cpp
)
target_include_directories(launcher_http PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(launcher_http PUBLIC foundation launcher_additions wininet crypt32 secur32 zul_libcurl)
