# The Debian package: `cpack -G DEB` in the build folder. Its dependencies
# come from the shared libraries the program links (dpkg-shlibdeps).
set(CPACK_PACKAGE_NAME wavorin)
set(CPACK_PACKAGE_VENDOR "Wavorin developers")
set(CPACK_PACKAGE_CONTACT "Wavorin developers <wavorin@wavorin.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small wave-file player shaped like a jukebox")
set(CPACK_PACKAGE_INSTALL_DIRECTORY wavorin)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

# One package holding the program and Debian's documents.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL Unspecified debian)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# CPack puts the summary above as the synopsis line before this text.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Wavorin plays wave files in one small borderless window cut to the outline
of a 1950s jukebox cabinet. Four buttons on the cabinet open a file, play
it, stop it and close the program; while a sound plays the dome glows and
flashes. The window is dragged by any free point, and its position and the
folder the file dialog starts in are remembered between runs.
.
A file can be given on the command line or dropped on the window, so file
managers can open wave files with it.")
# Qt's X11 platform plugin comes with libqt6gui6, which the library scan finds.
# Recommended: the native Wayland client, and Qt's own translations for the
# Open dialog's buttons and labels.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, qt6-translations-l10n")

include(CPack)
cpack_add_component(debian HIDDEN)
