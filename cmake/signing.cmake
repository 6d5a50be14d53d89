# Authenticode signatures for a release. The build is given a code-signing certificate and its
# private key (absolute paths of PEM or DER files: MURLOX_SIGN_CERT and MURLOX_SIGN_KEY in the
# environment of the first configure, or the cache variables of those names) and, to have the
# signatures time-stamped, an RFC 3161 timestamp server's URL (MURLOX_SIGN_TIMESTAMP). murlox.exe
# is then signed once it is stripped, and makensis signs the uninstaller and the setup
# (installer/murlox.nsi), all through scripts/sign. Without a certificate nothing is signed.
set(MURLOX_SIGN_CERT "$ENV{MURLOX_SIGN_CERT}" CACHE FILEPATH
    "Code-signing certificate for the Windows programs; empty leaves them unsigned")
set(MURLOX_SIGN_KEY "$ENV{MURLOX_SIGN_KEY}" CACHE FILEPATH
    "The code-signing certificate's private key")
set(MURLOX_SIGN_TIMESTAMP "$ENV{MURLOX_SIGN_TIMESTAMP}" CACHE STRING
    "Timestamp server (RFC 3161) for the signatures; empty for none")

set(murlox_sign_program "")
set(murlox_sign_env "")
set(murlox_sign_nsis "")
if(MURLOX_SIGN_CERT)
  if(NOT MURLOX_SIGN_KEY)
    message(FATAL_ERROR "MURLOX_SIGN_CERT is given without its key, MURLOX_SIGN_KEY")
  endif()
  find_program(OSSLSIGNCODE osslsigncode REQUIRED)
  # scripts/sign takes the certificate from the environment, also when makensis runs it.
  set(murlox_sign_env ${CMAKE_COMMAND} -E env MURLOX_SIGN_CERT=${MURLOX_SIGN_CERT}
                      MURLOX_SIGN_KEY=${MURLOX_SIGN_KEY}
                      MURLOX_SIGN_TIMESTAMP=${MURLOX_SIGN_TIMESTAMP})
  set(murlox_sign_program COMMAND ${murlox_sign_env} ${CMAKE_SOURCE_DIR}/scripts/sign murlox.exe)
  set(murlox_sign_nsis -DSIGN=${CMAKE_SOURCE_DIR}/scripts/sign)
endif()
