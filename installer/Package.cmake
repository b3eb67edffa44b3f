# Writes the Windows packages of one version into OUTPUT_DIR:
#   quarnel-avi-VERSION-x64.msi, and with RELEASE also
#   quarnel-avi-VERSION-windows.zip and SHA256SUMS (OUTPUT_DIR is emptied first).
#
#   cmake -DVERSION=1.2.3 -DDLL64=... -DDLL32=... -DTOOL=... -DSOURCE_DIR=...
#         -DWINDRES=... -DWORK_DIR=... -DOUTPUT_DIR=... [-DREADME=...] [-DRELEASE=ON]
#         -P installer/Package.cmake
#
# The zip holds the same files the MSI installs, laid out as a user unpacks
# them: README.md (SOURCE_DIR's, or README) and LICENSE, 64-bit/ (the DLL and
# quarnel-avi.exe) and 32-bit/ (the DLL).
#
# The same inputs give the same bytes wherever and whenever they are packed:
# every time in the packages is the sources' (SOURCE_DATE_EPOCH, or the time
# of SOURCE_DIR's last commit), the MSI's product and package codes follow
# from what it holds, and the zip's entries come in one order with fixed
# times and permissions. A release is signed when a certificate is given
# (Signing.cmake): the three binaries before they are packed, then the MSI.
cmake_minimum_required(VERSION 3.25)
include("${CMAKE_CURRENT_LIST_DIR}/MsiTables.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/Signing.cmake")

foreach(variable VERSION DLL64 DLL32 TOOL SOURCE_DIR WINDRES WORK_DIR OUTPUT_DIR)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "Package.cmake needs -D${variable}=...")
  endif()
endforeach()
if(NOT DEFINED README)
  set(README "${SOURCE_DIR}/README.md")
endif()
foreach(file "${DLL64}" "${DLL32}" "${TOOL}" "${README}")
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "Package.cmake: ${file} does not exist; build it first")
  endif()
endforeach()

# An installer compares major.minor.build, at most 255.255.65535.
if(NOT VERSION MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)$"
   OR CMAKE_MATCH_1 GREATER 255 OR CMAKE_MATCH_2 GREATER 255 OR CMAKE_MATCH_3 GREATER_EQUAL 65535)
  message(FATAL_ERROR "Package.cmake: the version must be major.minor.patch, at most 255.255.65534, not '${VERSION}'")
endif()
math(EXPR nextPatch "${CMAKE_MATCH_3} + 1")
set(nextVersion "${CMAKE_MATCH_1}.${CMAKE_MATCH_2}.${nextPatch}")

foreach(tool wixl msiinfo msibuild zip)
  find_program(found_${tool} ${tool})
  if(NOT found_${tool})
    message(FATAL_ERROR "Package.cmake: ${tool} not found (scripts/install-deps package installs it)")
  endif()
endforeach()

if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch "$ENV{SOURCE_DATE_EPOCH}")
else()
  execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY "${SOURCE_DIR}"
    OUTPUT_VARIABLE epoch ERROR_VARIABLE errors OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "Package.cmake: no commit time from git in ${SOURCE_DIR} (${errors}); "
      "set SOURCE_DATE_EPOCH to the sources' time in seconds since 1970")
  endif()
endif()
# A zip stores no time before 1980.
if(NOT epoch MATCHES "^[0-9]+$" OR epoch LESS 315532800)
  message(FATAL_ERROR "Package.cmake: SOURCE_DATE_EPOCH must be seconds since 1970, from 1980 on, not '${epoch}'")
endif()

set(name "quarnel-avi-${VERSION}")
set(stage "${WORK_DIR}/${name}-windows")
file(REMOVE_RECURSE "${stage}")
file(MAKE_DIRECTORY "${stage}/64-bit" "${stage}/32-bit")
# Each file: its id in the MSI, its place in the zip, where it comes from.
set(contents
  Dll64 "64-bit/Quarnel AVI.dll" "${DLL64}"
  Tool "64-bit/quarnel-avi.exe" "${TOOL}"
  Dll32 "32-bit/Quarnel AVI.dll" "${DLL32}"
  Readme README.md "${README}"
  License LICENSE "${SOURCE_DIR}/LICENSE")
set(staged "")
set(binaries "")
while(contents)
  list(POP_FRONT contents id path source)
  file(COPY_FILE "${source}" "${stage}/${path}")
  list(APPEND staged ${id} "${stage}/${path}")
  if(path MATCHES "\\.(dll|exe)$")
    list(APPEND binaries "${stage}/${path}")
  endif()
endwhile()

if(RELEASE)
  quarnel_signing_wanted(sign)
else()
  set(sign FALSE)
endif()
if(sign)
  foreach(binary IN LISTS binaries)
    quarnel_sign("${binary}" "Quarnel AVI" ${epoch} "${WORK_DIR}")
  endforeach()
elseif(RELEASE)
  message(NOTICE "Package.cmake: no certificate given (QUARNEL_SIGN_PKCS12, or QUARNEL_SIGN_CERT and "
    "QUARNEL_SIGN_KEY): the packages are unsigned")
endif()

# What the user unpacks or installs carries the sources' time and the same
# permissions whoever packed it (the cabinet inside the MSI takes the times too).
file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE "${WORK_DIR}" "${stage}/*")
list(APPEND entries "${name}-windows")
list(SORT entries)
foreach(entry IN LISTS entries)
  if(IS_DIRECTORY "${WORK_DIR}/${entry}")
    file(CHMOD "${WORK_DIR}/${entry}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
      WORLD_READ WORLD_EXECUTE)
  else()
    file(CHMOD "${WORK_DIR}/${entry}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  endif()
endforeach()
execute_process(COMMAND touch -d @${epoch} ${entries} WORKING_DIRECTORY "${WORK_DIR}" COMMAND_ERROR_IS_FATAL ANY)

# The codes are name-based UUIDs of everything that makes the MSI: the same
# package twice is one product, while another build of the same version, or
# a new version, is a new product that replaces the installed one.
set(identity "Quarnel AVI ${VERSION}\n")
foreach(script quarnel-avi.wxs Package.cmake MsiTables.cmake)
  file(SHA256 "${CMAKE_CURRENT_LIST_DIR}/${script}" hash)
  string(APPEND identity "${hash} installer/${script}\n")
endforeach()
foreach(entry IN LISTS entries)
  if(NOT IS_DIRECTORY "${WORK_DIR}/${entry}")
    file(SHA256 "${WORK_DIR}/${entry}" hash)
    string(APPEND identity "${hash} ${entry}\n")
  endif()
endforeach()
execute_process(COMMAND wixl --version OUTPUT_VARIABLE wixlVersion COMMAND_ERROR_IS_FATAL ANY)
string(APPEND identity "${wixlVersion}")
string(SHA256 digest "${identity}")
set(codes "D2F1D2A5-D913-4DFD-8229-084C05511692")
string(UUID productCode NAMESPACE ${codes} NAME "product ${digest}" TYPE SHA1 UPPER)
string(UUID packageCode NAMESPACE ${codes} NAME "package ${digest}" TYPE SHA1 UPPER)

if(RELEASE)
  file(REMOVE_RECURSE "${OUTPUT_DIR}")
endif()
file(MAKE_DIRECTORY "${OUTPUT_DIR}")
set(msi "${OUTPUT_DIR}/${name}-x64.msi")

# wixl finds a source file only by a path relative to where it runs.
set(sources "")
set(files "${staged}")
while(files)
  list(POP_FRONT files id path)
  file(RELATIVE_PATH relative "${stage}" "${path}")
  list(APPEND sources -D "${id}=${relative}")
endwhile()
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env TZ=UTC
    wixl --arch x64 -D "Version=${VERSION}" -D "NextVersion=${nextVersion}" -D "ProductCode=${productCode}"
    ${sources} -o "${msi}" "${CMAKE_CURRENT_LIST_DIR}/quarnel-avi.wxs"
  WORKING_DIRECTORY "${stage}"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Package.cmake: wixl failed (${result})")
endif()
quarnel_complete_tables("${msi}" "${WINDRES}" "${staged}")
quarnel_set_summary("${msi}" ${packageCode} ${epoch} "${WORK_DIR}")
if(sign)
  quarnel_sign("${msi}" "Quarnel AVI" ${epoch} "${WORK_DIR}")
endif()

if(RELEASE)
  # -X: no owner, group or extra times in the entries, only what is fixed above.
  execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC zip -X -q "${OUTPUT_DIR}/${name}-windows.zip" ${entries}
    WORKING_DIRECTORY "${WORK_DIR}"
    COMMAND_ERROR_IS_FATAL ANY)
  file(GLOB packages RELATIVE "${OUTPUT_DIR}" "${OUTPUT_DIR}/*")
  list(SORT packages)
  set(sums "")
  foreach(package IN LISTS packages)
    file(SHA256 "${OUTPUT_DIR}/${package}" hash)
    string(APPEND sums "${hash}  ${package}\n")
  endforeach()
  file(WRITE "${OUTPUT_DIR}/SHA256SUMS" "${sums}")
endif()
