# The launcher's model: language, region, game folder, registry values,
# config.data and the remote configuration worker.

# rapidjson is header-only; the cross compiler must not see the rest of
# /usr/include, so the headers are reached through a folder of their own.
if(NOT TARGET zul_rapidjson)
  set(_zul_rapidjson_root ${CMAKE_BINARY_DIR}/zul_rapidjson)
  if(NOT EXISTS ${_zul_rapidjson_root}/rapidjson)
    file(MAKE_DIRECTORY ${_zul_rapidjson_root})
    file(CREATE_LINK /usr/include/rapidjson ${_zul_rapidjson_root}/rapidjson SYMBOLIC)
  endif()
  add_library(zul_rapidjson INTERFACE)
  target_include_directories(zul_rapidjson SYSTEM INTERFACE ${_zul_rapidjson_root})
endif()

add_library(launcher_model STATIC
  ${CMAKE_CURRENT_LIST_DIR}/config_data.cpp
  ${CMAKE_CURRENT_LIST_DIR}/zul_model.cpp
)
target_include_directories(launcher_model PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(launcher_model
  PUBLIC foundation region_profile launcher_http launcher_additions
  PRIVATE zul_rapidjson zul_deployment)
