# Puts the web edition together in OUTPUT_DIR, the folder a course site
# serves: index.html (the page, linking the manifest and registering the
# service worker, written by assemble.cmake before this runs),
# teaching-guide.html, manifest.webmanifest, service-worker.js, the icon as
# SVG and as PNG at 192 and 512 px (one of them maskable, the icon on a full
# square of its own blue, within the safe circle), and README.txt for the
# web host, and THIRD-PARTY-LICENSES.txt.
#   cmake -D OUTPUT_DIR=... -D VERSION=... -D GUIDE=teaching-guide.html -D ICON=counting-lab.svg
#         -D RSVG_CONVERT=rsvg-convert -P edition.cmake
cmake_minimum_required(VERSION 3.25)
set(here ${CMAKE_CURRENT_LIST_DIR})
file(COPY_FILE ${GUIDE} ${OUTPUT_DIR}/teaching-guide.html ONLY_IF_DIFFERENT)
file(COPY_FILE ${ICON} ${OUTPUT_DIR}/counting-lab.svg ONLY_IF_DIFFERENT)
file(COPY_FILE ${here}/../packaging/THIRD-PARTY-LICENSES.txt ${OUTPUT_DIR}/THIRD-PARTY-LICENSES.txt ONLY_IF_DIFFERENT)
file(COPY_FILE ${here}/manifest.webmanifest ${OUTPUT_DIR}/manifest.webmanifest ONLY_IF_DIFFERENT)

function(png svg size output)
  execute_process(COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${output} ${svg} COMMAND_ERROR_IS_FATAL ANY)
endfunction()
png(${ICON} 192 ${OUTPUT_DIR}/icon-192.png)
png(${ICON} 512 ${OUTPUT_DIR}/icon-512.png)
# Maskable: a launcher may cut it to any shape within the central circle of
# 80 % of its width, so the icon stands at 80 % on a full square.
file(READ ${ICON} svg)
string(FIND "${svg}" ">" open)  # the end of the opening <svg ...>
string(FIND "${svg}" "</svg>" close REVERSE)
math(EXPR from "${open} + 1")
math(EXPR length "${close} - ${from}")
string(SUBSTRING "${svg}" ${from} ${length} inside)
file(WRITE ${OUTPUT_DIR}/maskable.svg
  "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\" viewBox=\"0 0 64 64\">\n"
  "<rect width=\"64\" height=\"64\" fill=\"#1d4f7c\"/>\n"
  "<svg x=\"6.4\" y=\"6.4\" width=\"51.2\" height=\"51.2\" viewBox=\"0 0 64 64\">${inside}</svg>\n</svg>\n")
png(${OUTPUT_DIR}/maskable.svg 512 ${OUTPUT_DIR}/icon-maskable-512.png)
file(REMOVE ${OUTPUT_DIR}/maskable.svg)

# What the worker keeps: every file a page of the edition loads.
set(FILES "'./', 'index.html', 'teaching-guide.html', 'manifest.webmanifest', 'icon-192.png', 'icon-512.png', ")
string(APPEND FILES "'icon-maskable-512.png', 'counting-lab.svg'")
configure_file(${here}/service-worker.js.in ${OUTPUT_DIR}/service-worker.js @ONLY)
configure_file(${here}/../packaging/web-edition-README.txt ${OUTPUT_DIR}/README.txt @ONLY)
