# Writes the Windows packages of one version into OUTPUT_DIR:
#   quarnel-avi-VERSION-x64.msi, and with RELEASE also
#   quarnel-avi-VERSION-windows.zip and SHA256SUMS (OUTPUT_DIR is emptied first).
#
#   cmake -DVERSION=1.2.3 -DDLL64=... -DDLL32=... -DTOOL=... -DSOURCE_DIR=...
#         -DWORK_DIR=... -DOUTPUT_DIR=... [-DRELEASE=ON] -P installer/Package.cmake
#
# The zip holds the same files the MSI installs, laid out as a user unpacks
# them: README.md and LICENSE, 64-bit/ (the DLL and quarnel-avi.exe) and
# 32-bit/ (the DLL).
cmake_minimum_required(VERSION 3.25)

foreach(variable VERSION DLL64 DLL32 TOOL SOURCE_DIR WORK_DIR OUTPUT_DIR)
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

find_program(WIXL wixl)
if(NOT WIXL)
  message(FATAL_ERROR "Package.cmake: wixl not found (Debian package wixl; scripts/install-deps package)")
endif()

set(name "quarnel-avi-${VERSION}")
set(stage "${WORK_DIR}/${name}-windows")
file(REMOVE_RECURSE "${stage}")
file(MAKE_DIRECTORY "${stage}/64-bit" "${stage}/32-bit")
file(COPY_FILE "${DLL64}" "${stage}/64-bit/Quarnel AVI.dll")
file(COPY_FILE "${TOOL}" "${stage}/64-bit/quarnel-avi.exe")
file(COPY_FILE "${DLL32}" "${stage}/32-bit/Quarnel AVI.dll")
file(COPY_FILE "${SOURCE_DIR}/README.md" "${stage}/README.md")
file(COPY_FILE "${SOURCE_DIR}/LICENSE" "${stage}/LICENSE")

if(RELEASE)
  file(REMOVE_RECURSE "${OUTPUT_DIR}")
endif()
file(MAKE_DIRECTORY "${OUTPUT_DIR}")

# wixl finds a source file only by a path relative to where it runs.
execute_process(
  COMMAND "${WIXL}" --arch x64
    -D "Version=${VERSION}" -D "NextVersion=${nextVersion}"
    -D "Dll64=64-bit/Quarnel AVI.dll" -D "Dll32=32-bit/Quarnel AVI.dll" -D "Tool=64-bit/quarnel-avi.exe"
    -D "Readme=README.md" -D "License=LICENSE"
    -o "${OUTPUT_DIR}/${name}-x64.msi" "${SOURCE_DIR}/installer/quarnel-avi.wxs"
  WORKING_DIRECTORY "${stage}"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Package.cmake: wixl failed (${result})")
endif()

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
