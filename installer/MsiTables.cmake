# What wixl leaves out of the package's tables, filled in afterwards with
# msitools (msiinfo, msibuild), for Package.cmake:
# - File: the version and language of every Windows binary, from its own
#   version resource, so that an upgrade replaces files by version; such
#   files have no hash in MsiFileHash, which is for unversioned files only;
# - File and Directory: "SHORT~1.EXT|Long name" wherever the long name is not
#   a valid 8.3 name, unique within its folder;
# - the summary information: the package code and the dates, which wixl
#   draws at random and from the clock.

# The rows of TABLE in MSI, each a list of its fields.
function(quarnel_msi_rows msi table out)
  execute_process(COMMAND msiinfo export "${msi}" ${table} OUTPUT_VARIABLE text COMMAND_ERROR_IS_FATAL ANY)
  string(REPLACE "\r" "" text "${text}")
  string(REGEX REPLACE "\n$" "" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  # Three header lines: column names, column types, table name and keys.
  list(SUBLIST lines 3 -1 rows)
  set(${out} "${rows}" PARENT_SCOPE)
endfunction()

# Whether NAME is a valid 8.3 name as the installer reads a short name.
function(quarnel_is_short_name name out)
  set(${out} FALSE PARENT_SCOPE)
  if(name MATCHES "[] \\\\?|><:/*\"+,;=[]")
    return()
  endif()
  if(NOT name MATCHES "^([^.]+)(\\.([^.]+))?$")
    return()
  endif()
  string(LENGTH "${CMAKE_MATCH_1}" base)
  string(LENGTH "${CMAKE_MATCH_3}" extension)
  if(base LESS_EQUAL 8 AND extension LESS_EQUAL 3)
    set(${out} TRUE PARENT_SCOPE)
  endif()
endfunction()

# The name to store for LONG in a folder whose short names so far are in the
# list variable TAKEN_VAR (upper case), which gains this one: LONG itself
# when it is a valid short name, otherwise "SHORT~N.EXT|LONG" with the first
# N that makes the short name unique in the folder.
function(quarnel_installer_name long takenVar out)
  set(taken "${${takenVar}}")
  quarnel_is_short_name("${long}" valid)
  if(valid)
    string(TOUPPER "${long}" short)
    list(APPEND taken "${short}")
    set(${takenVar} "${taken}" PARENT_SCOPE)
    set(${out} "${long}" PARENT_SCOPE)
    return()
  endif()
  string(TOUPPER "${long}" base)
  set(extension "")
  if(base MATCHES "^(.+)\\.([^.]+)$")
    set(base "${CMAKE_MATCH_1}")
    string(REGEX REPLACE "[^A-Z0-9_-]" "" extension "${CMAKE_MATCH_2}")
    string(SUBSTRING "${extension}" 0 3 extension)
    if(NOT extension STREQUAL "")
      set(extension ".${extension}")
    endif()
  endif()
  string(REGEX REPLACE "[^A-Z0-9_-]" "" base "${base}")
  if(base STREQUAL "")
    set(base "_")
  endif()
  string(SUBSTRING "${base}" 0 6 stem)
  foreach(number RANGE 1 9)
    set(short "${stem}~${number}${extension}")
    if(NOT short IN_LIST taken)
      list(APPEND taken "${short}")
      set(${takenVar} "${taken}" PARENT_SCOPE)
      set(${out} "${short}|${long}" PARENT_SCOPE)
      return()
    endif()
  endforeach()
  message(FATAL_ERROR "MsiTables: no free short name for '${long}'")
endfunction()

# The file version ("1.2.3.0") and language ("1033") in the version
# resource of the Windows binary FILE, read with windres.
function(quarnel_binary_version windres file versionOut languageOut)
  execute_process(COMMAND "${windres}" -i "${file}" -O rc OUTPUT_VARIABLE resources ERROR_VARIABLE errors
    RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "MsiTables: can't read the resources of ${file}: ${errors}")
  endif()
  if(NOT resources MATCHES "FILEVERSION ([0-9]+), *([0-9]+), *([0-9]+), *([0-9]+)")
    message(FATAL_ERROR "MsiTables: ${file} has no version resource")
  endif()
  set(${versionOut} "${CMAKE_MATCH_1}.${CMAKE_MATCH_2}.${CMAKE_MATCH_3}.${CMAKE_MATCH_4}" PARENT_SCOPE)
  if(NOT resources MATCHES "VALUE \"Translation\", (0x[0-9a-fA-F]+)")
    message(FATAL_ERROR "MsiTables: the version resource of ${file} names no language")
  endif()
  math(EXPR language "${CMAKE_MATCH_1}")
  set(${languageOut} ${language} PARENT_SCOPE)
endfunction()

# Completes the File, MsiFileHash and Directory tables of MSI. SOURCES lists
# each file's id and the file it was made from (id;path;id;path...).
function(quarnel_complete_tables msi windres sources)
  set(queries "")

  # The folder of every component, to keep short names unique per folder.
  quarnel_msi_rows("${msi}" Component components)
  foreach(row IN LISTS components)
    string(REPLACE "\t" ";" fields "${row}")
    list(GET fields 0 component)
    list(GET fields 2 folder)
    set(folderOf_${component} "${folder}")
  endforeach()

  quarnel_msi_rows("${msi}" File files)
  foreach(row IN LISTS files)
    string(REPLACE "\t" ";" fields "${row}")
    list(GET fields 0 id)
    list(GET fields 1 component)
    list(GET fields 2 name)
    set(folder "${folderOf_${component}}")
    quarnel_installer_name("${name}" taken_${folder} stored)
    set(assignments "`FileName`='${stored}'")

    list(FIND sources "${id}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "MsiTables: no source given for the file '${id}'")
    endif()
    math(EXPR at "${at} + 1")
    list(GET sources ${at} source)
    file(READ "${source}" magic LIMIT 2 HEX)
    # "MZ": a Windows binary.
    if(magic STREQUAL "4d5a")
      quarnel_binary_version("${windres}" "${source}" version language)
      string(APPEND assignments ", `Version`='${version}', `Language`='${language}'")
      list(APPEND queries "DELETE FROM `MsiFileHash` WHERE `File_`='${id}'")
    endif()
    list(APPEND queries "UPDATE `File` SET ${assignments} WHERE `File`='${id}'")
  endforeach()

  quarnel_msi_rows("${msi}" Directory directories)
  foreach(row IN LISTS directories)
    string(REPLACE "\t" ";" fields "${row}")
    list(GET fields 0 id)
    list(GET fields 1 parent)
    list(GET fields 2 name)
    # "." (the parent itself) and "SourceDir" (the package's own folder) are
    # names of the installer's, not of folders.
    if(name STREQUAL "." OR name STREQUAL "SourceDir")
      continue()
    endif()
    quarnel_installer_name("${name}" taken_${parent} stored)
    if(NOT stored STREQUAL name)
      list(APPEND queries "UPDATE `Directory` SET `DefaultDir`='${stored}' WHERE `Directory`='${id}'")
    endif()
  endforeach()

  set(arguments "")
  foreach(query IN LISTS queries)
    list(APPEND arguments -q "${query}")
  endforeach()
  execute_process(COMMAND msibuild "${msi}" ${arguments} COMMAND_ERROR_IS_FATAL ANY)
endfunction()

# Sets the package code and both dates (creation and last save, the commit's
# time EPOCH) of the summary information of MSI.
function(quarnel_set_summary msi packageCode epoch workDir)
  set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
  string(TIMESTAMP date "%Y/%m/%d %H:%M:%S" UTC)
  # The installer's table of the summary information: property id, value.
  set(idt "${workDir}/_SummaryInformation.idt")
  file(WRITE "${idt}" "PropertyId\tValue\r\ni2\tl255\r\n_SummaryInformation\tPropertyId\r\n"
    "9\t{${packageCode}}\r\n12\t${date}\r\n13\t${date}\r\n")
  # msibuild reads the dates as local time.
  execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC msibuild "${msi}" -i "${idt}" COMMAND_ERROR_IS_FATAL ANY)
endfunction()
