# Authenticode signing of the Windows packages, for the site that hands them out: SmartScreen
# warns everyone who downloads an unsigned installer. With a .pfx and its password, cpack signs
# ticker.exe once it has staged it, before packing it (sign_program.cmake), and makensis the
# uninstaller and the installer as it writes them (NSIS.template.in). Without them nothing is
# signed. Included by Installer.cmake before CPack, which passes the CPACK_ values on.
set(TICKER_SIGN_PFX "" CACHE FILEPATH
    "Code-signing certificate and key (.pfx) to sign the Windows packages with; empty: unsigned")
set(TICKER_SIGN_PASSWORD_FILE "" CACHE FILEPATH "File holding the password of TICKER_SIGN_PFX")
# A time stamp keeps a signature valid once the certificate has expired.
set(TICKER_SIGN_TIMESTAMP_URL "" CACHE STRING
    "RFC 3161 time-stamp server for the signatures; empty: none")

# Half a signing set-up is a mistake to report now, not a reason to hand out unsigned files.
if(TICKER_SIGN_PFX OR TICKER_SIGN_PASSWORD_FILE OR TICKER_SIGN_TIMESTAMP_URL)
  foreach(file TICKER_SIGN_PFX TICKER_SIGN_PASSWORD_FILE)
    if(NOT EXISTS "${${file}}" OR IS_DIRECTORY "${${file}}")
      message(FATAL_ERROR "Signing the Windows packages needs TICKER_SIGN_PFX and "
                          "TICKER_SIGN_PASSWORD_FILE; ${file} names no file: '${${file}}'")
    endif()
  endforeach()
  find_program(TICKER_OSSLSIGNCODE osslsigncode REQUIRED)
endif()

set(CPACK_TICKER_SIGN_PFX "${TICKER_SIGN_PFX}")
set(CPACK_TICKER_SIGN_PASSWORD_FILE "${TICKER_SIGN_PASSWORD_FILE}")
set(CPACK_TICKER_SIGN_TIMESTAMP_URL "${TICKER_SIGN_TIMESTAMP_URL}")
set(CPACK_TICKER_OSSLSIGNCODE "${TICKER_OSSLSIGNCODE}")
set(CPACK_TICKER_SIGN_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/sign_file.cmake")
set(CPACK_PRE_BUILD_SCRIPTS "${CMAKE_CURRENT_LIST_DIR}/sign_program.cmake")
