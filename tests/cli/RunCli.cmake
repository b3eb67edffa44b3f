# Runs quarnel-avi (through the emulator for Windows builds) and checks its
# exit status and, when an expected file is given, its standard output.
separate_arguments(args UNIX_COMMAND "${ARGS}")
execute_process(
  COMMAND ${EMULATOR} ${PROGRAM} ${args}
  WORKING_DIRECTORY ${WORKDIR}
  OUTPUT_VARIABLE output
  ERROR_VARIABLE errors
  RESULT_VARIABLE status)
if(NOT status STREQUAL EXPECTED_EXIT)
  message(FATAL_ERROR "exit status ${status}, expected ${EXPECTED_EXIT}\nstdout:\n${output}\nstderr:\n${errors}")
endif()
if(EXPECTED_EXIT STREQUAL "2" AND NOT errors MATCHES "^quarnel-avi: [^\n]+\nUsage: ")
  message(FATAL_ERROR "a usage error must give one line and the usage on standard error, got:\n${errors}")
endif()
if(EXPECTED_MATCH AND NOT output MATCHES "${EXPECTED_MATCH}")
  message(FATAL_ERROR "output does not match '${EXPECTED_MATCH}':\n${output}")
endif()
if(EXPECTED_OUTPUT)
  file(READ ${EXPECTED_OUTPUT} expected)
  if(NOT output STREQUAL expected)
    file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/actual-output.txt "${output}")
    message(FATAL_ERROR "output differs from ${EXPECTED_OUTPUT}:\n${output}")
  endif()
endif()
