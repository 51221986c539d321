# Builds the installer OUTPUT from Vantelo.wxs with wixl: the module DLL and
# the program EXE, product version VERSION. Then makes SETTINGS a secure
# property (wixl cannot say so), so that a per-machine install passes it to
# the part of the installation that runs with the system's rights, and signs
# the package when signing is configured (cmake/SignFile.cmake).
foreach(variable WIXL MSIBUILD WXS DLL EXE VERSION OUTPUT SIGN_SCRIPT)
  if(NOT ${variable})
    message(FATAL_ERROR "${variable} is not set")
  endif()
endforeach()

# wixl takes the files' paths relative to where it runs: it runs in a staging
# folder that holds them.
get_filename_component(output_dir "${OUTPUT}" DIRECTORY)
set(stage "${output_dir}/stage")
file(REMOVE_RECURSE "${stage}")
file(MAKE_DIRECTORY "${stage}")
file(COPY_FILE "${DLL}" "${stage}/Vantelo.dll")
file(COPY_FILE "${EXE}" "${stage}/vantelo.exe")
set(unsigned "${OUTPUT}.building")
file(REMOVE "${unsigned}")
execute_process(
  COMMAND ${WIXL} -a x64 -D Version=${VERSION} -D Dll=Vantelo.dll -D Exe=vantelo.exe
          -o "${unsigned}" "${WXS}"
  WORKING_DIRECTORY "${stage}"
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR NOT EXISTS "${unsigned}")
  message(FATAL_ERROR "wixl failed:\n${output}")
endif()
execute_process(
  COMMAND ${MSIBUILD} "${unsigned}" -q
          "UPDATE `Property` SET `Value` = 'SETTINGS;WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED' WHERE `Property` = 'SecureCustomProperties'"
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "msibuild failed:\n${output}")
endif()
file(REMOVE_RECURSE "${stage}")
execute_process(COMMAND ${CMAKE_COMMAND} -DFILE=${unsigned} -P ${SIGN_SCRIPT}
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Signing the installer failed")
endif()
file(RENAME "${unsigned}" "${OUTPUT}")
