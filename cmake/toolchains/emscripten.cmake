# The settings page's WebAssembly build: Emscripten's own toolchain file,
# wherever Emscripten is installed (Debian's package: /usr/share/emscripten;
# an emsdk names its root in EMSCRIPTEN).
if(DEFINED ENV{EMSCRIPTEN})
  set(VANTELO_EMSCRIPTEN_ROOT $ENV{EMSCRIPTEN})
else()
  execute_process(COMMAND em-config EMSCRIPTEN_ROOT OUTPUT_VARIABLE VANTELO_EMSCRIPTEN_ROOT
                  OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed ERROR_QUIET)
  if(failed)
    message(FATAL_ERROR "Emscripten is not installed (em-config not found): scripts/setup installs it")
  endif()
endif()
include(${VANTELO_EMSCRIPTEN_ROOT}/cmake/Modules/Platform/Emscripten.cmake)

# An optimised link runs Emscripten's JavaScript passes under node, which
# need acorn; Debian installs it as a system module in /usr/share/nodejs.
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
