# The one version of the product. project(... VERSION) is the source;
# -DVANTELO_VERSION=x.y.z at configure time overrides it. The result goes to
# the program's --version, the version resources of the module and the
# program, and the installer's product version and file name. The type
# library keeps its own version (1.0): that is the interface contract.
set(VANTELO_VERSION "" CACHE STRING "Product version x.y.z (empty: the project's version)")
if(VANTELO_VERSION)
  set(version ${VANTELO_VERSION})
else()
  set(version ${PROJECT_VERSION})
endif()

# Three whole numbers, within what Windows Installer compares: the first two
# at most 255, the third at most 65535.
if(NOT version MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
  message(FATAL_ERROR "VANTELO_VERSION: \"${version}\" is not a version of the form x.y.z")
endif()
set(VANTELO_VERSION_MAJOR ${CMAKE_MATCH_1})
set(VANTELO_VERSION_MINOR ${CMAKE_MATCH_2})
set(VANTELO_VERSION_PATCH ${CMAKE_MATCH_3})
if(VANTELO_VERSION_MAJOR GREATER 255 OR VANTELO_VERSION_MINOR GREATER 255
   OR VANTELO_VERSION_PATCH GREATER 65535)
  message(FATAL_ERROR "VANTELO_VERSION: \"${version}\" is out of range: the installer takes at "
                      "most 255.255.65535")
endif()
# Leading zeros dropped ("01.2.3" is 1.2.3), as the installer compares numbers.
math(EXPR VANTELO_VERSION_MAJOR "${VANTELO_VERSION_MAJOR}")
math(EXPR VANTELO_VERSION_MINOR "${VANTELO_VERSION_MINOR}")
math(EXPR VANTELO_VERSION_PATCH "${VANTELO_VERSION_PATCH}")
set(VANTELO_PRODUCT_VERSION
    ${VANTELO_VERSION_MAJOR}.${VANTELO_VERSION_MINOR}.${VANTELO_VERSION_PATCH})
unset(version)

# For C++ and the resource scripts.
configure_file(${CMAKE_CURRENT_LIST_DIR}/vantelo_version.h.in
               ${PROJECT_BINARY_DIR}/generated/vantelo_version.h @ONLY)
add_library(vantelo_version INTERFACE)
target_include_directories(vantelo_version INTERFACE ${PROJECT_BINARY_DIR}/generated)
