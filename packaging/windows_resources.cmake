# The Windows program's resources: its version, for Explorer's properties,
# and its icon, drawn once as SVG (counting-lab.svg beside this file), in the
# sizes Explorer, the taskbar and the Start menu pick from.
# Called from the folder that defines TARGET, whose build folder gets the
# icon and the resource script:
#   windows_resources(TARGET)
function(windows_resources target)
  # The version resource: product name, description and version for Explorer.
  enable_language(RC)
  set(RC_VERSION ${PROJECT_VERSION_MAJOR})
  foreach(part MINOR PATCH TWEAK)
    if(PROJECT_VERSION_${part} STREQUAL "")
      string(APPEND RC_VERSION ",0")
    else()
      string(APPEND RC_VERSION ",${PROJECT_VERSION_${part}}")
    endif()
  endforeach()
  # The icon.
  find_program(RSVG_CONVERT rsvg-convert REQUIRED)
  find_program(ICOTOOL icotool REQUIRED)
  set(ICON_SVG ${PROJECT_SOURCE_DIR}/packaging/counting-lab.svg)
  set(ICON_FILE ${CMAKE_CURRENT_BINARY_DIR}/counting-lab.ico)
  set(icon_pngs)
  foreach(size 16 24 32 48 256)
    set(png ${CMAKE_CURRENT_BINARY_DIR}/icon-${size}.png)
    add_custom_command(OUTPUT ${png} COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${ICON_SVG}
      DEPENDS ${ICON_SVG} VERBATIM)
    list(APPEND icon_pngs ${png})
  endforeach()
  # 256 px goes in as PNG, as Windows Vista and later read it; the rest as bitmaps.
  list(POP_BACK icon_pngs large_png)
  add_custom_command(OUTPUT ${ICON_FILE}
    COMMAND ${ICOTOOL} --create --output=${ICON_FILE} ${icon_pngs} --raw=${large_png}
    DEPENDS ${icon_pngs} ${large_png} VERBATIM)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/counting-lab.rc.in counting-lab.rc @ONLY)
  set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/counting-lab.rc PROPERTIES OBJECT_DEPENDS ${ICON_FILE})
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/counting-lab.rc ${ICON_FILE})
endfunction()
