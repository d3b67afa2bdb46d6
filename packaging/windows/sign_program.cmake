# Run by cpack once it has staged what it packs (CPACK_PRE_BUILD_SCRIPTS, see Signing.cmake):
# signs the staged ticker.exe, so that the installer and the .zip carry the one signed program
# and the build tree's own copy, which the tests run, stays as it was linked.
if(NOT CPACK_TICKER_SIGN_PFX)
  return()
endif()
set(FILE "${CPACK_TEMPORARY_DIRECTORY}/${CPACK_NSIS_INSTALLED_ICON_NAME}")
if(NOT EXISTS "${FILE}")
  message(FATAL_ERROR "No ${FILE} to sign in what cpack staged")
endif()
set(PFX "${CPACK_TICKER_SIGN_PFX}")
set(PASSWORD_FILE "${CPACK_TICKER_SIGN_PASSWORD_FILE}")
set(TIMESTAMP_URL "${CPACK_TICKER_SIGN_TIMESTAMP_URL}")
set(OSSLSIGNCODE "${CPACK_TICKER_OSSLSIGNCODE}")
include("${CPACK_TICKER_SIGN_SCRIPT}")
