# Signs FILE in place with osslsigncode and verifies the signature, as
# SETTINGS (the build tree's signing/settings.cmake, written by
# cmake/Signing.cmake at configure time) says; with ACTION=verify it only
# verifies that FILE carries a valid signature. Does nothing when signing is
# off. NAME, when given, names the file in messages. Run by the build
# (cmake -DFILE=... -DSETTINGS=... -P SignFile.cmake).
#
# A signature counts only once it verifies against CA and, with a
# time-stamping server, carries a timestamp that verifies against
# TIMESTAMP_CA: a failure at any step fails the build and leaves FILE as it
# was.
cmake_minimum_required(VERSION 3.25)

foreach(variable FILE SETTINGS)
  if(NOT ${variable})
    message(FATAL_ERROR "${variable} is not set")
  endif()
endforeach()
include("${SETTINGS}")
if(NOT SIGN)
  return()
endif()
if(NAME)
  set(name "${NAME}")
else()
  get_filename_component(name "${FILE}" NAME)
endif()

# verify(PATH ERROR): osslsigncode verify exits 0 only for a signature that
# verifies; its report says whether a timestamp was verified with it. ERROR
# is left empty, or says what is wrong.
function(verify path error)
  set(command ${OSSLSIGNCODE} verify -CAfile "${CA}")
  if(TIMESTAMP_CA)
    list(APPEND command -TSA-CAfile "${TIMESTAMP_CA}")
  endif()
  execute_process(COMMAND ${command} -in "${path}"
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    set(${error} "The signature of ${name} does not verify:\n${output}" PARENT_SCOPE)
  elseif(TIMESTAMP_URL AND NOT output MATCHES "Timestamp Server Signature verification: ok")
    set(${error} "The signature of ${name} carries no valid timestamp:\n${output}" PARENT_SCOPE)
  else()
    set(${error} "" PARENT_SCOPE)
  endif()
endfunction()

if(ACTION STREQUAL "verify")
  verify("${FILE}" error)
  if(error)
    message(FATAL_ERROR "${error}")
  endif()
  return()
endif()

# A key from the environment goes into a file only the build's user can read,
# for as long as the signing takes.
set(private "${FILE}.signing")
file(REMOVE_RECURSE "${private}")
if(KEY_ENV)
  if("$ENV{${KEY_ENV}}" STREQUAL "")
    message(FATAL_ERROR "Signing ${name}: the environment variable ${KEY_ENV} holds no key. "
                        "The build was configured to sign with the key it holds "
                        "(VANTELO_SIGN_KEY_ENV).")
  endif()
  file(MAKE_DIRECTORY "${private}")
  file(CHMOD "${private}" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  set(KEY "${private}/key.pem")
  file(WRITE "${KEY}" "$ENV{${KEY_ENV}}\n")
endif()

set(signed "${FILE}.signed")
file(REMOVE "${signed}")
set(command ${OSSLSIGNCODE} sign -certs "${CERT}" -key "${KEY}" -n Vantelo -h sha256)
if(TIMESTAMP_URL)
  list(APPEND command -ts "${TIMESTAMP_URL}")
endif()
execute_process(COMMAND ${command} -in "${FILE}" -out "${signed}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
file(REMOVE_RECURSE "${private}")
if(NOT result EQUAL 0)
  file(REMOVE "${signed}")
  message(FATAL_ERROR "Signing ${name} failed:\n${output}")
endif()
verify("${signed}" error)
if(error)
  file(REMOVE "${signed}")
  message(FATAL_ERROR "${error}")
endif()
file(RENAME "${signed}" "${FILE}")
if(TIMESTAMP_URL)
  message(STATUS "Signed, timestamped and verified ${name}")
else()
  message(STATUS "Signed and verified ${name}")
endif()
