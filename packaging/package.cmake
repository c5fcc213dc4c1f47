# The Debian package: `make package` (or `cpack --config <build>/CPackConfig.cmake`) turns what
# `cmake --install` puts in place into pixmeld_<version>_<arch>.deb, installed under /usr. A developer's
# own `cmake --install` keeps CMake's usual prefix (/usr/local unless --prefix says otherwise).
# The package holds the whole product, so it is set up only on Linux in a build with the desktop program.
if(WIN32 OR APPLE OR NOT PIXMELD_BUILD_APP)
  return()
endif()
include(GNUInstallDirs)

# What Debian wants beside the programs: the licence as /usr/share/doc/pixmeld/copyright.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pixmeld RENAME copyright)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pixmeld)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Meldworks)
set(CPACK_PACKAGE_CONTACT "Meldworks <pixmeld@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "shrink JPEG photos in a batch so that they upload faster")
# Lines of at most 80 columns, as Debian wants them.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Pixmeld scales JPEG photos down to a chosen longest edge and writes them again"
  "as quality-80 JPEG files, turned upright, keeping their RGB colour profile and"
  "dropping all other metadata, GPS positions included. It comes as a desktop"
  "program, pixmeld, and as a command-line tool for scripts, pixmeld-cli.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Debian strips its programs; the build folder keeps the debugging symbols.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Meldworks <pixmeld@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://pixmeld.example.org)
# The architecture is dpkg's own (CPack asks `dpkg --print-architecture`). dpkg-shlibdeps finds the
# libraries the programs link (the C and C++ runtimes, libjpeg62-turbo, the wxWidgets GTK 3 runtime) and
# adds them with the versions this build needs; xdg-open is run, not linked, so it is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "xdg-utils")

# `make package_source` is of no use here; leave the build folders and Git out if someone runs it.
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/")

include(CPack)
