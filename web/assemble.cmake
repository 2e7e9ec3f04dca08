# Puts the page together: the program (its WebAssembly inside), the page's
# own script and the icon written into the template, so that one file holds
# everything. An .svg part becomes a data: URL.
#   cmake -D TEMPLATE=page.html -D OUTPUT=counting-lab.html -D PARTS="name=file;..." -P assemble.cmake
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/svg_data_url.cmake)
file(READ "${TEMPLATE}" page)
foreach(part IN LISTS PARTS)
  string(REGEX MATCH "^([^=]+)=(.*)$" _ "${part}")
  set(name "${CMAKE_MATCH_1}")
  file(READ "${CMAKE_MATCH_2}" content)
  if(name MATCHES "\\.svg$")
    svg_data_url(content "${content}")
  else()
    # No source map to ask for, and nothing that would end the inline script early.
    string(REGEX REPLACE "//# sourceMappingURL=[^\n]*" "" content "${content}")
    string(REPLACE "</script" "<\\/script" content "${content}")
  endif()
  string(FIND "${page}" "/* ${name} */" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the page has no place for ${name}")
  endif()
  string(REPLACE "/* ${name} */" "${content}" page "${page}")
endforeach()
file(WRITE "${OUTPUT}" "${page}")
