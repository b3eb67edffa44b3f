# Writes the Windows packages of one version into OUTPUT_DIR:
#   quarnel-avi-VERSION-x64.msi, and with RELEASE also
#   quarnel-avi-VERSION-windows.zip and SHA256SUMS (OUTPUT_DIR is emptied first).
#
#   cmake -DVERSION=1.2.3 -DDLL64=... -DDLL32=... -DTOOL=... -DSOURCE_DIR=...
#         -DWINDRES=... -DWORK_DIR=... -DOUTPUT_DIR=... [-DRELEASE=ON] -P installer/Package.cmake
#
# The zip holds the same files the MSI installs, laid out as a user unpacks
# them: README.md and LICENSE, 64-bit/ (the DLL and quarnel-avi.exe) and
# 32-bit/ (the DLL).
cmake_minimum_required(VERSION 3.25)
include("${CMAKE_CURRENT_LIST_DIR}/MsiTables.cmake")

foreach(variable VERSION DLL64 DLL32 TOOL SOURCE_DIR WINDRES WORK_DIR OUTPUT_DIR)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "Package.cmake needs -D${variable}=...")
  endif()
endforeach()
foreach(file "${DLL64}" "${DLL32}" "${TOOL}")
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

foreach(tool wixl msiinfo msibuild)
  find_program(found_${tool} ${tool})
  if(NOT found_${tool})
    message(FATAL_ERROR "Package.cmake: ${tool} not found (scripts/install-deps package installs it)")
  endif()
endforeach()

set(name "quarnel-avi-${VERSION}")
set(stage "${WORK_DIR}/${name}-windows")
file(REMOVE_RECURSE "${stage}")
file(MAKE_DIRECTORY "${stage}/64-bit" "${stage}/32-bit")
# Each file: its id in the MSI, its place in the zip, where it comes from.
set(contents
  Dll64 "64-bit/Quarnel AVI.dll" "${DLL64}"
  Tool "64-bit/quarnel-avi.exe" "${TOOL}"
  Dll32 "32-bit/Quarnel AVI.dll" "${DLL32}"
  Readme README.md "${SOURCE_DIR}/README.md"
  License LICENSE "${SOURCE_DIR}/LICENSE")
set(staged "")
while(contents)
  list(POP_FRONT contents id path source)
  file(COPY_FILE "${source}" "${stage}/${path}")
  list(APPEND staged ${id} "${stage}/${path}")
endwhile()

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
  COMMAND wixl --arch x64 -D "Version=${VERSION}" -D "NextVersion=${nextVersion}"
    ${sources} -o "${msi}" "${CMAKE_CURRENT_LIST_DIR}/quarnel-avi.wxs"
  WORKING_DIRECTORY "${stage}"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Package.cmake: wixl failed (${result})")
endif()
quarnel_complete_tables("${msi}" "${WINDRES}" "${staged}")

if(RELEASE)
  execute_process(
    COMMAND "${CMAKE_COMMAND}" -E tar cf "${OUTPUT_DIR}/${name}-windows.zip" --format=zip "${name}-windows"
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
