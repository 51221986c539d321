# Builds the installer OUTPUT from Vantelo.wxs with wixl (the files it
# includes in WXS_INCLUDES): the module DLL, the program EXE and the settings
# page PAGE, the settings file's custom actions ACTIONS, product version
# VERSION, PUBLISHER and COPYRIGHT as in the files' version resources. When
# signing is on (SIGNING_SETTINGS, see cmake/Signing.cmake), the DLLs and the
# EXE must carry valid signatures
# before they are packed, and the package is signed last.
#
# Then it adds to the built package what wixl cannot say (msibuild, from
# msitools):
#   - each versioned file's version and language, read from its version
#     resource, in the File table;
#   - the upgrade range's upper bound as inclusive, so that a rebuild of the
#     same version replaces the installed one;
#   - shortcuts that open their file rather than advertised ones;
#   - SETTINGS and the upgrade properties as secure properties, so that a
#     per-machine install passes them to the part of the installation that
#     runs with the system's rights;
#   - the rollback action's type: wixl writes Execute="rollback" as an
#     immediate action.
cmake_minimum_required(VERSION 3.25)

foreach(variable WIXL MSIBUILD MSIINFO WXS WXS_INCLUDES DLL EXE PAGE ACTIONS VERSION PUBLISHER
                 COPYRIGHT OUTPUT SIGN_SCRIPT SIGNING_SETTINGS)
  if(NOT ${variable})
    message(FATAL_ERROR "${variable} is not set")
  endif()
endforeach()

# run(command...): runs a tool, failing the build with its output.
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output
                  ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    list(GET ARGN 0 tool)
    get_filename_component(tool "${tool}" NAME)
    message(FATAL_ERROR "${tool} failed (${result}):\n${output}")
  endif()
endfunction()

# msi_query(SQL): runs one query on the package being built.
function(msi_query sql)
  execute_process(COMMAND ${MSIBUILD} "${unsigned}" -q "${sql}"
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "msibuild failed (${result}) on the query ${sql}:\n${output}")
  endif()
endfunction()

# file_version(PATH VERSION LANGUAGE): the file version a.b.c.d of the
# executable PATH and the language of its version resource, as Windows
# Installer reads them; both empty for a file without a version resource. The
# version is in the resource's fixed part (VS_FIXEDFILEINFO, signature
# 0xFEEF04BD), the language in the first entry of its "Translation" value.
function(file_version path version language)
  file(READ "${path}" hex HEX)
  set(${version} "" PARENT_SCOPE)
  set(${language} "" PARENT_SCOPE)
  # The signature, little-endian, at a whole byte.
  set(rest "${hex}")
  set(offset 0)
  while(TRUE)
    string(FIND "${rest}" "bd04effe" at)
    if(at EQUAL -1)
      return()
    endif()
    math(EXPR odd "(${offset} + ${at}) % 2")
    if(NOT odd)
      break()
    endif()
    math(EXPR skip "${at} + 1")
    string(SUBSTRING "${rest}" ${skip} -1 rest)
    math(EXPR offset "${offset} + ${skip}")
  endwhile()
  # After the signature and the structure version: the version's most and
  # least significant double words, each stored little-endian.
  set(parts)
  foreach(position 16 24)
    math(EXPR start "${at} + ${position}")
    string(SUBSTRING "${rest}" ${start} 8 word)
    string(SUBSTRING "${word}" 0 4 low)
    string(SUBSTRING "${word}" 4 4 high)
    foreach(half high low)
      string(SUBSTRING "${${half}}" 0 2 first)
      string(SUBSTRING "${${half}}" 2 2 second)
      math(EXPR number "0x${second}${first}")
      list(APPEND parts ${number})
    endforeach()
  endforeach()
  list(JOIN parts "." text)
  set(${version} ${text} PARENT_SCOPE)
  # "Translation" in UTF-16, its terminating zero, the padding to a double
  # word: the value starts 26 bytes after the name.
  string(FIND "${rest}" "5400720061006e0073006c006100740069006f006e000000" at)
  if(NOT at EQUAL -1)
    math(EXPR start "${at} + 52")
    string(SUBSTRING "${rest}" ${start} 4 word)
    string(SUBSTRING "${word}" 0 2 first)
    string(SUBSTRING "${word}" 2 2 second)
    math(EXPR number "0x${second}${first}")
    set(${language} ${number} PARENT_SCOPE)
  endif()
endfunction()

# table_rows(PACKAGE TABLE ROWS): the table's rows, each a list of its
# columns' texts joined by "|" (msiinfo export writes a header of three lines
# and then one row a line, its columns separated by tabs).
function(table_rows package table rows)
  execute_process(COMMAND ${MSIINFO} export "${package}" ${table}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE error)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "msiinfo cannot read the table ${table}:\n${error}")
  endif()
  string(REPLACE "|" "/" output "${output}")
  string(REPLACE "\r" "" output "${output}")
  string(REPLACE "\t" "|" output "${output}")
  string(REPLACE "\n" ";" lines "${output}")
  list(FILTER lines EXCLUDE REGEX "^$")
  list(SUBLIST lines 3 -1 lines)
  set(${rows} "${lines}" PARENT_SCOPE)
endfunction()

function(column row index out)
  string(REPLACE "|" ";" fields "${row}")
  list(GET fields ${index} value)
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

# The files to pack must be signed when the build signs.
foreach(file "${DLL}" "${EXE}" "${ACTIONS}")
  execute_process(COMMAND ${CMAKE_COMMAND} -DFILE=${file} -DSETTINGS=${SIGNING_SETTINGS}
                          -DACTION=verify -P ${SIGN_SCRIPT}
                  RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${file} is not signed as the build is configured to sign")
  endif()
endforeach()

# wixl takes the files' paths relative to where it runs: it runs in a staging
# folder of this package's own that holds them.
set(stage "${OUTPUT}.stage")
file(REMOVE_RECURSE "${stage}")
file(MAKE_DIRECTORY "${stage}")
file(COPY_FILE "${DLL}" "${stage}/Vantelo.dll")
file(COPY_FILE "${EXE}" "${stage}/vantelo.exe")
file(COPY_FILE "${PAGE}" "${stage}/Vantelo Settings.html")
file(COPY_FILE "${ACTIONS}" "${stage}/VanteloSettingsActions.dll")
set(unsigned "${OUTPUT}.building")
file(REMOVE "${unsigned}")
run(${WIXL} -a x64 -I "${WXS_INCLUDES}" -D Version=${VERSION} -D Dll=Vantelo.dll
    -D Exe=vantelo.exe -D "Page=Vantelo Settings.html" -D Actions=VanteloSettingsActions.dll
    -D "Publisher=${PUBLISHER}" -D "Copyright=${COPYRIGHT}" -o "${unsigned}" "${WXS}"
    WORKING_DIRECTORY "${stage}")
if(NOT EXISTS "${unsigned}")
  message(FATAL_ERROR "wixl made no package")
endif()

# Columns of the File table: File, Component_, FileName, FileSize, Version,
# Language, Attributes, Sequence. FileName is "short/long" or the one name.
table_rows("${unsigned}" File rows)
foreach(row ${rows})
  column("${row}" 0 id)
  column("${row}" 2 file_name)
  string(REGEX REPLACE "^.*/" "" file_name "${file_name}")
  file_version("${stage}/${file_name}" file_version file_language)
  if(file_version)
    msi_query("UPDATE `File` SET `Version` = '${file_version}', `Language` = '${file_language}' WHERE `File` = '${id}'")
  endif()
endforeach()
file(REMOVE_RECURSE "${stage}")

# wixl writes every shortcut as an advertised one (its Target the feature),
# which the shell can start only through Windows Installer and only for
# programs. Each of ours opens its component's key file instead. Columns of
# the Shortcut table: Shortcut, Directory_, Name, Component_, Target, ...;
# of the Component table: Component, ComponentId, Directory_, Attributes,
# Condition, KeyPath.
table_rows("${unsigned}" Component components)
table_rows("${unsigned}" Shortcut rows)
foreach(row ${rows})
  column("${row}" 0 id)
  column("${row}" 3 component)
  set(key_file "")
  foreach(component_row ${components})
    column("${component_row}" 0 name)
    if(name STREQUAL component)
      column("${component_row}" 5 key_file)
    endif()
  endforeach()
  if(NOT key_file)
    message(FATAL_ERROR "The shortcut ${id}'s component ${component} has no key file")
  endif()
  msi_query("UPDATE `Shortcut` SET `Target` = '[#${key_file}]' WHERE `Shortcut` = '${id}'")
endforeach()

# Columns of the Upgrade table: UpgradeCode, VersionMin, VersionMax, Language,
# Attributes, Remove, ActionProperty. Its columns up to Attributes are its
# key, which a query cannot change: the row is made anew.
table_rows("${unsigned}" Upgrade rows)
set(found FALSE)
foreach(row ${rows})
  column("${row}" 6 property)
  if(property STREQUAL "WIX_UPGRADE_DETECTED")
    column("${row}" 0 code)
    column("${row}" 1 minimum)
    column("${row}" 2 maximum)
    column("${row}" 4 attributes)
    if(NOT maximum STREQUAL VERSION)
      message(FATAL_ERROR "The upgrade range ends at ${maximum}, not at the version ${VERSION}")
    endif()
    # msidbUpgradeAttributesVersionMaxInclusive
    math(EXPR attributes "${attributes} | 512")
    msi_query("DELETE FROM `Upgrade` WHERE `ActionProperty` = 'WIX_UPGRADE_DETECTED'")
    msi_query("INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMin`, `VersionMax`, `Attributes`, `ActionProperty`) VALUES ('${code}', '${minimum}', '${maximum}', ${attributes}, 'WIX_UPGRADE_DETECTED')")
    set(found TRUE)
  endif()
endforeach()
if(NOT found)
  message(FATAL_ERROR "The package has no upgrade range (WIX_UPGRADE_DETECTED)")
endif()

# A DLL in the Binary table (1), run from the script (0x400) on rollback
# only (0x100), as the system account (0x800).
msi_query("UPDATE `CustomAction` SET `Type` = 3329 WHERE `Action` = 'RemoveLaidDownSettings'")

msi_query(
  "UPDATE `Property` SET `Value` = 'SETTINGS;WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED' WHERE `Property` = 'SecureCustomProperties'")

get_filename_component(output_name "${OUTPUT}" NAME)
execute_process(COMMAND ${CMAKE_COMMAND} -DFILE=${unsigned} -DNAME=${output_name}
                        -DSETTINGS=${SIGNING_SETTINGS} -P ${SIGN_SCRIPT}
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Signing the installer failed")
endif()
file(RENAME "${unsigned}" "${OUTPUT}")
