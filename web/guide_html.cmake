# Writes the guide's printable HTML edition: one file, the figures inside it
# as data: URLs and the checker of a student's count (its script, and its
# WebAssembly as base64) where the guide marks its place, so that it opens
# and prints anywhere without other files; and in its <meta> the security
# policy that allows exactly its own scripts and style sheet.
#   cmake -D CMARK=cmark-gfm -D GUIDE=teaching-guide.md -D TEMPLATE=teaching-guide.html.in -D CHECKER=guide_checker.html
#         -D CHECKER_JS=checker.js -D CHECKER_WASM=checker.wasm -D GUIDE_JS=guide.js -D ICON=counting-lab.svg
#         -D OUTPUT=teaching-guide.html -P guide_html.cmake
cmake_minimum_required(VERSION 3.25)  # the policies of the project, in this script too
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/fill_template.cmake)
execute_process(COMMAND ${CMARK} --extension table --unsafe ${GUIDE}
  OUTPUT_VARIABLE body COMMAND_ERROR_IS_FATAL ANY)
get_filename_component(folder ${GUIDE} DIRECTORY)
string(REGEX MATCHALL "src=\"figures/[^\"]+\\.svg\"" images "${body}")
list(REMOVE_DUPLICATES images)
foreach(image IN LISTS images)
  string(REGEX REPLACE "^src=\"(.*)\"$" "\\1" path "${image}")
  file(READ ${folder}/${path} svg)
  svg_data_url(url "${svg}")
  string(REPLACE "${image}" "src=\"${url}\"" body "${body}")
endforeach()
file(READ ${CHECKER} checker)
fill_template(checker "${checker}" checker.js=${CHECKER_JS} checker.wasm=${CHECKER_WASM} guide.js=${GUIDE_JS})
string(FIND "${body}" "<!-- checker -->" at)
if(at EQUAL -1)
  message(FATAL_ERROR "the guide has no place for the checker (<!-- checker -->)")
endif()
# The class check goes to its own section, with the scripts of both.
string(FIND "${checker}" "<!-- class check -->" split)
string(FIND "${body}" "<!-- class checker -->" class_at)
if(split EQUAL -1 OR class_at EQUAL -1)
  message(FATAL_ERROR "the guide or the checker has no place for the class check (<!-- class checker -->)")
endif()
string(SUBSTRING "${checker}" 0 ${split} single)
string(SUBSTRING "${checker}" ${split} -1 class)
string(REPLACE "<!-- checker -->" "${single}" body "${body}")
string(REPLACE "<!-- class checker -->" "${class}" body "${body}")
# Each table scrolls sideways in a box of its own where the screen is
# narrower than the table (a phone), rather than widening the page; the box
# takes the keyboard's focus, so that the arrow keys scroll it too.
set(numbered "")
set(rest "${body}")
set(number 0)
string(FIND "${rest}" "<table>" at)
while(NOT at EQUAL -1)
  math(EXPR number "${number} + 1")
  string(SUBSTRING "${rest}" 0 ${at} before)
  math(EXPR after "${at} + 7")
  string(SUBSTRING "${rest}" ${after} -1 rest)
  string(APPEND numbered "${before}<div class=\"scrolls\" tabindex=\"0\" role=\"group\" aria-label=\"Scrolling table ${number}\"><table>")
  string(FIND "${rest}" "<table>" at)
endwhile()
string(APPEND numbered "${rest}")
set(body "${numbered}")
string(REGEX REPLACE "</table>\n" "</table></div>\n" body "${body}")
# A mean and its standard deviation stay on one line: 217.4 ± 12.8.
string(REGEX REPLACE "<td([^>]*)>([0-9.]+ ± [0-9.]+)</td>" "<td\\1 class=\"nowrap\">\\2</td>" body "${body}")
# A contents list at the top, linking each section: its heading gets an id
# made from its words, unless it has one.
set(contents "")
string(REGEX MATCHALL "<h2[^>]*>[^<]*</h2>" headings "${body}")
foreach(heading IN LISTS headings)
  string(REGEX REPLACE "^<h2[^>]*>([^<]*)</h2>$" "\\1" title "${heading}")
  if(heading MATCHES "^<h2 id=\"([^\"]+)\"")
    set(id "${CMAKE_MATCH_1}")
  else()
    string(TOLOWER "${title}" id)
    string(REGEX REPLACE "[^a-z0-9]+" "-" id "${id}")
    string(REGEX REPLACE "^-|-$" "" id "${id}")
    string(REPLACE "${heading}" "<h2 id=\"${id}\">${title}</h2>" body "${body}")
  endif()
  string(APPEND contents "<li><a href=\"#${id}\">${title}</a></li>\n")
endforeach()
# It follows the title, and ends with which printed pages are the students'.
string(REGEX MATCH "<p class=\"print-only students-pages\">[^<]*</p>\n" students_pages "${body}")
if(students_pages STREQUAL "")
  message(FATAL_ERROR "the guide does not say which printed pages are the students' (<p class=\"print-only students-pages\">)")
endif()
string(REPLACE "${students_pages}" "" body "${body}")

string(FIND "${body}" "</h1>" title_end)
if(title_end EQUAL -1)
  message(FATAL_ERROR "the guide has no title (<h1>)")
endif()
math(EXPR title_end "${title_end} + 6")
string(SUBSTRING "${body}" 0 ${title_end} title)
string(SUBSTRING "${body}" ${title_end} -1 rest)
set(body "${title}<nav class=\"contents\" aria-label=\"Contents\">\n<p><strong>Contents</strong></p>\n<ul>\n${contents}</ul>\n${students_pages}</nav>\n${rest}")
file(READ ${TEMPLATE} page)
string(REPLACE "@BODY@" "${body}" page "${page}")
fill_template(page "${page}" counting-lab.svg=${ICON})
file(WRITE ${OUTPUT} "${page}")
