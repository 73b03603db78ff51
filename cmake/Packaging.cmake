# `cpack -G DEB` in the build folder makes the Debian package tovrapdf_<version>-<release>_<arch>.deb
# from the install rules of Install.cmake and the Debian documents below. Its library dependencies
# are worked out by dpkg-shlibdeps (package dpkg-dev) from the programs themselves.

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

# What only the package carries: the copyright file in Debian's machine-readable format and the
# Debian changelog in the documentation folder (compressed as policy wants: gzip -9n), and the
# lintian overrides. The copyright file holds the licence, so the package leaves LICENSE out.
# Install rules without a component (Unspecified) go into the package; `cmake --install` installs
# everything but the "debian" component.
set(TOVRA_DEBIAN_VERSION "${CPACK_PACKAGE_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE}")
set(debian_changelog "${PROJECT_BINARY_DIR}/debian/changelog.Debian")
configure_file("${TOVRA_DATA_DIR}/debian/changelog.in" "${debian_changelog}" @ONLY)
add_custom_command(OUTPUT "${debian_changelog}.gz"
  COMMAND gzip -9 -n -k -f "${debian_changelog}"
  DEPENDS "${debian_changelog}"
  COMMENT "Compressing the Debian changelog"
  VERBATIM)
add_custom_target(tovra_debian_changelog ALL DEPENDS "${debian_changelog}.gz")
install(FILES "${TOVRA_DATA_DIR}/debian/copyright" "${debian_changelog}.gz"
  DESTINATION "${CMAKE_INSTALL_DOCDIR}" COMPONENT debian EXCLUDE_FROM_ALL)
install(FILES "${TOVRA_DATA_DIR}/debian/lintian-overrides"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/lintian/overrides" RENAME tovrapdf COMPONENT debian EXCLUDE_FROM_ALL)
set(CPACK_COMPONENTS_ALL Unspecified debian)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)

# `make package_source` packs the sources without build folders, outputs or version control.
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\.git/" "/\\.git$" "/build[^/]*/" "/out/" "/_CPack_Packages/")

include(CPack)
