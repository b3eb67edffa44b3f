# Builds "Quarnel AVI.dll" in the build folder of the 32-bit preset PRESET,
# configuring that folder first if it never was, so that a 64-bit build can
# package the 32-bit DLL without building the 32-bit tests.
#   cmake -DPRESET=win32 -DSOURCE_DIR=... -P installer/BuildDll32.cmake
cmake_minimum_required(VERSION 3.25)
set(binary "${SOURCE_DIR}/build/${PRESET}")
if(NOT EXISTS "${binary}/CMakeCache.txt")
  execute_process(COMMAND "${CMAKE_COMMAND}" --preset "${PRESET}" WORKING_DIRECTORY "${SOURCE_DIR}"
    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" --build "${binary}" --target quarnel_avi_dll COMMAND_ERROR_IS_FATAL ANY)
