# The tree view with its nodes, the text control with links, the slider, the
# animated GIF and the cached-background container, in real windows under
# real input. The GIFs come from the demo skin's image script
# (core_window.cmake), read from the demo_skin folder beside the test.
if(NOT DEFINED DEMO_SKIN_ARCHIVE)
  message(FATAL_ERROR "more_controls.cmake needs the demo skin of core_window.cmake")
endif()
zul_add_test(skinui_more_controls_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/tree_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/more_controls_test.cpp
  LIBS skinui_controls
  LABELS gui)
add_dependencies(skinui_more_controls_test skinui_demo_skin)
