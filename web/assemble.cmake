# Puts the page together: the template with the terminal's styles and
# scripts, the line discipline, the program (its WebAssembly inside) and the
# page's own script written into it, so that one file holds everything.
#   cmake -D TEMPLATE=page.html -D OUTPUT=counting-lab.html -D PARTS="name=file;..." -P assemble.cmake
file(READ "${TEMPLATE}" page)
foreach(part IN LISTS PARTS)
  string(REGEX MATCH "^([^=]+)=(.*)$" _ "${part}")
  set(name "${CMAKE_MATCH_1}")
  file(READ "${CMAKE_MATCH_2}" content)
  # No source map to ask for, and nothing that would end the inline script early.
  string(REGEX REPLACE "//# sourceMappingURL=[^\n]*" "" content "${content}")
  string(REGEX REPLACE "/\\*# sourceMappingURL=[^\n]*\\*/" "" content "${content}")
  string(REPLACE "</script" "<\\/script" content "${content}")
  string(FIND "${page}" "/* ${name} */" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the page has no place for ${name}")
  endif()
  string(REPLACE "/* ${name} */" "${content}" page "${page}")
endforeach()
file(WRITE "${OUTPUT}" "${page}")
