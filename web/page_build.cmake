# The settings page in the native build: the wasm preset, configured and
# built in a tree of this build's own (web-page/ beside the rest), each time
# this build is built, so that the default build makes Vantelo Settings.html
# too. Sets VANTELO_SETTINGS_PAGE to the page's path. Without Emscripten the
# page is left out, except under CI=true, where that is an error.
find_program(VANTELO_EMXX em++)
if(NOT VANTELO_EMXX)
  if("$ENV{CI}" STREQUAL "true")
    message(FATAL_ERROR "The settings page cannot be built: Emscripten (em++, package emscripten) "
                        "is missing. scripts/setup installs it.")
  endif()
  message(STATUS "The settings page is left out: Emscripten (em++) is not installed")
  return()
endif()

include(ExternalProject)
set(tree ${CMAKE_BINARY_DIR}/web-page)
set(VANTELO_SETTINGS_PAGE "${tree}/web/Vantelo Settings.html")
ExternalProject_Add(vantelo_settings_page
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${tree}
  PREFIX ${CMAKE_BINARY_DIR}/web-page-steps
  CONFIGURE_COMMAND ${CMAKE_COMMAND} -S <SOURCE_DIR> -B <BINARY_DIR> --preset wasm
  BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR>
  BUILD_ALWAYS TRUE
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${VANTELO_SETTINGS_PAGE}
  USES_TERMINAL_CONFIGURE TRUE
  USES_TERMINAL_BUILD TRUE)
# A change of the wasm preset configures the page's tree again.
ExternalProject_Add_Step(vantelo_settings_page presets
  COMMAND ${CMAKE_COMMAND} -E echo "The wasm preset changed: configuring the page's tree again"
  DEPENDS ${PROJECT_SOURCE_DIR}/CMakePresets.json
  DEPENDERS configure)
