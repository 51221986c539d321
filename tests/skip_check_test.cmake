# scripts/check-skips on fixed reports (tests/data/skip_check): under CI=true
# a skipped test that the list does not name fails the run and is named; a
# listed one passes; outside CI the unlisted one is only reported; a missing
# report fails. Variables: SCRIPT, DATA.
cmake_minimum_required(VERSION 3.25)
set(cases
  "true|both.xml|1|skipped but not allowed: Unlisted.Two"
  "false|both.xml|0|skipped but not allowed: Unlisted.Two"
  "true|listed.xml|0|1 test\\(s\\) skipped, 0 of them"
  "true|missing.xml|1|no test report")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 ci)
  list(GET fields 1 report)
  list(GET fields 2 expected_status)
  list(GET fields 3 expected_text)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env CI=${ci} VANTELO_ALLOWED_SKIPS=${DATA}/allowed.txt
            bash ${SCRIPT} ${DATA}/${report}
    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT status EQUAL expected_status OR NOT output MATCHES "${expected_text}")
    message(FATAL_ERROR "CI=${ci} ${report}: exit ${status}, expected ${expected_status} "
                        "and a line matching '${expected_text}'; the output:\n${output}")
  endif()
  if(output MATCHES "not allowed: Listed")
    message(FATAL_ERROR "CI=${ci} ${report}: a listed test was reported:\n${output}")
  endif()
endforeach()
