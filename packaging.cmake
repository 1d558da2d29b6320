# Installation (cmake --install) and the Debian package (cpack, see
# scripts/package.sh). Only the program and its desktop files are installed:
# no library, headers, tests or benchmarks.
include(GNUInstallDirs)

# Installing (and cpack) takes what is built; scripts/package.sh builds the
# program and its files rather than every test.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
# Symbols resolved at start, so the relocations can be made read-only.
target_link_options(morvane PRIVATE -Wl,-z,relro,-z,now)

set(MORVANE_DIST ${CMAKE_SOURCE_DIR}/dist)
set(MORVANE_DIST_OUT ${CMAKE_BINARY_DIR}/dist)

find_program(RSVG_CONVERT rsvg-convert)
if(NOT RSVG_CONVERT)
  message(FATAL_ERROR "rsvg-convert not found (Debian package librsvg2-bin): run scripts/install-deps.sh")
endif()
find_program(GZIP gzip REQUIRED)

# The PNG icons are drawn from the SVG (Qt reads no SVG without its SVG
# module, and X11 takes window icons only up to 255 px, hence the smaller
# sizes); the manual page and the changelog are compressed as Debian wants
# them (-n: no name or time stamp inside).
set(MORVANE_ICON_SIZES 48 128 256)
set(MORVANE_PNG_ICONS)
foreach(size ${MORVANE_ICON_SIZES})
  set(png ${MORVANE_DIST_OUT}/${size}/${MORVANE_APP_ID}.png)
  add_custom_command(
    OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${MORVANE_DIST_OUT}/${size}
    COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${MORVANE_DIST}/${MORVANE_APP_ID}.svg
    DEPENDS ${MORVANE_DIST}/${MORVANE_APP_ID}.svg
    VERBATIM)
  list(APPEND MORVANE_PNG_ICONS ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
configure_file(${MORVANE_DIST}/morvane.1.in ${MORVANE_DIST_OUT}/morvane.1 @ONLY)
add_custom_command(
  OUTPUT ${MORVANE_DIST_OUT}/morvane.1.gz ${MORVANE_DIST_OUT}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${MORVANE_DIST_OUT}
  COMMAND sh -c "${GZIP} -9n -c '${MORVANE_DIST_OUT}/morvane.1' > '${MORVANE_DIST_OUT}/morvane.1.gz'"
  COMMAND sh -c "${GZIP} -9n -c '${MORVANE_DIST}/changelog' > '${MORVANE_DIST_OUT}/changelog.gz'"
  DEPENDS ${MORVANE_DIST_OUT}/morvane.1 ${MORVANE_DIST}/changelog
  VERBATIM)
add_custom_target(morvane_data ALL
  DEPENDS ${MORVANE_PNG_ICONS} ${MORVANE_DIST_OUT}/morvane.1.gz ${MORVANE_DIST_OUT}/changelog.gz)

install(TARGETS morvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${MORVANE_DIST}/${MORVANE_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${MORVANE_DIST}/${MORVANE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${MORVANE_DIST}/${MORVANE_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${MORVANE_DIST_OUT}/morvane.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${MORVANE_DIST}/copyright ${MORVANE_DIST_OUT}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME morvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "Morvane maintainers <maintainers@users.noreply.c-seed-3b13fa03.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "administration tool for one MySQL or MariaDB server")
set(CPACK_PACKAGE_DESCRIPTION
    "A desktop tool for Chinese-speaking administrators of one MySQL or MariaDB
server whose data is GBK text. It shows the server's databases and tables in
a tree and, for the opened table, its structure, its create statement and a
sortable, editable data grid. An SQL console runs statements, a column editor
adds and changes columns, and a designer creates new tables. A settings
window chooses the server, the user and the databases the tree hides.")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/morvane/morvane)
# Library dependencies come from dpkg-shlibdeps; the Chinese font and Qt's
# Chinese translations are not linked, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei | fonts-noto-cjk, qt6-translations-l10n")
include(CPack)
