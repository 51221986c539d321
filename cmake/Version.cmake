# The one version of the product. project(... VERSION) is the source;
# -DVANTELO_VERSION=x.y.z at configure time overrides it. The result goes to
# the program's --version, the version resources of the module and the
# program, and the installer's product version and file name. The type
# library keeps its own version (1.0): that is the interface contract.
set(VANTELO_VERSION "" CACHE STRING "Product version x.y.z (empty: the project's version)")

# Who makes the product: the company name and copyright of the version
# resources, and the installer's publisher.
set(VANTELO_PUBLISHER "The Vantelo developers")
set(VANTELO_COPYRIGHT "Copyright (c) 2026 ${VANTELO_PUBLISHER}")

# vantelo_parse_version(TEXT PREFIX): checks that TEXT is a version x.y.z that
# Windows Installer compares (the first two parts at most 255, the third at
# most 65535) and sets PREFIX_MAJOR, PREFIX_MINOR, PREFIX_PATCH and PREFIX
# (x.y.z without leading zeros: "01.2.3" is 1.2.3, as the installer compares
# numbers) in the caller's scope.
function(vantelo_parse_version text prefix)
  if(NOT text MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
    message(FATAL_ERROR "VANTELO_VERSION: \"${text}\" is not a version of the form x.y.z")
  endif()
  set(major ${CMAKE_MATCH_1})
  set(minor ${CMAKE_MATCH_2})
  set(patch ${CMAKE_MATCH_3})
  if(major GREATER 255 OR minor GREATER 255 OR patch GREATER 65535)
    message(FATAL_ERROR "VANTELO_VERSION: \"${text}\" is out of range: the installer takes at "
                        "most 255.255.65535")
  endif()
  math(EXPR major "${major}")
  math(EXPR minor "${minor}")
  math(EXPR patch "${patch}")
  set(${prefix}_MAJOR ${major} PARENT_SCOPE)
  set(${prefix}_MINOR ${minor} PARENT_SCOPE)
  set(${prefix}_PATCH ${patch} PARENT_SCOPE)
  set(${prefix} ${major}.${minor}.${patch} PARENT_SCOPE)
endfunction()

# vantelo_version_library(NAME VERSION DIRECTORY): the interface library NAME
# that puts vantelo_version.h for VERSION (from vantelo_version.h.in, for C++
# and the resource scripts) on the include path; the header is made in
# DIRECTORY.
function(vantelo_version_library name version directory)
  vantelo_parse_version(${version} VANTELO_PRODUCT_VERSION)
  set(VANTELO_VERSION_MAJOR ${VANTELO_PRODUCT_VERSION_MAJOR})
  set(VANTELO_VERSION_MINOR ${VANTELO_PRODUCT_VERSION_MINOR})
  set(VANTELO_VERSION_PATCH ${VANTELO_PRODUCT_VERSION_PATCH})
  configure_file(${PROJECT_SOURCE_DIR}/cmake/vantelo_version.h.in
                 ${directory}/vantelo_version.h @ONLY)
  add_library(${name} INTERFACE)
  target_include_directories(${name} INTERFACE ${directory})
endfunction()

if(VANTELO_VERSION)
  vantelo_parse_version(${VANTELO_VERSION} VANTELO_PRODUCT_VERSION)
else()
  vantelo_parse_version(${PROJECT_VERSION} VANTELO_PRODUCT_VERSION)
endif()
set(VANTELO_VERSION_MAJOR ${VANTELO_PRODUCT_VERSION_MAJOR})
set(VANTELO_VERSION_MINOR ${VANTELO_PRODUCT_VERSION_MINOR})
set(VANTELO_VERSION_PATCH ${VANTELO_PRODUCT_VERSION_PATCH})
vantelo_version_library(vantelo_version ${VANTELO_PRODUCT_VERSION} ${PROJECT_BINARY_DIR}/generated)
