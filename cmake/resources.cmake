# Resources made at build time from sources in the tree: 7z archives packed by
# 7zz, the skin images and icons drawn by skins/make_images.py, and the
# resource scripts that carry them into an executable.
find_program(ZUL_7ZZ 7zz REQUIRED)
find_program(ZUL_CONVERT convert REQUIRED)  # ImageMagick: the multi-size .ico
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(ZUL_SKIN_IMAGES ${CMAKE_SOURCE_DIR}/skins/make_images.py)
set(ZUL_SET_LANGUAGE_ROWS ${CMAKE_SOURCE_DIR}/skins/set_language_rows.py)

# zul_make_7z(<target> ARCHIVE <out.7z> STAGE <dir> FILL <COMMAND ...>... [DEPENDS <file|target>...])
# The one way the build packs an archive: the stage folder is made anew, the
# FILL commands put the archive's files into it, and 7zz packs its content
# (names relative to the stage, "/" between folders) in independent LZMA2
# blocks of 16 MiB, which the programs decode on several threads (eight
# blocks at once fit a 32-bit process's memory budget).
function(zul_make_7z target)
  cmake_parse_arguments(P "" "ARCHIVE;STAGE" "FILL;DEPENDS" ${ARGN})
  add_custom_command(OUTPUT ${P_ARCHIVE}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${P_STAGE} ${P_ARCHIVE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${P_STAGE}
    ${P_FILL}
    COMMAND ${CMAKE_COMMAND} -E chdir ${P_STAGE} ${ZUL_7ZZ} a -t7z -bso0 -bsp0 -m0=LZMA2:c=16m ${P_ARCHIVE} .
    DEPENDS ${P_DEPENDS}
    COMMENT "Packing ${P_ARCHIVE}"
    VERBATIM)
  add_custom_target(${target} DEPENDS ${P_ARCHIVE})
endfunction()

# zul_make_skin(<target> PROGRAM <name> ARCHIVE <out.7z>)
# A program's skin archive: skins/<name>/ as it is (skin XML, language table)
# plus the images make_images.py draws for that program; the deployment's
# addresses (ZUL_LANGUAGE_ROWS_<name>, cmake/deployment.cmake) replace their
# rows of the language table in every language.
function(zul_make_skin target)
  cmake_parse_arguments(P "" "PROGRAM;ARCHIVE" "" ${ARGN})
  set(source ${CMAKE_SOURCE_DIR}/skins/${P_PROGRAM})
  file(GLOB_RECURSE files CONFIGURE_DEPENDS ${source}/*)
  set(stage ${CMAKE_CURRENT_BINARY_DIR}/${target}_stage)
  set(rows "")
  if(ZUL_LANGUAGE_ROWS_${P_PROGRAM})
    set(rows COMMAND ${Python3_EXECUTABLE} ${ZUL_SET_LANGUAGE_ROWS} ${stage}/multi_language.tsv
             ${ZUL_LANGUAGE_ROWS_${P_PROGRAM}})
  endif()
  zul_make_7z(${target} ARCHIVE ${P_ARCHIVE} STAGE ${stage}
    FILL COMMAND ${CMAKE_COMMAND} -E copy_directory ${source} ${stage}
         COMMAND ${Python3_EXECUTABLE} ${ZUL_SKIN_IMAGES} skin ${P_PROGRAM} ${stage}
         ${rows}
    DEPENDS ${files} ${ZUL_SKIN_IMAGES} ${ZUL_SET_LANGUAGE_ROWS})
endfunction()

# zul_make_icon(<out.ico> PROGRAM <name>): the program's icon in six sizes,
# each drawn at its own size; the deployment's icon (ZUL_ICON) when it names one.
function(zul_make_icon ico)
  cmake_parse_arguments(P "" "PROGRAM" "" ${ARGN})
  if(ZUL_ICON)
    add_custom_command(OUTPUT ${ico}
      COMMAND ${CMAKE_COMMAND} -E copy ${ZUL_ICON} ${ico}
      DEPENDS ${ZUL_ICON}
      COMMENT "Taking the ${P_PROGRAM} icon from the deployment"
      VERBATIM)
    return()
  endif()
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${P_PROGRAM}_icon)
  set(pngs "")
  foreach(size 16 24 32 48 64 256)
    list(APPEND pngs ${dir}/icon_${size}.png)
  endforeach()
  add_custom_command(OUTPUT ${ico}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${Python3_EXECUTABLE} ${ZUL_SKIN_IMAGES} icon ${P_PROGRAM} ${dir}
    COMMAND ${ZUL_CONVERT} ${pngs} ${ico}
    DEPENDS ${ZUL_SKIN_IMAGES}
    COMMENT "Drawing the ${P_PROGRAM} icon"
    VERBATIM)
endfunction()

# zul_program_resources(<target> RC <file.rc> FILES <file>... DEPENDS <target>...)
# A program's compiled resource script as an object library that the program
# (and its tests) link. The script names its files without folders: windres
# finds them in the script's folder, the matching build folder (archives, icon)
# and cmake/ (the manifest the three programs share). The object is rebuilt
# when one of FILES changes.
function(zul_program_resources target)
  cmake_parse_arguments(P "" "RC" "FILES;DEPENDS" ${ARGN})
  add_library(${target} OBJECT ${P_RC})
  target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR}
                             ${CMAKE_SOURCE_DIR}/cmake)
  set_source_files_properties(${P_RC} PROPERTIES OBJECT_DEPENDS "${P_FILES}")
  add_dependencies(${target} ${P_DEPENDS})
endfunction()
