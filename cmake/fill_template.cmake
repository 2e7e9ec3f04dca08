# fill_template(OUT TEXT [CSP_IMAGES SOURCES] [CSP_EXTRA DIRECTIVES] PART...): TEXT with the place "/* NAME */" of each
# part NAME=FILE filled with that file, made fit for where it stands: an
# .svg as a data: URL, a .wasm as base64, a .js as an inline script's text,
# anything else as it is; then, where TEXT has "@CSP@", the security policy
# that allows exactly the finished page's own scripts and styles, and the
# DIRECTIVES given ("manifest-src 'self'", say), with images from SOURCES
# (default: data:). A part
# whose place TEXT lacks is an error. The browser page and the teacher's
# guide are both put together by it.
include(${CMAKE_CURRENT_LIST_DIR}/svg_data_url.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/csp.cmake)

function(fill_template out text)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "CSP_IMAGES;CSP_EXTRA" "")
  if(NOT arg_CSP_IMAGES)
    set(arg_CSP_IMAGES "data:")
  endif()
  foreach(part IN LISTS arg_UNPARSED_ARGUMENTS)
    string(REGEX MATCH "^([^=]+)=(.*)$" _ "${part}")
    set(name "${CMAKE_MATCH_1}")
    set(path "${CMAKE_MATCH_2}")
    if(name MATCHES "\\.wasm$")
      base64_of_file(content "${path}")
    else()
      file(READ "${path}" content)
    endif()
    if(name MATCHES "\\.svg$")
      svg_data_url(content "${content}")
    elseif(name MATCHES "\\.js$")
      inline_script(content "${content}")
    endif()
    string(FIND "${text}" "/* ${name} */" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "the template has no place for ${name}")
    endif()
    string(REPLACE "/* ${name} */" "${content}" text "${text}")
  endforeach()
  string(FIND "${text}" "@CSP@" at)
  if(NOT at EQUAL -1)
    csp_policy(policy "${text}" "${arg_CSP_IMAGES}")
    if(arg_CSP_EXTRA)
      string(APPEND policy "; ${arg_CSP_EXTRA}")
    endif()
    string(REPLACE "@CSP@" "${policy}" text "${text}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()
