# `cpack -G DEB` in the build folder makes the Debian package tovrapdf_<version>-<release>_<arch>.deb
# from the install rules of Install.cmake. Its library dependencies are worked out by dpkg-shlibdeps
# (package dpkg-dev) from the programs themselves.

set(TOVRA_VERSION_PATCH 0 CACHE STRING "Third number of the package version (1.1.x)")
set(TOVRA_PACKAGE_MAINTAINER "Tovra PDF maintainers <maintainers@users.noreply.c-seed-3e239d1f.example>"
  CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tovrapdf)
set(CPACK_PACKAGE_VENDOR "Tovra PDF")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${TOVRA_VERSION_PATCH}")
set(CPACK_PACKAGE_CONTACT "${TOVRA_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turn BMP, GIF and JPEG images into one PDF")
# Debian shows the long description as it is written: lines of fewer than 80 columns.
set(CPACK_PACKAGE_DESCRIPTION [[
Tovra PDF makes one PDF from an ordered list of BMP, GIF and JPEG images,
one page per image, each page with its own paper, orientation, margins and
sizing mode (Stretch, Fit, Full Size). JPEG files go into the PDF byte for
byte; BMP and GIF pictures go in losslessly compressed.
It comes as a desktop program (tovrapdf) with a live preview of each page,
and as a command-line tool (tovrapdf-cli) that makes the same PDF from the
same list and settings.]])
# Packages for Debian never install below /usr/local, whatever prefix the build was configured with.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TOVRA_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Opening the new PDF and the About window's link go through the desktop's file associations.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)

# `make package_source` packs the sources without build folders, outputs or version control.
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\.git/" "/\\.git$" "/build[^/]*/" "/out/" "/_CPack_Packages/")

include(CPack)
