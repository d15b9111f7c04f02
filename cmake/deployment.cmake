# The deployment: every value a publisher changes, read from one file
# (ZUL_DEPLOYMENT; deployment/example/deployment.txt describes its values).
# No source file names a deployment value: the build turns the file into
#   - the header zul_deployment.h (target zul_deployment): version, publisher,
#     hosts, report API and survey forms;
#   - each program's VERSIONINFO resource (zul_version_resource);
#   - the address rows of the skins' language tables (ZUL_LANGUAGE_ROWS_<program>,
#     read by zul_make_skin);
#   - the installer's payload folder (ZUL_PAYLOAD_DIR), the icon (ZUL_ICON);
#   - the signing of what ships (zul_sign_after_build, ZUL_SIGN_COMMAND);
#   - the cache list ZUL_TRUSTED_PUBLISHERS.
set(ZUL_DEPLOYMENT "${CMAKE_SOURCE_DIR}/deployment/example/deployment.txt" CACHE FILEPATH
    "The deployment file (see deployment/example/deployment.txt)")

# Each value as name:kind; the kind says how it is checked below.
set(_zul_deploy_required
  version:version  publisher:text
  config_host:host  download_host:host  web_host:host
  report_api_base:address
  survey_tw:address  survey_kr_1:address  survey_kr_2:address  survey_jp_1:address  survey_jp_2:address
  survey_vn_1:address  survey_vn_2:address  survey_th_1:address  survey_th_2:address
  survey_br_1:address  survey_br_2:address  survey_en_1:address  survey_en_2:address
  agreement_terms:address  agreement_privacy:address  about_1:address  about_2:address
  link_home:link  link_facebook:link  link_youtube:link  link_discord:link  link_store:link
  payload:folder
  trusted_publisher:list)
set(_zul_deploy_optional icon:file  signing_certificate:file  signing_key:file  timestamp_server:address)

# zul_deploy_fail(<text>): stops the configure with one line naming the file.
function(zul_deploy_fail text)
  message(FATAL_ERROR "deployment ${ZUL_DEPLOYMENT}: ${text}")
endfunction()

# Reads the file into _zul_deploy_<name> (trusted_publisher: a list).
function(zul_read_deployment file)
  if(NOT EXISTS "${file}" OR IS_DIRECTORY "${file}")
    zul_deploy_fail("no such file")
  endif()
  file(READ "${file}" content)
  # Comment lines go first (their line breaks stay, so line numbers hold).
  string(REGEX REPLACE "(^|\n)[ \t]*#[^\n]*" "\\1" content "${content}")
  # CMake lists split at ";" and group at brackets: such a value could not be
  # carried whole, so none may hold them.
  foreach(bad ";" "[" "]")
    string(FIND "${content}" "${bad}" at)
    if(at GREATER -1)
      string(SUBSTRING "${content}" 0 ${at} before)
      string(REGEX MATCHALL "\n" breaks "${before}")
      list(LENGTH breaks line)
      math(EXPR line "${line} + 1")
      zul_deploy_fail("line ${line} holds \"${bad}\", which no value may hold")
    endif()
  endforeach()
  string(REPLACE "\r" "" content "${content}")
  string(REPLACE "\n" ";" lines "${content}")
  set(known "")
  set(required "")
  foreach(entry IN LISTS _zul_deploy_required _zul_deploy_optional)
    string(REGEX REPLACE ":.*" "" name "${entry}")
    list(APPEND known ${name})
    if(entry IN_LIST _zul_deploy_required)
      list(APPEND required ${name})
    endif()
  endforeach()
  set(number 0)
  set(given "")
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    string(STRIP "${line}" line)
    if(line STREQUAL "" OR line MATCHES "^#")
      continue()
    endif()
    if(NOT line MATCHES "^([a-z0-9_]+)[ \t]*=[ \t]*(.*)$")
      zul_deploy_fail("line ${number} is not \"name = value\"")
    endif()
    set(name ${CMAKE_MATCH_1})
    string(STRIP "${CMAKE_MATCH_2}" value)
    if(NOT name IN_LIST known)
      zul_deploy_fail("line ${number}: there is no value ${name}")
    endif()
    if(value STREQUAL "")
      zul_deploy_fail("line ${number}: ${name} is empty")
    endif()
    if(value MATCHES "[\"\\\\\t]")
      zul_deploy_fail("line ${number}: ${name} holds a double quote, a backslash or a tab")
    endif()
    if(name STREQUAL "trusted_publisher")
      list(APPEND _zul_deploy_${name} "${value}")
    elseif(name IN_LIST given)
      zul_deploy_fail("line ${number}: ${name} is given twice")
    else()
      set(_zul_deploy_${name} "${value}")
    endif()
    list(APPEND given ${name})
  endforeach()
  foreach(name IN LISTS required)
    if(NOT name IN_LIST given)
      zul_deploy_fail("the required value ${name} is missing")
    endif()
  endforeach()
  foreach(name IN LISTS known)
    set(_zul_deploy_${name} "${_zul_deploy_${name}}" PARENT_SCOPE)
  endforeach()
endfunction()

# zul_check_deployment_value(<name> <kind>): the value's form; a path
# becomes absolute (relative to the deployment file's folder).
function(zul_check_deployment_value name kind)
  set(value "${_zul_deploy_${name}}")
  if(value STREQUAL "")
    return()  # an optional value left out
  endif()
  get_filename_component(base "${ZUL_DEPLOYMENT}" DIRECTORY)
  if(kind STREQUAL "host")
    if(NOT value MATCHES "^https?://[A-Za-z0-9.-]+(:[0-9]+)?$")
      zul_deploy_fail("${name} must be \"http(s)://name[:port]\" without a path, not \"${value}\"")
    endif()
  elseif(kind STREQUAL "address" OR (kind STREQUAL "link" AND NOT value STREQUAL "none"))
    if(NOT value MATCHES "^https?://[^ /]+(/[^ ]*)?$")
      zul_deploy_fail("${name} must be an http(s) address, not \"${value}\"")
    endif()
  elseif(kind STREQUAL "folder" OR kind STREQUAL "file")
    get_filename_component(value "${value}" ABSOLUTE BASE_DIR "${base}")
    if(kind STREQUAL "folder" AND NOT IS_DIRECTORY "${value}")
      zul_deploy_fail("${name}: there is no folder ${value}")
    elseif(kind STREQUAL "file" AND (NOT EXISTS "${value}" OR IS_DIRECTORY "${value}"))
      zul_deploy_fail("${name}: there is no file ${value}")
    endif()
    set(_zul_deploy_${name} "${value}" PARENT_SCOPE)
  endif()
endfunction()

zul_read_deployment("${ZUL_DEPLOYMENT}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${ZUL_DEPLOYMENT}")
foreach(entry IN LISTS _zul_deploy_required _zul_deploy_optional)
  string(REPLACE ":" ";" entry "${entry}")
  zul_check_deployment_value(${entry})
endforeach()

# The version and the forms derived from it: the four numbers of the
# version resource, the registry's "MMmmpp" and the self-update's number
# MM * 10000 + mm * 100 + pp.
if(NOT _zul_deploy_version MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)(\\.([0-9]+))?$")
  zul_deploy_fail("version must be three or four numbers such as 1.0.0 or 2.3.4.5, not \"${_zul_deploy_version}\"")
endif()
set(ZUL_VERSION "${_zul_deploy_version}")
set(_zul_pieces MAJOR ${CMAKE_MATCH_1} MINOR ${CMAKE_MATCH_2} PATCH ${CMAKE_MATCH_3} BUILD ${CMAKE_MATCH_5})
if(NOT CMAKE_MATCH_5)
  list(APPEND _zul_pieces 0)
endif()
while(_zul_pieces)
  list(POP_FRONT _zul_pieces _zul_piece _zul_number)
  set(_zul_limit 99)
  if(_zul_piece STREQUAL "BUILD")
    set(_zul_limit 65535)
  endif()
  string(LENGTH "${_zul_number}" _zul_digits)
  if(_zul_digits GREATER 5)
    zul_deploy_fail("version ${ZUL_VERSION}: ${_zul_number} is too large")
  endif()
  math(EXPR ZUL_VERSION_${_zul_piece} "${_zul_number}")
  if(ZUL_VERSION_${_zul_piece} GREATER _zul_limit)
    zul_deploy_fail("version ${ZUL_VERSION}: the ${_zul_piece} number may be at most ${_zul_limit}")
  endif()
endwhile()
math(EXPR ZUL_VERSION_NUMBER "${ZUL_VERSION_MAJOR} * 10000 + ${ZUL_VERSION_MINOR} * 100 + ${ZUL_VERSION_PATCH}")
foreach(piece MAJOR MINOR PATCH)
  set(_zul_two "0${ZUL_VERSION_${piece}}")
  string(LENGTH "${_zul_two}" _zul_length)
  math(EXPR _zul_from "${_zul_length} - 2")
  string(SUBSTRING "${_zul_two}" ${_zul_from} 2 _zul_two_${piece})
endforeach()
set(ZUL_VERSION_REGISTRY "${_zul_two_MAJOR}${_zul_two_MINOR}${_zul_two_PATCH}")
set(ZUL_VERSION_QUAD "${ZUL_VERSION_MAJOR}.${ZUL_VERSION_MINOR}.${ZUL_VERSION_PATCH}.${ZUL_VERSION_BUILD}")

set(ZUL_PUBLISHER "${_zul_deploy_publisher}")
set(ZUL_CONFIG_HOST "${_zul_deploy_config_host}")
set(ZUL_DOWNLOAD_HOST "${_zul_deploy_download_host}")
set(ZUL_WEB_HOST "${_zul_deploy_web_host}")
set(ZUL_REPORT_API_BASE "${_zul_deploy_report_api_base}")
if(NOT ZUL_REPORT_API_BASE MATCHES "/$")
  zul_deploy_fail("report_api_base must end with \"/\", not \"${ZUL_REPORT_API_BASE}\"")
endif()
foreach(form tw kr_1 kr_2 jp_1 jp_2 vn_1 vn_2 th_1 th_2 br_1 br_2 en_1 en_2)
  string(TOUPPER ${form} _zul_upper)
  set(ZUL_SURVEY_${_zul_upper} "${_zul_deploy_survey_${form}}")
endforeach()

set(ZUL_AGREEMENT_TERMS "${_zul_deploy_agreement_terms}")
set(ZUL_AGREEMENT_PRIVACY "${_zul_deploy_agreement_privacy}")
# The language-table rows that hold addresses, per program: key=value.
set(ZUL_LANGUAGE_ROWS_zulinst
  "url_useprotocol=${ZUL_AGREEMENT_TERMS}"
  "url_hideprotocol=${ZUL_AGREEMENT_PRIVACY}")
set(ZUL_LANGUAGE_ROWS_zulplay
  "link_about_us_link1=${_zul_deploy_about_1}"
  "link_about_us_link2=${_zul_deploy_about_2}"
  "url_home=${_zul_deploy_link_home}"
  "url_facebook=${_zul_deploy_link_facebook}"
  "url_youtobe=${_zul_deploy_link_youtube}"
  "url_discord=${_zul_deploy_link_discord}"
  "url_store=${_zul_deploy_link_store}")

set(ZUL_PAYLOAD_DIR "${_zul_deploy_payload}")
set(ZUL_ICON "${_zul_deploy_icon}")
if(ZUL_ICON AND NOT ZUL_ICON MATCHES "\\.[iI][cC][oO]$")
  zul_deploy_fail("icon must be an .ico file, not ${ZUL_ICON}")
endif()

# Trusted publishers: certificate subjects as Windows shows them.
set(ZUL_TRUSTED_PUBLISHERS "${_zul_deploy_trusted_publisher}" CACHE INTERNAL
    "Certificate subjects of the publishers whose programs may run elevated")

# Signing: both the certificate and its key, or neither.
set(ZUL_SIGN_COMMAND "")
if(_zul_deploy_signing_certificate OR _zul_deploy_signing_key)
  if(NOT _zul_deploy_signing_certificate OR NOT _zul_deploy_signing_key)
    zul_deploy_fail("signing_certificate and signing_key go together: give both or neither")
  endif()
  set(_zul_sign_script ${CMAKE_SOURCE_DIR}/scripts/sign.sh)
  if(NOT EXISTS ${_zul_sign_script})
    zul_deploy_fail("a certificate is given, but ${_zul_sign_script} is missing")
  endif()
  set(ZUL_SIGN_COMMAND bash ${_zul_sign_script} --cert "${_zul_deploy_signing_certificate}"
      --key "${_zul_deploy_signing_key}")
  if(_zul_deploy_timestamp_server)
    list(APPEND ZUL_SIGN_COMMAND --timestamp "${_zul_deploy_timestamp_server}")
  endif()
elseif(_zul_deploy_timestamp_server)
  zul_deploy_fail("timestamp_server is given without signing_certificate and signing_key")
endif()
# What scripts/release.sh reads back: the version and the certificate
# (empty: unsigned).
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/deployment/release.txt
  CONTENT "version=${ZUL_VERSION}\ncertificate=${_zul_deploy_signing_certificate}\n")

# The header every deployment value reaches the code through.
configure_file(${CMAKE_CURRENT_LIST_DIR}/zul_deployment.h.in ${CMAKE_BINARY_DIR}/deployment/zul_deployment.h @ONLY)
add_library(zul_deployment INTERFACE)
target_include_directories(zul_deployment INTERFACE ${CMAKE_BINARY_DIR}/deployment)

message(STATUS "Deployment ${ZUL_DEPLOYMENT}: version ${ZUL_VERSION}, publisher ${ZUL_PUBLISHER}")

# zul_version_resource(<target> DESCRIPTION <text> FILENAME <name.exe>)
# The program's VERSIONINFO: version, publisher, product, description.
function(zul_version_resource target)
  cmake_parse_arguments(V "" "DESCRIPTION;FILENAME" "" ${ARGN})
  set(ZUL_FILE_DESCRIPTION "${V_DESCRIPTION}")
  set(ZUL_ORIGINAL_FILENAME "${V_FILENAME}")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${ZUL_CMAKE_DIR}/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
set(ZUL_CMAKE_DIR ${CMAKE_CURRENT_LIST_DIR})

# zul_sign_after_build(<target> [FILES <file>...]): signs the target's
# program (and the files, which its build puts in place) as soon as it is
# linked, when the deployment names a certificate.
function(zul_sign_after_build target)
  cmake_parse_arguments(S "" "" "FILES" ${ARGN})
  if(NOT ZUL_SIGN_COMMAND)
    return()
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${ZUL_SIGN_COMMAND} $<TARGET_FILE:${target}> ${S_FILES}
    VERBATIM)
endfunction()
