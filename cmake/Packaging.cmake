# `cpack -G DEB` in the build folder makes the Debian package of the installed layout.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zandrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tessik微端 developers <zandrel@example.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Tessik微端, the desktop client of the live-show site")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
# The libraries the executable links come from dpkg-shlibdeps; the rest is what it loads at run
# time: the engine's helper process and resources, Qt's Wayland platform, the skin's font,
# pkexec, which starts a downloaded installer, and the system's CA store for https update servers.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6webenginecore6-bin, libqt6webengine6-data, qt6-wayland, fonts-wqy-microhei, pkexec, ca-certificates")
# Qt's own texts (engine menus and dialogs) in the desktop's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fcitx5-frontend-qt6, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/cmake/deb/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
