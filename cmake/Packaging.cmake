# Debian package of what `cmake --install` puts in place: `cd build && cpack -G DEB`.
# Only the program and its data have install rules; tests and benchmarks have
# none, so they never reach the package.

# Debian wants the licence as /usr/share/doc/<package>/copyright.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/orvinel
        RENAME copyright)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvinel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Orvinel developers")
set(CPACK_PACKAGE_CONTACT "The Orvinel developers <maintainers@orvinel.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL "${ORVINEL_HOMEPAGE}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "screen overlay maker for Google Earth")
set(CPACK_PACKAGE_DESCRIPTION
    "Orvinel builds KML 2.2 files that hold one screen overlay: a legend, a logo
or a title card pinned to a place on the Google Earth screen rather than on
the ground. One window sets the picture, its anchor and screen position, size,
rotation, draw order and transparency; a network link file lets Google Earth
show every change within a second.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The build keeps debug information; the package does not need it.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps (dpkg-dev) computes the library packages from the executable.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window is laid out in fixed pixels for metric-compatible fonts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
# orvinel_<version>_<arch>.deb
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)

include(CPack)
