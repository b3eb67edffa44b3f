# Authenticode signatures (SHA-256, osslsigncode) for Package.cmake, from a
# certificate named in the environment:
#   QUARNEL_SIGN_PKCS12 and QUARNEL_SIGN_PASSWORD: a PKCS#12 file and its password;
#   QUARNEL_SIGN_CERT and QUARNEL_SIGN_KEY: PEM files of the certificate (with
#     its chain) and the key, and QUARNEL_SIGN_PASSWORD if the key is encrypted;
#   QUARNEL_SIGN_TIMESTAMP_URL: an RFC 3161 time-stamp server, if any.

# Whether a certificate is given, in OUT; fails on half of one.
function(quarnel_signing_wanted out)
  if(DEFINED ENV{QUARNEL_SIGN_PKCS12} AND (DEFINED ENV{QUARNEL_SIGN_CERT} OR DEFINED ENV{QUARNEL_SIGN_KEY}))
    message(FATAL_ERROR "Signing: give QUARNEL_SIGN_PKCS12 or QUARNEL_SIGN_CERT and QUARNEL_SIGN_KEY, not both")
  endif()
  if(DEFINED ENV{QUARNEL_SIGN_PKCS12})
    if(NOT DEFINED ENV{QUARNEL_SIGN_PASSWORD})
      message(FATAL_ERROR "Signing: QUARNEL_SIGN_PKCS12 needs QUARNEL_SIGN_PASSWORD")
    endif()
    set(files "$ENV{QUARNEL_SIGN_PKCS12}")
  elseif(DEFINED ENV{QUARNEL_SIGN_CERT} OR DEFINED ENV{QUARNEL_SIGN_KEY})
    if(NOT DEFINED ENV{QUARNEL_SIGN_CERT} OR NOT DEFINED ENV{QUARNEL_SIGN_KEY})
      message(FATAL_ERROR "Signing: QUARNEL_SIGN_CERT and QUARNEL_SIGN_KEY go together")
    endif()
    set(files "$ENV{QUARNEL_SIGN_CERT}" "$ENV{QUARNEL_SIGN_KEY}")
  else()
    set(${out} FALSE PARENT_SCOPE)
    return()
  endif()
  foreach(file IN LISTS files)
    if(NOT EXISTS "${file}")
      message(FATAL_ERROR "Signing: ${file} does not exist")
    endif()
  endforeach()
  find_program(OSSLSIGNCODE osslsigncode)
  if(NOT OSSLSIGNCODE)
    message(FATAL_ERROR "Signing: osslsigncode not found (Debian package osslsigncode; scripts/install-deps package)")
  endif()
  set(${out} TRUE PARENT_SCOPE)
endfunction()

# Signs FILE in place, described as DESCRIPTION, with the signing time EPOCH
# (the commit's), so that one commit signed with one certificate gives the
# same bytes every time; only a time stamp from a server differs. The
# password goes to osslsigncode through a file that only its owner can read,
# in WORK_DIR, never on a command line.
function(quarnel_sign file description epoch workDir)
  set(arguments sign -h sha256 -n "${description}" -time ${epoch})
  if(DEFINED ENV{QUARNEL_SIGN_PKCS12})
    list(APPEND arguments -pkcs12 "$ENV{QUARNEL_SIGN_PKCS12}")
  else()
    list(APPEND arguments -certs "$ENV{QUARNEL_SIGN_CERT}" -key "$ENV{QUARNEL_SIGN_KEY}")
  endif()
  set(password "${workDir}/signing-password")
  if(DEFINED ENV{QUARNEL_SIGN_PASSWORD})
    file(REMOVE "${password}")
    file(TOUCH "${password}")
    file(CHMOD "${password}" PERMISSIONS OWNER_READ OWNER_WRITE)
    file(WRITE "${password}" "$ENV{QUARNEL_SIGN_PASSWORD}")
    list(APPEND arguments -readpass "${password}")
  endif()
  if(DEFINED ENV{QUARNEL_SIGN_TIMESTAMP_URL})
    list(APPEND arguments -ts "$ENV{QUARNEL_SIGN_TIMESTAMP_URL}")
  endif()
  # osslsigncode never overwrites its output.
  file(REMOVE "${file}.signed")
  execute_process(COMMAND osslsigncode ${arguments} -in "${file}" -out "${file}.signed"
    OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE result)
  file(REMOVE "${password}")
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "Signing: osslsigncode failed on ${file}:\n${output}")
  endif()
  file(RENAME "${file}.signed" "${file}")
endfunction()
