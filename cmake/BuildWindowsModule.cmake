# Configures and builds the `windows` preset of SOURCE_DIR (into
# build/windows) with as many jobs as the machine has cores, or
# CMAKE_BUILD_PARALLEL_LEVEL when that is set. Run by ctest in the Linux build
# (see WineTests.cmake).
if(NOT SOURCE_DIR)
  message(FATAL_ERROR "SOURCE_DIR is not set")
endif()

if(DEFINED ENV{CMAKE_BUILD_PARALLEL_LEVEL})
  set(jobs $ENV{CMAKE_BUILD_PARALLEL_LEVEL})
else()
  cmake_host_system_information(RESULT jobs QUERY NUMBER_OF_LOGICAL_CORES)
endif()

execute_process(
  COMMAND ${CMAKE_COMMAND} --preset windows
  WORKING_DIRECTORY ${SOURCE_DIR}
  RESULT_VARIABLE configured)
if(NOT configured EQUAL 0)
  message(FATAL_ERROR "Configuring the windows preset failed")
endif()

execute_process(
  COMMAND ${CMAKE_COMMAND} --build --preset windows --parallel ${jobs}
  WORKING_DIRECTORY ${SOURCE_DIR}
  RESULT_VARIABLE built)
if(NOT built EQUAL 0)
  message(FATAL_ERROR "Building the windows preset failed")
endif()
