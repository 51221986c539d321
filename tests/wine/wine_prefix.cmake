# The tests' private Wine prefix (WINEPREFIX from the environment):
#   ACTION=setup     starts the prefix's server to stay up between the tests
#                    (each program would otherwise wait for a new one; it
#                    leaves by itself 30 s after the last program ends), then
#                    creates or updates the prefix;
#   ACTION=fresh     the same in a new prefix: an old one is stopped and
#                    removed first;
#   ACTION=shutdown  stops that server now (none running is fine).
if(ACTION STREQUAL "fresh")
  execute_process(COMMAND ${WINESERVER} -k RESULT_VARIABLE ignored ERROR_QUIET)
  execute_process(COMMAND ${WINESERVER} -w RESULT_VARIABLE ignored ERROR_QUIET)
  file(REMOVE_RECURSE $ENV{WINEPREFIX})
  set(ACTION setup)
endif()
if(ACTION STREQUAL "setup")
  file(MAKE_DIRECTORY $ENV{WINEPREFIX})
  # The server outlives this script: it must not hold on to ctest's output.
  execute_process(COMMAND ${WINESERVER} -p30 INPUT_FILE /dev/null OUTPUT_FILE /dev/null
                  ERROR_FILE /dev/null)
  # Wine's own background programs start here and live as long as the server:
  # they too must not hold on to ctest's output, or every test would wait for
  # them to end.
  set(log $ENV{WINEPREFIX}/../wineboot.log)
  execute_process(COMMAND ${WINE} wineboot --init RESULT_VARIABLE booted TIMEOUT 170
                  INPUT_FILE /dev/null OUTPUT_FILE ${log} ERROR_FILE ${log})
  if(NOT booted EQUAL 0)
    file(READ ${log} output)
    message(FATAL_ERROR "wineboot --init failed (${booted}) for $ENV{WINEPREFIX}:\n${output}")
  endif()
elseif(ACTION STREQUAL "shutdown")
  execute_process(COMMAND ${WINESERVER} -k RESULT_VARIABLE ignored)
else()
  message(FATAL_ERROR "ACTION must be setup or shutdown")
endif()
