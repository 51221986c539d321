# Signs FILE in place with osslsigncode and verifies the signature, when the
# environment names a code-signing certificate and its key:
#   VANTELO_SIGN_CERT   the certificate (chain), PEM
#   VANTELO_SIGN_KEY    its private key, PEM (not encrypted)
# Without them it does nothing. Run by the build after each file it signs is
# made (cmake -DFILE=... -P SignFile.cmake).
if(NOT FILE)
  message(FATAL_ERROR "FILE is not set")
endif()
set(cert "$ENV{VANTELO_SIGN_CERT}")
set(key "$ENV{VANTELO_SIGN_KEY}")
if(cert STREQUAL "" AND key STREQUAL "")
  return()
endif()
if(cert STREQUAL "" OR key STREQUAL "")
  message(FATAL_ERROR "Signing needs both VANTELO_SIGN_CERT and VANTELO_SIGN_KEY")
endif()
foreach(pem "${cert}" "${key}")
  if(NOT EXISTS "${pem}")
    message(FATAL_ERROR "Signing: ${pem} does not exist")
  endif()
endforeach()
find_program(OSSLSIGNCODE osslsigncode)
if(NOT OSSLSIGNCODE)
  message(FATAL_ERROR "Signing needs osslsigncode (Debian package osslsigncode; scripts/setup "
                      "installs it)")
endif()

get_filename_component(name "${FILE}" NAME)
set(signed "${FILE}.signed")
file(REMOVE "${signed}")
execute_process(
  COMMAND ${OSSLSIGNCODE} sign -certs "${cert}" -key "${key}" -n Vantelo -h sha256
          -in "${FILE}" -out "${signed}"
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  file(REMOVE "${signed}")
  message(FATAL_ERROR "Signing ${name} failed:\n${output}")
endif()
# The signature must verify against the certificate before the file counts
# as signed.
execute_process(
  COMMAND ${OSSLSIGNCODE} verify -CAfile "${cert}" -in "${signed}"
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  file(REMOVE "${signed}")
  message(FATAL_ERROR "The signature of ${name} does not verify:\n${output}")
endif()
file(RENAME "${signed}" "${FILE}")
message(STATUS "Signed and verified ${name}")
