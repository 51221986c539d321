# Cross-building the Windows module on Linux with mingw-w64 (Debian:
# g++-mingw-w64-x86-64, mingw-w64-tools). Programs built here run under Wine
# when it is installed: tests use it as the cross-compiling emulator.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

# Debian's names and folders by default; another system sets these in the
# cache (-DVANTELO_MINGW_ROOT=...). They are passed on to the compiler checks,
# which read this file again in projects of their own.
set(VANTELO_MINGW_TRIPLET x86_64-w64-mingw32 CACHE STRING
    "The prefix of the mingw-w64 tools (TRIPLET-g++, TRIPLET-windres)")
set(VANTELO_MINGW_ROOT /usr/${VANTELO_MINGW_TRIPLET} CACHE PATH
    "The mingw-w64 headers' and libraries' root (include/, lib/)")
set(VANTELO_WINE_DIR /usr/lib/wine CACHE PATH
    "A folder besides PATH where the wine or wine64 loader may be")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VANTELO_MINGW_TRIPLET VANTELO_MINGW_ROOT
     VANTELO_WINE_DIR)

set(CMAKE_C_COMPILER ${VANTELO_MINGW_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${VANTELO_MINGW_TRIPLET}-g++)
set(CMAKE_RC_COMPILER ${VANTELO_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH ${VANTELO_MINGW_ROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The `wine` launcher, or the wine64 loader (Debian's is in /usr/lib/wine)
# when only that is installed.
find_program(VANTELO_WINE NAMES wine wine64 PATHS ${VANTELO_WINE_DIR})
if(VANTELO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VANTELO_WINE})
endif()
