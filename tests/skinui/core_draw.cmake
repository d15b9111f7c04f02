# The drawing kit on memory DIBs (no display needed).
zul_add_test(skinui_draw_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/draw_image_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/draw_html_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/draw_system_dll_test.cpp
  LIBS skinui_core)
# In a folder of its own: the UI driver's tests beside the others link GDI+.
set_target_properties(skinui_draw_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/planted)
zul_plant_dll(skinui_draw_test NAMES msimg32 comctl32 gdiplus)

# The skin archive, the language table, fonts and images. The test executable
# carries resource 129 "ZIPRES": a 7z archive of tests/skinui/resources_zipres
# made by 7zz at build time.
set(_zipres_src ${CMAKE_CURRENT_LIST_DIR}/resources_zipres)
set(_zipres_out ${CMAKE_CURRENT_BINARY_DIR}/zipres)
file(GLOB_RECURSE _zipres_files CONFIGURE_DEPENDS ${_zipres_src}/*)
zul_make_7z(skinui_zipres_skin ARCHIVE ${_zipres_out}/skin.7z STAGE ${_zipres_out}/stage
  FILL COMMAND ${CMAKE_COMMAND} -E copy_directory ${_zipres_src} ${_zipres_out}/stage
  DEPENDS ${_zipres_files})
# Beside it, a truncated archive as 130, and a 1 by 1 red TGA image as resource 131 and as "LOGO", type "TGA".
set(_tga_words "0x0000, 0x0002, 0x0000, 0x0000, 0x0000, 0x0000, 0x0001, 0x0001, 0x2820, 0x0000, 0xFFFF")
file(WRITE ${_zipres_out}/zipres.rc
  "129 ZIPRES \"${_zipres_out}/skin.7z\"\n"
  "130 ZIPRES { 0x7A37, 0xAFBC, 0x271C, 0x0400, 0x1234 }\n"
  "131 TGA { ${_tga_words} }\n"
  "LOGO TGA { ${_tga_words} }\n")
set_source_files_properties(${_zipres_out}/zipres.rc PROPERTIES OBJECT_DEPENDS ${_zipres_out}/skin.7z)
zul_add_test(skinui_resources_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/resources_archive_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/resources_language_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/resources_fonts_test.cpp
    ${_zipres_out}/zipres.rc
  LIBS skinui_core)
# In a folder of its own: it writes multi_language.tsv beside itself, which
# every skinned program of the same folder would read.
set_target_properties(skinui_resources_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/resources)

# Layout, painting and layered windows in real windows (needs a display).
zul_add_test(skinui_paint_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/paint_window_test.cpp
  LIBS skinui_core
  LABELS gui)

# The mark-up text benchmark (scripts/bench/markup.sh runs it; not a test).
add_executable(skinui_markup_bench ${CMAKE_CURRENT_LIST_DIR}/markup_bench.cpp)
target_link_libraries(skinui_markup_bench PRIVATE skinui_core)
