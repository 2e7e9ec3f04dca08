# Writes the guide's printable HTML edition: one file, the figures inside it
# as data: URLs, so that it opens and prints anywhere without other files.
#   cmake -D CMARK=cmark-gfm -D GUIDE=teaching-guide.md -D TEMPLATE=teaching-guide.html.in
#         -D OUTPUT=teaching-guide.html -P html.cmake
execute_process(COMMAND ${CMARK} --extension table --unsafe ${GUIDE}
  OUTPUT_VARIABLE body COMMAND_ERROR_IS_FATAL ANY)
get_filename_component(folder ${GUIDE} DIRECTORY)
string(REGEX MATCHALL "src=\"figures/[^\"]+\\.svg\"" images "${body}")
list(REMOVE_DUPLICATES images)
foreach(image IN LISTS images)
  string(REGEX REPLACE "^src=\"(.*)\"$" "\\1" path "${image}")
  file(READ ${folder}/${path} svg)
  # The characters that a data: URL must not hold as they are, escaped.
  foreach(pair "%;%25" "#;%23" "<;%3C" ">;%3E" "\";%22" "\n;%0A")
    list(GET pair 0 from)
    list(GET pair 1 to)
    string(REPLACE "${from}" "${to}" svg "${svg}")
  endforeach()
  string(REPLACE "${image}" "src=\"data:image/svg+xml,${svg}\"" body "${body}")
endforeach()
file(READ ${TEMPLATE} page)
string(REPLACE "@BODY@" "${body}" page "${page}")
file(WRITE ${OUTPUT} "${page}")
