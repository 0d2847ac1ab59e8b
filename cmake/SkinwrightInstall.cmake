# Installing like any Linux desktop program: the program in bin/, its data
# (the template) in share/skinwright/, where the program looks for it beside
# its bin/, a desktop entry and an icon for the menus. The Debian package is
# made from the same rules by CPack (tools/package.sh).
#
# The destinations are fixed, not taken from GNUInstallDirs: the program finds
# its data at ../share/skinwright from its own folder.
install(TARGETS skinwright RUNTIME DESTINATION bin)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/template/ DESTINATION share/skinwright/template)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/skinwright.desktop DESTINATION share/applications)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/packaging/icons/hicolor DESTINATION share/icons)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME skinwright)
set(CPACK_PACKAGE_VENDOR "Skinwright")
set(CPACK_PACKAGE_CONTACT "Skinwright developers <dev@skinwright.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "designer's tool for Android phone themes")
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Skinwright edits themes for the home screen, the lock screen and the\n"
  "incoming-call screen of Android phones, shows live previews of every\n"
  "screen in the browser, packs a theme with images for every screen density\n"
  "and installs it on a phone connected by USB.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# The libraries the program links are found by dpkg-shlibdeps; the previews
# draw Chinese text and need a CJK font.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei | fonts-noto-cjk")
# adb installs themes on a phone; the editor runs in a browser tab that
# xdg-open opens.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "adb, chromium | firefox-esr | x-www-browser, xdg-utils")
include(CPack)
