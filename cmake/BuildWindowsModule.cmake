# Configures SOURCE_DIR's `windows` preset into BINARY_DIR (a tree of the
# build that asks for it, never the source tree) and builds it with as many
# jobs as the machine has cores, or CMAKE_BUILD_PARALLEL_LEVEL when that is
# set. CACHE_ARGS (a list of -DNAME=VALUE) go to the configuration. Run by
# ctest in the Linux build (see WineTests.cmake).
foreach(variable SOURCE_DIR BINARY_DIR)
  if(NOT ${variable})
    message(FATAL_ERROR "${variable} is not set")
  endif()
endforeach()

if(DEFINED ENV{CMAKE_BUILD_PARALLEL_LEVEL})
  set(jobs $ENV{CMAKE_BUILD_PARALLEL_LEVEL})
else()
  cmake_host_system_information(RESULT jobs QUERY NUMBER_OF_LOGICAL_CORES)
endif()

execute_process(
  COMMAND ${CMAKE_COMMAND} --preset windows -B ${BINARY_DIR} ${CACHE_ARGS}
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
