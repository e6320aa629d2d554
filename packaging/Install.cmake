# Installing the program the way a Linux desktop program is installed, and the Debian package CPack
# makes from it (scripts/package). Included at the end of the top CMakeLists.txt.
#
#   bin/corvane                                  the program
#   share/corvane/dat/*.rtf                      the documents (copied to the user's folder on
#                                                first start, see src/app/Places.h)
#   share/applications/org.corvane.Corvane.desktop
#   share/metainfo/org.corvane.Corvane.metainfo.xml
#   share/icons/hicolor/NxN/apps/corvane.png     drawn by picgen --icons at build time
#   share/man/man1/corvane.1.gz
#   share/doc/corvane/{copyright,changelog.gz}
#
# The program finds its documents as ../share/corvane/dat from its own folder, so the data folder
# stays share/ whatever the prefix.
include(GNUInstallDirs)

set(corvane_packaging ${CMAKE_CURRENT_SOURCE_DIR}/packaging)
set(corvane_staged ${CMAKE_CURRENT_BINARY_DIR}/packaging)

# The application icon in the icon theme's sizes.
set(corvane_icon_stamp ${corvane_staged}/icons.stamp)
add_custom_command(
  OUTPUT ${corvane_icon_stamp}
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:picgen> --icons ${corvane_staged}/icons
  COMMAND ${CMAKE_COMMAND} -E touch ${corvane_icon_stamp}
  DEPENDS picgen
  COMMENT "Drawing the application icons"
  VERBATIM)
# The manual page and the change log, compressed as Debian keeps them.
set(corvane_man ${corvane_staged}/corvane.1.gz)
set(corvane_changelog ${corvane_staged}/changelog.gz)
add_custom_command(
  OUTPUT ${corvane_man} ${corvane_changelog}
  COMMAND sh -c "gzip -9n -c '${corvane_packaging}/corvane.1' > '${corvane_man}' && gzip -9n -c '${corvane_packaging}/changelog' > '${corvane_changelog}'"
  DEPENDS ${corvane_packaging}/corvane.1 ${corvane_packaging}/changelog
  COMMENT "Compressing the manual page and the change log"
  VERBATIM)
add_custom_target(corvane_install_files ALL DEPENDS ${corvane_icon_stamp} ${corvane_man} ${corvane_changelog})

install(TARGETS corvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
file(GLOB corvane_documents CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/dat/*.rtf)
install(FILES ${corvane_documents} DESTINATION ${CMAKE_INSTALL_DATADIR}/corvane/dat)
install(FILES ${corvane_packaging}/org.corvane.Corvane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${corvane_packaging}/org.corvane.Corvane.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${corvane_staged}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${corvane_man} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${corvane_packaging}/copyright ${corvane_changelog} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/corvane)

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvane)
set(CPACK_PACKAGE_VERSION 1.5)
set(CPACK_PACKAGE_CONTACT "Corvane developers <dev@corvane.com>")
set(CPACK_PACKAGE_VENDOR "The Corvane developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reference viewer for the 64 hexagrams of the Book of Changes")
# CPack puts the summary on the first line of the package's description and this text below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Corvane shows the 64 hexagrams of the Book of Changes as picture tiles, with
a Chinese interface. A tile, or a six-line code typed into the lookup field,
opens a reading window with the hexagram's picture, the rules for changing
lines and its commentary. Three reference texts open from the side tabs, and
three notes of your own are kept in a small rich-text editor.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.corvane.com/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The platform plugin that puts windows on an X display, and the faces the windows are drawn with.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n, libsqlite3-0, libicu72, fonts-noto-cjk, fonts-arphic-uming, fonts-liberation2, fonts-dejavu-core")
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_IGNORE_FILES "/build.*/;/\\\\.git/")
include(CPack)
