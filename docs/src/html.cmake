# Writes the guide's printable HTML edition: one file, the figures inside it
# as data: URLs, so that it opens and prints anywhere without other files.
#   cmake -D CMARK=cmark-gfm -D GUIDE=teaching-guide.md -D TEMPLATE=teaching-guide.html.in
#         -D OUTPUT=teaching-guide.html -P html.cmake
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/svg_data_url.cmake)
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
file(READ ${TEMPLATE} page)
string(REPLACE "@BODY@" "${body}" page "${page}")
file(WRITE ${OUTPUT} "${page}")
