# Building the installer's payload: a 7z archive of everything the install
# folder receives, made at build time with 7zz (cmake/resources.cmake), and an
# .rc file that puts it into an executable as resource 130 of type "zip".

# zul_make_payload(<target>
#   ARCHIVE <out.7z>          the archive to make
#   STAGE <dir>               folder assembled for the archive (recreated)
#   LAUNCHER <exe>            copied as zulplay.exe
#   UNINSTALLER <exe>         copied as zulplayuninst.exe
#   [FILES <file>...]         copied into the top folder (libcurl.dll, ...)
#   [FONTS <file>...]         copied into "fonts"
#   [FOLDER <dir>]            its whole content copied in as it is, after the
#                             fonts (a font of the same name replaces the
#                             build's), before FILES and the two programs
#   [DEPENDS <target|file>...])
# An empty "data" folder is always added. When the deployment signs
# (ZUL_SIGN_COMMAND), every .exe and .dll of the stage not signed already is
# signed before the stage is packed.
function(zul_make_payload target)
  cmake_parse_arguments(P "" "ARCHIVE;STAGE;LAUNCHER;UNINSTALLER;FOLDER" "FILES;FONTS;DEPENDS" ${ARGN})
  set(fill COMMAND ${CMAKE_COMMAND} -E make_directory ${P_STAGE}/data ${P_STAGE}/fonts)
  if(P_FONTS)
    list(APPEND fill COMMAND ${CMAKE_COMMAND} -E copy ${P_FONTS} ${P_STAGE}/fonts/)
  endif()
  set(folder_files "")
  set(programs zulplay.exe zulplayuninst.exe)
  if(P_FOLDER)
    file(GLOB_RECURSE folder_files CONFIGURE_DEPENDS LIST_DIRECTORIES false RELATIVE ${P_FOLDER} ${P_FOLDER}/*)
    list(APPEND fill COMMAND ${CMAKE_COMMAND} -E copy_directory ${P_FOLDER} ${P_STAGE})
    foreach(file IN LISTS folder_files)
      if(file MATCHES "\\.([eE][xX][eE]|[dD][lL][lL])$")
        list(APPEND programs ${file})
      endif()
    endforeach()
    list(TRANSFORM folder_files PREPEND ${P_FOLDER}/)
  endif()
  if(P_FILES)
    list(APPEND fill COMMAND ${CMAKE_COMMAND} -E copy ${P_FILES} ${P_STAGE}/)
    foreach(file IN LISTS P_FILES)
      get_filename_component(name ${file} NAME)
      if(name MATCHES "\\.([eE][xX][eE]|[dD][lL][lL])$")
        list(APPEND programs ${name})
      endif()
    endforeach()
  endif()
  list(APPEND fill
    COMMAND ${CMAKE_COMMAND} -E copy ${P_LAUNCHER} ${P_STAGE}/zulplay.exe
    COMMAND ${CMAKE_COMMAND} -E copy ${P_UNINSTALLER} ${P_STAGE}/zulplayuninst.exe)
  if(ZUL_SIGN_COMMAND)
    list(TRANSFORM programs PREPEND ${P_STAGE}/)
    list(APPEND fill COMMAND ${ZUL_SIGN_COMMAND} --unless-signed ${programs})
  endif()
  zul_make_7z(${target} ARCHIVE ${P_ARCHIVE} STAGE ${P_STAGE} FILL ${fill}
    DEPENDS ${P_LAUNCHER} ${P_UNINSTALLER} ${P_FILES} ${P_FONTS} ${folder_files} ${P_DEPENDS})
endfunction()

# zul_payload_rc(<rc file> <archive>): writes the resource script for the
# archive. Add the .rc to an executable and make it depend on the archive.
function(zul_payload_rc rc archive)
  file(WRITE ${rc} "130 ZIP \"${archive}\"\n")
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${archive})
endfunction()
