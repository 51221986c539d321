# Runs vbscript_client.vbs with Wine's script host against the module:
# registers the module (regsvr32), runs the script, unregisters, and passes
# only when the script printed its marker line and quit with 0 failures.
# Variables: WINE, MODULE (the DLL), SCRIPT, WORK_DIR; WINEPREFIX and the rest
# of Wine's settings come from the environment.
foreach(variable WINE MODULE SCRIPT WORK_DIR)
  if(NOT ${variable})
    message(FATAL_ERROR "${variable} is not set")
  endif()
endforeach()

function(windows_path out path)
  string(REPLACE "/" "\\" path "${path}")
  set(${out} "Z:${path}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
windows_path(module ${MODULE})
windows_path(script ${SCRIPT})
windows_path(settings ${WORK_DIR}/Vantelo.ini)

execute_process(COMMAND ${WINE} regsvr32 /s ${module} RESULT_VARIABLE registered TIMEOUT 60)
if(NOT registered EQUAL 0)
  message(FATAL_ERROR "regsvr32 failed with ${registered}")
endif()
execute_process(COMMAND ${WINE} cscript //nologo ${script} ${settings}
                RESULT_VARIABLE failures OUTPUT_VARIABLE output ERROR_VARIABLE errors
                TIMEOUT 120)
execute_process(COMMAND ${WINE} regsvr32 /u /s ${module} RESULT_VARIABLE unregistered
                TIMEOUT 60)

message("${output}${errors}")
if(NOT output MATCHES "VANTELO-VBSCRIPT-DONE failures=0")
  message(FATAL_ERROR "the script did not reach its end without failures")
endif()
if(NOT failures EQUAL 0)
  message(FATAL_ERROR "the script host exited with ${failures}")
endif()
if(NOT unregistered EQUAL 0)
  message(FATAL_ERROR "regsvr32 /u failed with ${unregistered}")
endif()
