# cmake -DOBJDUMP=... -DBINARY=... "-DEXPORTS=Name1;Name2" -P CheckExports.cmake:
# fails unless the DLL exports exactly these names, each as it is written:
# the shell looks the entry points up by their plain names, which the 32-bit
# build must not decorate (_DllCanUnloadNow@0).
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${OBJDUMP} -p ${BINARY} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${BINARY} failed")
endif()
# The name table: "\t[   0] DllCanUnloadNow" lines, after its heading.
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n(\t\\[ *[0-9]+\\] [^\n]+\n)+" table "${dump}")
string(REGEX MATCHALL "\t\\[ *[0-9]+\\] [^\n]+" lines "${table}")
set(names "")
foreach(line ${lines})
  string(REGEX REPLACE "^\t\\[ *[0-9]+\\] " "" name "${line}")
  list(APPEND names "${name}")
endforeach()
set(expected ${EXPORTS})
list(SORT expected)
list(SORT names)
if(NOT names STREQUAL expected)
  message(FATAL_ERROR "${BINARY} exports \"${names}\", not \"${expected}\"")
endif()
