# The browser page's toolchain: emscripten's own CMake toolchain file, from
# the emscripten folder named by EMSCRIPTEN_ROOT (a cache or environment
# variable), or else from the folder of the emcc found on the PATH. Debian's
# package (emcc in /usr/bin, a link into /usr/share/emscripten) and the
# upstream SDK (its emsdk_env script puts emcc on the PATH) both need nothing
# set; another installation sets EMSCRIPTEN_ROOT to the folder that holds emcc.
if(NOT EMSCRIPTEN_ROOT)
  if(DEFINED ENV{EMSCRIPTEN_ROOT})
    set(EMSCRIPTEN_ROOT "$ENV{EMSCRIPTEN_ROOT}")
  else()
    find_program(emcc_on_path emcc)
    if(NOT emcc_on_path)
      message(FATAL_ERROR "No emcc on the PATH: install emscripten, or set EMSCRIPTEN_ROOT to its folder")
    endif()
    file(REAL_PATH "${emcc_on_path}" emcc_file)
    get_filename_component(EMSCRIPTEN_ROOT "${emcc_file}" DIRECTORY)
  endif()
endif()
set(EMSCRIPTEN_ROOT "${EMSCRIPTEN_ROOT}" CACHE PATH "The emscripten folder, which holds emcc")
include("${EMSCRIPTEN_ROOT}/cmake/Modules/Platform/Emscripten.cmake")
