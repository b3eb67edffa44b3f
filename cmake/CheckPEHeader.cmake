# cmake -DBINARY=... -P CheckPEHeader.cmake: fails unless the Windows binary
# is hardened as every build of ours must be (ASLR, with a 64-bit address
# space in a 64-bit image, DEP and a stack canary) and carries no link time,
# which would make two builds of one commit differ.
cmake_minimum_required(VERSION 3.25)

# The unsigned little-endian number of SIZE bytes at OFFSET.
function(read_number offset size out)
  file(READ "${BINARY}" hex OFFSET ${offset} LIMIT ${size} HEX)
  string(LENGTH "${hex}" length)
  math(EXPR expected "${size} * 2")
  if(NOT length EQUAL expected)
    message(FATAL_ERROR "${BINARY}: too short for a PE header")
  endif()
  string(REGEX MATCHALL ".." bytes "${hex}")
  list(REVERSE bytes)
  string(JOIN "" bigEndian ${bytes})
  math(EXPR number "0x${bigEndian}")
  set(${out} ${number} PARENT_SCOPE)
endfunction()

function(fail reason)
  message(FATAL_ERROR "${BINARY}: ${reason}")
endfunction()

read_number(0 2 mz)
if(NOT mz EQUAL 0x5A4D)
  fail("not a Windows binary")
endif()
read_number(60 4 pe)
read_number(${pe} 4 signature)
if(NOT signature EQUAL 0x4550)
  fail("no PE signature")
endif()
math(EXPR coff "${pe} + 4")
math(EXPR optional "${coff} + 20")

math(EXPR at "${coff} + 4")
read_number(${at} 4 timeStamp)
if(NOT timeStamp EQUAL 0)
  fail("the header carries a link time (${timeStamp}); link with --no-insert-timestamp")
endif()

read_number(${optional} 2 magic)
if(magic EQUAL 0x20B)
  set(dataDirectories 112)
  set(required "HIGH_ENTROPY_VA;0x20;DYNAMIC_BASE;0x40;NX_COMPAT;0x100")
elseif(magic EQUAL 0x10B)
  set(dataDirectories 96)
  set(required "DYNAMIC_BASE;0x40;NX_COMPAT;0x100")
else()
  fail("unknown optional header ${magic}")
endif()
math(EXPR at "${optional} + 70")
read_number(${at} 2 characteristics)
while(required)
  list(POP_FRONT required name bit)
  math(EXPR set "${characteristics} & ${bit}")
  if(set EQUAL 0)
    fail("DllCharacteristics lacks ${name}")
  endif()
endwhile()

# Without base relocations the loader cannot move the image, whatever the
# header promises.
math(EXPR at "${optional} + ${dataDirectories} + 5 * 8 + 4")
read_number(${at} 4 relocations)
if(relocations EQUAL 0)
  fail("no base relocations: the image cannot be moved")
endif()

# The canary's failure report comes with the stack protector's runtime.
file(STRINGS "${BINARY}" canary REGEX "stack smashing detected" LIMIT_COUNT 1)
if(NOT canary)
  fail("no stack protector runtime linked in; compile and link with -fstack-protector-strong")
endif()
