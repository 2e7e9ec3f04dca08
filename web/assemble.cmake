# Puts the page together: the program's script, its WebAssembly as base64 in
# a data block, the page's own script and the icon written into the
# template, so that one file holds everything; then the security policy
# that allows exactly the page's own scripts and styles, in its <meta>.
# The web edition's page (EDITION_HEAD set to edition-head.html) also links
# the edition's manifest and icons and registers its service worker, and
# its policy allows those.
#   cmake -D TEMPLATE=page.html -D OUTPUT=counting-lab.html -D PARTS="name=file;..." [-D EDITION_HEAD=FILE]
#         -P assemble.cmake
cmake_minimum_required(VERSION 3.25)  # the policies of the project, in this script too
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/fill_template.cmake)
file(READ "${TEMPLATE}" page)
set(edition_head "")
set(extra "")
set(images "data:")
if(EDITION_HEAD)
  file(READ "${EDITION_HEAD}" edition_head)
  set(extra "manifest-src 'self'; worker-src 'self'")
  set(images "data: 'self'")
  string(REPLACE "<!-- edition -->\n" "${edition_head}" page "${page}")
else()
  string(REPLACE "<!-- edition -->\n" "" page "${page}")
endif()
fill_template(page "${page}" CSP_IMAGES "${images}" CSP_EXTRA "${extra}" ${PARTS})
file(WRITE "${OUTPUT}" "${page}")
