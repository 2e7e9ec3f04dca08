# Puts the page together: the program's script, its WebAssembly as base64 in
# a data block, the page's own script and the icon written into the
# template, so that one file holds everything; then the security policy
# that allows exactly the page's own scripts and styles, in its <meta>.
# An .svg part becomes a data: URL, a .wasm part base64.
#   cmake -D TEMPLATE=page.html -D OUTPUT=counting-lab.html -D PARTS="name=file;..." -P assemble.cmake
cmake_minimum_required(VERSION 3.25)  # the policies of the project, in this script too
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/svg_data_url.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/csp.cmake)
file(READ "${TEMPLATE}" page)
foreach(part IN LISTS PARTS)
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
  string(FIND "${page}" "/* ${name} */" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the page has no place for ${name}")
  endif()
  string(REPLACE "/* ${name} */" "${content}" page "${page}")
endforeach()
csp_policy(policy "${page}")
string(REPLACE "@CSP@" "${policy}" page "${page}")
file(WRITE "${OUTPUT}" "${page}")
