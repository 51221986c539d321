# Configures and builds the `windows` preset into BINARY_DIR (run by ctest in
# the Linux build, see WineTests.cmake). Builds with CMAKE_BUILD_PARALLEL_LEVEL
# jobs, 2 when it is not set.
foreach(variable SOURCE_DIR BINARY_DIR)
  if(NOT ${variable})
    message(FATAL_ERROR "${variable} is not set")
  endif()
endforeach()

set(jobs 2)
if(DEFINED ENV{CMAKE_BUILD_PARALLEL_LEVEL})
  set(jobs $ENV{CMAKE_BUILD_PARALLEL_LEVEL})
endif()

execute_process(
  COMMAND ${CMAKE_COMMAND} --preset windows -S ${SOURCE_DIR} -B ${BINARY_DIR}
  WORKING_DIRECTORY ${SOURCE_DIR}
  RESULT_VARIABLE configured)
if(NOT configured EQUAL 0)
  message(FATAL_ERROR "Configuring the windows preset failed")
endif()

execute_process(
  COMMAND ${CMAKE_COMMAND} --build ${BINARY_DIR} --parallel ${jobs}
  RESULT_VARIABLE built)
if(NOT built EQUAL 0)
  message(FATAL_ERROR "Building the windows preset failed")
endif()
