# Shared part of the mingw-w64 toolchain files; MINGW_TRIPLET is set by the caller.
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every Windows build, tests included, is built as the release is, so that
# the tests run what users get:
# - hardened: a stack canary in functions with arrays or address-taken
#   locals (libssp, linked in statically like the rest of the runtime), ASLR
#   (with a 64-bit address space where the image is 64-bit) and DEP;
# - reproducible: no link time in the PE header, whose checksum then follows
#   from the content alone.
set(hardening "-fstack-protector-strong")
set(linkHardening "-Wl,--dynamicbase -Wl,--nxcompat -Wl,--no-insert-timestamp")
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  string(APPEND linkHardening " -Wl,--high-entropy-va")
endif()
set(CMAKE_C_FLAGS_INIT "${hardening}")
set(CMAKE_CXX_FLAGS_INIT "${hardening}")

# Single-file binaries: libgcc, libstdc++, winpthread and libssp linked in
# statically, so the DLL and the tools run on a bare Windows.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static ${hardening} ${linkHardening}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static ${hardening} ${linkHardening}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static ${hardening} ${linkHardening}")
