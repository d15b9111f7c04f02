# Building the installer's payload: a 7z archive of everything the install
# folder receives, made at build time with 7zz (cmake/resources.cmake), and an
# .rc file that puts it into an executable as resource 130 of type "zip".

# zul_make_payload(<target>
#   ARCHIVE <out.7z>          the archive to make
#   STAGE <dir>               folder assembled for the archive (recreated)
#   LAUNCHER <exe>            copied as zulplay.exe
#   UNINSTALLER <exe>         copied as zulplayuninst.exe
#   [FILES <file>...]         copied into the top folder (host1.txt, host2.txt, ...)
#   [FONTS <file>...]         copied into "fonts"
#   [DEPENDS <target|file>...])
# An empty "data" folder is always added.
function(zul_make_payload target)
  cmake_parse_arguments(P "" "ARCHIVE;STAGE;LAUNCHER;UNINSTALLER" "FILES;FONTS;DEPENDS" ${ARGN})
  set(fill
    COMMAND ${CMAKE_COMMAND} -E make_directory ${P_STAGE}/data ${P_STAGE}/fonts
    COMMAND ${CMAKE_COMMAND} -E copy ${P_LAUNCHER} ${P_STAGE}/zulplay.exe
    COMMAND ${CMAKE_COMMAND} -E copy ${P_UNINSTALLER} ${P_STAGE}/zulplayuninst.exe)
  if(P_FILES)
    list(APPEND fill COMMAND ${CMAKE_COMMAND} -E copy ${P_FILES} ${P_STAGE}/)
  endif()
  if(P_FONTS)
    list(APPEND fill COMMAND ${CMAKE_COMMAND} -E copy ${P_FONTS} ${P_STAGE}/fonts/)
  endif()
  zul_make_7z(${target} ARCHIVE ${P_ARCHIVE} STAGE ${P_STAGE} FILL ${fill}
    DEPENDS ${P_LAUNCHER} ${P_UNINSTALLER} ${P_FILES} ${P_FONTS} ${P_DEPENDS})
endfunction()

# zul_payload_rc(<rc file> <archive>): writes the resource script for the
# archive. Add the .rc to an executable and make it depend on the archive.
function(zul_payload_rc rc archive)
  file(WRITE ${rc} "130 ZIP \"${archive}\"\n")
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${archive})
endfunction()
