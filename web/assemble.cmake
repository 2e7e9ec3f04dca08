# Puts the page together: the program's script, its WebAssembly as base64 in
# a data block, the page's own script and the icon written into the
# template, so that one file holds everything; then the security policy
# that allows exactly the page's own scripts and styles, in its <meta>.
#   cmake -D TEMPLATE=page.html -D OUTPUT=counting-lab.html -D PARTS="name=file;..." -P assemble.cmake
cmake_minimum_required(VERSION 3.25)  # the policies of the project, in this script too
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/fill_template.cmake)
file(READ "${TEMPLATE}" page)
fill_template(page "${page}" ${PARTS})
file(WRITE "${OUTPUT}" "${page}")
