# The Windows module's tests in the Linux build: when the mingw-w64 cross
# compiler, widl and Wine are installed, ctest builds the `windows` preset
# into build/windows (the tree `cmake --preset windows` uses) and runs its
# tests there, under Wine in a private prefix of that tree. A sanitizer build
# leaves them out: the cross build has no sanitizers, and the normal build
# runs the same tests. Without the tools they are left out too, except under
# CI=true, where a missing tool is an error: CI must test the module that
# ships.
find_program(VANTELO_MINGW_CXX x86_64-w64-mingw32-g++)
find_program(VANTELO_MINGW_WIDL x86_64-w64-mingw32-widl)
find_program(VANTELO_WINE_FOR_TESTS NAMES wine wine64 PATHS /usr/lib/wine)

set(missing_tools)
if(NOT VANTELO_MINGW_CXX)
  list(APPEND missing_tools "x86_64-w64-mingw32-g++ (package g++-mingw-w64-x86-64)")
endif()
if(NOT VANTELO_MINGW_WIDL)
  list(APPEND missing_tools "x86_64-w64-mingw32-widl (package mingw-w64-tools)")
endif()
if(NOT VANTELO_WINE_FOR_TESTS)
  list(APPEND missing_tools "wine (package wine64)")
endif()
list(JOIN missing_tools ", " missing_text)

if(VANTELO_SANITIZE)
  message(STATUS "Windows module tests left out of the sanitizer build")
elseif(missing_tools AND "$ENV{CI}" STREQUAL "true")
  message(FATAL_ERROR "The Windows module cannot be built and tested: missing ${missing_text}. "
                      "scripts/setup installs them.")
elseif(missing_tools)
  message(STATUS "Windows module tests left out: missing ${missing_text}")
else()
  add_test(NAME windows_module.build
           COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
                   -P ${PROJECT_SOURCE_DIR}/cmake/BuildWindowsModule.cmake)
  set_tests_properties(windows_module.build PROPERTIES FIXTURES_SETUP windows_module TIMEOUT 1800)
  # The report goes to build/windows/junit.xml for scripts/check-skips.
  add_test(NAME windows_module.wine_tests
           COMMAND ${CMAKE_CTEST_COMMAND} --preset windows --output-junit junit.xml
           WORKING_DIRECTORY ${PROJECT_SOURCE_DIR})
  set_tests_properties(windows_module.wine_tests PROPERTIES
    FIXTURES_REQUIRED windows_module TIMEOUT 1800 RESOURCE_LOCK windows_module)

  # The program's end-to-end tests against vantelo.exe under Wine, in a
  # prefix of their own. Left out, each for its reason:
  #  - CliSave.AFirstSaveCreatesTheSettingsFileAndRunsNoWriter and
  #    CliCommand.RunsEveryWriterOfTheTypeWhateverTheEnableSettings compare
  #    the whole fresh settings file, and Wine's WritePrivateProfileString
  #    drops the blank that Windows writes as given ("ListSparator= ");
  #  - CliSettings.AReadOnlyFileLetsTheAddinRunAndFailedWritesAreWarnings:
  #    run as root (as CI is), Wine's profile functions write a file whose
  #    write permissions are all cleared;
  #  - CliSettings.UnreachablePathsAreReportedAsSuch: Wine reports a file name
  #    longer than the Linux file system takes as a missing file, where the
  #    test expects the name to be refused;
  #  - CliBadInput's SettingsWithBackslash: on Windows a backslash is a
  #    directory separator, not a character to refuse;
  #  - CliDemo.RunsEveryWriterAndLeavesNoFileBehind watches TMPDIR, where Wine
  #    keeps a directory of its own; the Windows program's temporary folder
  #    is the one TEMP names. CliInternalError.ExitsWithThree points TMPDIR at
  #    a missing folder, which stops Wine itself before the program starts.
  set(left_out
    CliSave.AFirstSaveCreatesTheSettingsFileAndRunsNoWriter
    CliCommand.RunsEveryWriterOfTheTypeWhateverTheEnableSettings
    CliSettings.AReadOnlyFileLetsTheAddinRunAndFailedWritesAreWarnings
    CliSettings.UnreachablePathsAreReportedAsSuch
    Cli/CliBadInput.ExitsWithTwoAndWritesNothing/SettingsWithBackslash
    CliDemo.RunsEveryWriterAndLeavesNoFileBehind
    CliInternalError.ExitsWithThree)
  list(JOIN left_out ":" left_out)
  set(program_wine_environment
    "WINEPREFIX=${PROJECT_BINARY_DIR}/windows_program_wineprefix;WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=;WINEARCH=win64")
  # Wine announces on stderr that it created a prefix, which would end up in
  # the first test's output: the prefix is made before the tests run.
  add_test(NAME windows_module.program_prefix COMMAND ${VANTELO_WINE_FOR_TESTS} wineboot --init)
  set_tests_properties(windows_module.program_prefix PROPERTIES
    FIXTURES_SETUP windows_program_prefix TIMEOUT 300
    ENVIRONMENT "${program_wine_environment}"
    ENVIRONMENT_MODIFICATION "DISPLAY=unset:;WAYLAND_DISPLAY=unset:")
  add_test(NAME windows_module.program_tests
           COMMAND vantelo_cli_tests --gtest_filter=-${left_out})
  set_tests_properties(windows_module.program_tests PROPERTIES
    FIXTURES_REQUIRED "windows_module;windows_program_prefix" TIMEOUT 600
    ENVIRONMENT "VANTELO_TEST_RUNNER=${VANTELO_WINE_FOR_TESTS};VANTELO_TEST_PROGRAM=${PROJECT_SOURCE_DIR}/build/windows/cli/vantelo.exe;${program_wine_environment}"
    ENVIRONMENT_MODIFICATION "DISPLAY=unset:;WAYLAND_DISPLAY=unset:")
endif()
