# What `cmake --install` puts where: the programs, the desktop integration of tovrapdf (desktop entry,
# metainfo, icons), a manual page for each program, the README and the licence. Rules exist only for
# the programs this build makes, so a build without the desktop program installs the command-line
# tool alone.

set(TOVRA_DATA_DIR "${PROJECT_SOURCE_DIR}/data")

# The desktop program's sources may want the installed README's place (see InstallDirs.cmake).
foreach(target tovrapdf tovra_app tovra_dialogs)
  if(TARGET ${target})
    target_compile_definitions(${target} PRIVATE
      TOVRA_README_PATH="${TOVRA_README_PATH}" TOVRA_README_FROM_BINDIR="${TOVRA_README_FROM_BINDIR}")
  endif()
endforeach()

# Manual pages, compressed as Debian installs them (in the build folder: the sources stay as written).
set(TOVRA_MAN_BUILD_DIR "${PROJECT_BINARY_DIR}/man")
foreach(page tovrapdf.1 tovrapdf-cli.1)
  configure_file("${TOVRA_DATA_DIR}/man/${page}" "${TOVRA_MAN_BUILD_DIR}/${page}" COPYONLY)
endforeach()

set(installed_man_pages)
foreach(program tovrapdf tovrapdf-cli)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
    set(page "${TOVRA_MAN_BUILD_DIR}/${program}.1")
    # -n keeps name and time out of the archive, so the package is reproducible.
    add_custom_command(OUTPUT "${page}.gz"
      COMMAND gzip -9 -n -k -f "${page}"
      DEPENDS "${page}"
      COMMENT "Compressing manual page ${program}(1)"
      VERBATIM)
    list(APPEND installed_man_pages "${page}.gz")
  endif()
endforeach()
if(installed_man_pages)
  add_custom_target(tovra_man_pages ALL DEPENDS ${installed_man_pages})
  install(FILES ${installed_man_pages} DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
  # Building a program alone must leave everything its install rules need.
  foreach(program tovrapdf tovrapdf-cli)
    if(TARGET ${program})
      add_dependencies(${program} tovra_man_pages)
    endif()
  endforeach()
endif()

# Desktop integration, only with the desktop program it launches.
if(TARGET tovrapdf)
  install(FILES "${TOVRA_DATA_DIR}/tovrapdf.desktop" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
  # Installed under its component id, as software centres look for it.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${TOVRA_DATA_DIR}/tovrapdf.metainfo.xml")
  file(STRINGS "${TOVRA_DATA_DIR}/tovrapdf.metainfo.xml" appstream_id REGEX "^ *<id>.*</id>$")
  string(REGEX REPLACE "^ *<id>(.*)</id>$" "\\1" TOVRA_APPSTREAM_ID "${appstream_id}")
  install(FILES "${TOVRA_DATA_DIR}/tovrapdf.metainfo.xml" DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo"
    RENAME "${TOVRA_APPSTREAM_ID}.metainfo.xml")
  install(FILES "${TOVRA_DATA_DIR}/icons/tovrapdf.svg"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
  # The PNG sizes are those tools/gen_icons.sh renders: one folder per size.
  file(GLOB icon_sizes RELATIVE "${TOVRA_DATA_DIR}/icons" "${TOVRA_DATA_DIR}/icons/*x*")
  foreach(size IN LISTS icon_sizes)
    install(FILES "${TOVRA_DATA_DIR}/icons/${size}/tovrapdf.png"
      DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}/apps")
  endforeach()
endif()

install(FILES "${PROJECT_SOURCE_DIR}/README.md" DESTINATION "${CMAKE_INSTALL_DOCDIR}")
# The Debian package carries the licence in its copyright file instead (see Packaging.cmake).
install(FILES "${PROJECT_SOURCE_DIR}/LICENSE" DESTINATION "${CMAKE_INSTALL_DOCDIR}" COMPONENT licence)
