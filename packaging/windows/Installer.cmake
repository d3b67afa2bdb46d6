# The Windows packages, made by `cpack` in the windows build from what `cmake --install`
# installs (ticker.exe alone): a per-user installer (`cpack -G NSIS`, Debian's makensis 3 with
# NSIS.template.in beside this file) and a .zip of the bare program (`cpack -G ZIP`).
install(TARGETS ticker RUNTIME DESTINATION .)

set(CPACK_PACKAGE_NAME "${TICKER_PACKAGE_NAME}")
set(CPACK_PACKAGE_VENDOR "${HOME_SITE_NAME}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
# Kept for the tests too: including CPack leaves CPACK_PACKAGE_FILE_NAME at the source package's.
set(TICKER_PACKAGE_FILE_NAME "${TICKER_PACKAGE_NAME}-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_FILE_NAME "${TICKER_PACKAGE_FILE_NAME}")
# The Apps entry's key under HKCU\...\Uninstall: the reverse-DNS id the Linux menu entry uses.
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "${TICKER_DESKTOP_ID}")
set(CPACK_NSIS_PACKAGE_NAME "${APP_DISPLAY_NAME}")
set(CPACK_NSIS_INSTALLED_ICON_NAME ticker.exe)
get_target_property(TICKER_ICON_FILE ticker TICKER_ICON_FILE)
set(CPACK_NSIS_MUI_ICON "${TICKER_ICON_FILE}")
set(CPACK_NSIS_MUI_UNIICON "${TICKER_ICON_FILE}")
# The project's own template (a per-user 64-bit installer) before CMake's stock one.
set(CPACK_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR})
# ticker.exe at the top of the .zip, in no folder.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_GENERATOR "NSIS;ZIP")
include(${CMAKE_CURRENT_LIST_DIR}/Signing.cmake)
include(CPack)
