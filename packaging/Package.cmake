# `cpack -G DEB` from a build tree: one Debian package named after the product, holding what
# `cmake --install` installs, with its library dependencies read from the binary.
set(CPACK_PACKAGE_NAME "${TICKER_PACKAGE_NAME}")
set(CPACK_PACKAGE_VENDOR "${HOME_SITE_NAME}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "scrolls the ${HOME_SITE_NAME} headlines across the desktop")
set(CPACK_PACKAGE_DESCRIPTION
    "A thin, borderless strip that stays on top of the other windows and scrolls the headlines
of a news feed from the ${HOME_SITE_NAME} site. Pressing a headline opens its page in the
web browser; the strip can be dragged anywhere and remembers its place.")
set(CPACK_PACKAGE_CONTACT "${HOME_SITE_NAME} <ticker@${HOME_DOMAIN}>")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "net")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Links open with xdg-open; feeds over https need the certificate authorities.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, ca-certificates")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TICKER_HOMEPAGE}")
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_GENERATOR "DEB")
include(CPack)
