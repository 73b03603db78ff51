# Install folders, in the GNU layout. Included before the sources so that every program knows
# where its installed files will be.

# The documentation folder is named after the program, not after the CMake project. A package found
# earlier (Qt's) may already have included GNUInstallDirs, which leaves an empty cache entry and a plain
# variable holding its default; a folder given with -DCMAKE_INSTALL_DOCDIR is kept.
if("$CACHE{CMAKE_INSTALL_DOCDIR}" STREQUAL "")
  set(CMAKE_INSTALL_DOCDIR "share/doc/tovrapdf" CACHE PATH "Documentation folder (DATAROOTDIR/doc/tovrapdf)" FORCE)
endif()
unset(CMAKE_INSTALL_DOCDIR)
include(GNUInstallDirs)

# The installed README. Until the project has an address of its own, the About window's home page is
# this file as a file: address. TOVRA_README_FROM_BINDIR is the same file relative to the installed
# executables, for a program that wants to find it wherever the package was unpacked.
set(TOVRA_README_PATH "${CMAKE_INSTALL_FULL_DOCDIR}/README.md")
file(RELATIVE_PATH TOVRA_README_FROM_BINDIR "${CMAKE_INSTALL_FULL_BINDIR}" "${TOVRA_README_PATH}")
