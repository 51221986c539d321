# Code signing of the Windows build: Vantelo.dll, vantelo.exe and the
# installer are signed with osslsigncode (Authenticode) and each signature is
# verified, or none is signed. Which it is, is decided here, at configure
# time, from these cache variables:
#   VANTELO_SIGN_CERT           the code-signing certificate (with its chain), PEM
#   VANTELO_SIGN_KEY            its private key, a PEM file (not encrypted), or
#   VANTELO_SIGN_KEY_ENV        the name of an environment variable that holds
#                               the key's PEM text when the build runs
#   VANTELO_SIGN_CA             what the signature must verify against, PEM
#                               (default: the certificate itself, which suits
#                               a self-signed one)
#   VANTELO_SIGN_TIMESTAMP_URL  an RFC 3161 time-stamping server: with one,
#                               every signature carries a timestamp and stays
#                               valid after the certificate expires
#   VANTELO_SIGN_TIMESTAMP_CA   what the timestamp must verify against, PEM
#                               (default: the system's certificate authorities)
# An environment variable of the same name, set when configuring, is used
# instead of the cached value, and is not stored: CI names a fresh throw-away
# certificate at every run, which must not outlive the run in the cache.
#
# The decision is written to signing/settings.cmake in the build tree, which
# the signing steps read; every signed file depends on it (and on the
# certificate and key files), so a change of the configuration re-makes and
# re-signs them: a file built unsigned is never packed into a signed
# installer.
set(signing_variables
  VANTELO_SIGN_CERT FILEPATH "Code-signing certificate, PEM (empty: the Windows build is unsigned)"
  VANTELO_SIGN_KEY FILEPATH "Private key of the code-signing certificate, a PEM file"
  VANTELO_SIGN_KEY_ENV STRING "Environment variable that holds the private key (PEM text) at build time"
  VANTELO_SIGN_CA FILEPATH "Certificates the signatures must verify against, PEM (default: the certificate)"
  VANTELO_SIGN_TIMESTAMP_URL STRING "RFC 3161 time-stamping server (empty: no timestamp)"
  VANTELO_SIGN_TIMESTAMP_CA FILEPATH "Certificates the timestamps must verify against, PEM (default: the system's)")
while(signing_variables)
  list(POP_FRONT signing_variables name type help)
  set(${name} "" CACHE ${type} "${help}")
  if(DEFINED ENV{${name}})
    set(${name} "$ENV{${name}}")
  endif()
endwhile()

set(VANTELO_SIGN_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/SignFile.cmake)
set(VANTELO_SIGNING_SETTINGS ${PROJECT_BINARY_DIR}/signing/settings.cmake)
set(VANTELO_SIGNING_INPUTS ${VANTELO_SIGNING_SETTINGS} ${VANTELO_SIGN_SCRIPT})

if(VANTELO_SIGN_CERT)
  set(VANTELO_SIGNING ON)
  if(VANTELO_SIGN_KEY AND VANTELO_SIGN_KEY_ENV)
    message(FATAL_ERROR "Signing: set VANTELO_SIGN_KEY (a file) or VANTELO_SIGN_KEY_ENV (an "
                        "environment variable), not both")
  elseif(NOT VANTELO_SIGN_KEY AND NOT VANTELO_SIGN_KEY_ENV)
    message(FATAL_ERROR "Signing: VANTELO_SIGN_CERT is set, but no key: set VANTELO_SIGN_KEY "
                        "(a PEM file) or VANTELO_SIGN_KEY_ENV (an environment variable)")
  endif()
  if(VANTELO_SIGN_KEY_ENV AND NOT VANTELO_SIGN_KEY_ENV MATCHES "^[A-Za-z_][A-Za-z0-9_]*$")
    message(FATAL_ERROR "Signing: VANTELO_SIGN_KEY_ENV must name an environment variable, "
                        "not \"${VANTELO_SIGN_KEY_ENV}\"")
  endif()
  if(NOT VANTELO_SIGN_CA)
    set(VANTELO_SIGN_CA_USED ${VANTELO_SIGN_CERT})
  else()
    set(VANTELO_SIGN_CA_USED ${VANTELO_SIGN_CA})
  endif()
  foreach(name VANTELO_SIGN_CERT VANTELO_SIGN_KEY VANTELO_SIGN_CA VANTELO_SIGN_TIMESTAMP_CA)
    if(${name})
      get_filename_component(${name} "${${name}}" ABSOLUTE)
      if(NOT EXISTS "${${name}}" OR IS_DIRECTORY "${${name}}")
        message(FATAL_ERROR "Signing: ${name}: the file \"${${name}}\" does not exist")
      endif()
      list(APPEND VANTELO_SIGNING_INPUTS "${${name}}")
    endif()
  endforeach()
  if(VANTELO_SIGN_TIMESTAMP_URL AND NOT VANTELO_SIGN_TIMESTAMP_URL MATCHES "^https?://")
    message(FATAL_ERROR "Signing: VANTELO_SIGN_TIMESTAMP_URL \"${VANTELO_SIGN_TIMESTAMP_URL}\" "
                        "is not an http:// or https:// address")
  endif()
  find_program(VANTELO_OSSLSIGNCODE osslsigncode)
  if(NOT VANTELO_OSSLSIGNCODE)
    message(FATAL_ERROR "Signing needs osslsigncode (Debian package osslsigncode; scripts/setup "
                        "installs it)")
  endif()
  if(VANTELO_SIGN_KEY_ENV)
    set(key_text "the key from the environment variable ${VANTELO_SIGN_KEY_ENV}")
  else()
    set(key_text "the key ${VANTELO_SIGN_KEY}")
  endif()
  if(VANTELO_SIGN_TIMESTAMP_URL)
    set(timestamp_text "timestamped by ${VANTELO_SIGN_TIMESTAMP_URL}")
  else()
    string(CONCAT timestamp_text "without a timestamp (set VANTELO_SIGN_TIMESTAMP_URL: a "
                  "signature without one ends with its certificate)")
  endif()
  message(STATUS "Signing Vantelo.dll, vantelo.exe and the installer with ${VANTELO_SIGN_CERT} "
                 "and ${key_text}, ${timestamp_text}")
else()
  set(VANTELO_SIGNING OFF)
  foreach(name VANTELO_SIGN_KEY VANTELO_SIGN_KEY_ENV VANTELO_SIGN_TIMESTAMP_URL)
    if(${name})
      message(FATAL_ERROR "Signing: ${name} is set, but VANTELO_SIGN_CERT is not: name the "
                          "certificate too, or clear ${name}")
    endif()
  endforeach()
  message(WARNING "Unsigned build: Vantelo.dll, vantelo.exe and the installer are not signed, "
                  "because VANTELO_SIGN_CERT names no code-signing certificate. Do not ship "
                  "them: Windows and administrators cannot tell who made them.")
endif()

file(CONFIGURE OUTPUT ${VANTELO_SIGNING_SETTINGS} @ONLY CONTENT [[
# How the build signs, decided when it was configured (cmake/Signing.cmake).
set(SIGN @VANTELO_SIGNING@)
set(OSSLSIGNCODE [==[@VANTELO_OSSLSIGNCODE@]==])
set(CERT [==[@VANTELO_SIGN_CERT@]==])
set(KEY [==[@VANTELO_SIGN_KEY@]==])
set(KEY_ENV [==[@VANTELO_SIGN_KEY_ENV@]==])
set(CA [==[@VANTELO_SIGN_CA_USED@]==])
set(TIMESTAMP_URL [==[@VANTELO_SIGN_TIMESTAMP_URL@]==])
set(TIMESTAMP_CA [==[@VANTELO_SIGN_TIMESTAMP_CA@]==])
]])

# vantelo_sign_after_build(TARGET): signs and verifies the target's file each
# time it is made, when signing is on. Either way the target is re-made when
# the signing configuration changes.
function(vantelo_sign_after_build target)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${VANTELO_SIGNING_INPUTS})
  if(VANTELO_SIGNING)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -DFILE=$<TARGET_FILE:${target}>
              -DSETTINGS=${VANTELO_SIGNING_SETTINGS}
              -P ${VANTELO_SIGN_SCRIPT}
      VERBATIM)
  endif()
endfunction()
