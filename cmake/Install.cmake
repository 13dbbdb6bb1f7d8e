# Installation and the Debian package.
#
#   cmake --install <build> [--prefix <dir>]   the program, the board simulator, the menu entry
#                                              and the icon, in the usual places under the prefix
#   cpack --config <build>/CPackConfig.cmake   platine_<version>_<arch>.deb, for /usr
#
# An installed program cannot write beside its executable, so it keeps param.ini and debug.ini
# in the per-user configuration directory (~/.config/platine/).

include(GNUInstallDirs)

install(TARGETS platine platine-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/desktop/platine.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/desktop/platine.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# A 64x64 bitmap of the icon for desktops that do not draw SVG icons, when rsvg-convert is there.
find_program(PLATINE_RSVG_CONVERT rsvg-convert)
if(PLATINE_RSVG_CONVERT)
  set(platine_png ${PROJECT_BINARY_DIR}/desktop/platine.png)
  add_custom_command(OUTPUT ${platine_png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/desktop
      COMMAND ${PLATINE_RSVG_CONVERT} -w 64 -h 64 -o ${platine_png}
              ${PROJECT_SOURCE_DIR}/desktop/platine.svg
      DEPENDS ${PROJECT_SOURCE_DIR}/desktop/platine.svg
      COMMENT "Rendering the 64x64 icon"
      VERBATIM)
  add_custom_target(platine-icon ALL DEPENDS ${platine_png})
  install(FILES ${platine_png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME platine)
set(CPACK_PACKAGE_VENDOR "platine")
set(CPACK_PACKAGE_CONTACT "Platine developers <platine@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "companion program of the platine data-logger board")
set(CPACK_PACKAGE_DESCRIPTION [[
Talks to the platine data-logger board over a serial port: sets its clock,
programs its acquisition schedule and shows what the board sends back.
Opens the acquisition files the board writes on its SD card and plots them,
with cursors, a zoom view and value tables. Includes platine-sim, a board
simulator on a pseudo-terminal. The user interface is in French.]])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own dialogs in French come from its translations (qtbase_fr.qm).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
include(CPack)
