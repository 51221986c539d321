# Cross-building the Windows module on Linux with mingw-w64 (Debian:
# g++-mingw-w64-x86-64, mingw-w64-tools). Programs built here run under Wine
# when it is installed: tests use it as the cross-compiling emulator.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(VANTELO_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VANTELO_MINGW_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${VANTELO_MINGW_TRIPLET}-g++)
set(CMAKE_RC_COMPILER ${VANTELO_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VANTELO_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The `wine` launcher, or Debian's wine64 loader when only that is installed.
find_program(VANTELO_WINE NAMES wine wine64 PATHS /usr/lib/wine)
if(VANTELO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VANTELO_WINE})
endif()
