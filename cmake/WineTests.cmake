# The Windows module's tests in the Linux build: when the mingw-w64 cross
# compiler, widl and Wine are installed, ctest builds the `windows` preset
# into <build>/windows and runs its tests there (under Wine, in a private
# prefix of that build). Without the tools the tests are left out, and so
# they are in a sanitizer build: the cross build has no sanitizers, and the
# normal build runs the same tests.
find_program(VANTELO_MINGW_CXX x86_64-w64-mingw32-g++)
find_program(VANTELO_MINGW_WIDL x86_64-w64-mingw32-widl)
find_program(VANTELO_WINE_FOR_TESTS NAMES wine wine64 PATHS /usr/lib/wine)

if(VANTELO_SANITIZE)
  message(STATUS "Windows module tests left out of the sanitizer build")
elseif(VANTELO_MINGW_CXX AND VANTELO_MINGW_WIDL AND VANTELO_WINE_FOR_TESTS)
  set(windows_build ${CMAKE_BINARY_DIR}/windows)
  add_test(NAME windows_module.build
           COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DBINARY_DIR=${windows_build}
                   -P ${PROJECT_SOURCE_DIR}/cmake/BuildWindowsModule.cmake)
  set_tests_properties(windows_module.build PROPERTIES FIXTURES_SETUP windows_module TIMEOUT 1800)
  add_test(NAME windows_module.wine_tests
           COMMAND ${CMAKE_CTEST_COMMAND} --test-dir ${windows_build} --output-on-failure)
  set_tests_properties(windows_module.wine_tests PROPERTIES
    FIXTURES_REQUIRED windows_module TIMEOUT 1200 RESOURCE_LOCK windows_module)
else()
  message(STATUS "Windows module tests left out: needs x86_64-w64-mingw32-g++, "
                 "x86_64-w64-mingw32-widl and wine")
endif()
