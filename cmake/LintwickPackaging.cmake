# SPDX-License-Identifier: GPL-3.0-or-later
# A Debian package of everything `cmake --install` puts in place: `cpack -G DEB` in the build folder
# gives lintwick_VERSION_ARCH.deb. Its dependencies are read from the programs' shared libraries
# (dpkg-shlibdeps), so they name exactly the Qt 6 libraries the programs were built against; the Qt
# plugins the program loads (xcb, the SVG icon engine, CUPS printing) ship in those same packages.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lintwick)
set(CPACK_PACKAGE_VENDOR Corvane)
set(CPACK_PACKAGE_CONTACT "Corvane <lintwick@corvane.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.corvane.example/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "find duplicate file names, large files and empty files")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# xdg-open opens the maker's home page from the program.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS qt6-wayland)
# The summary above becomes the first line; empty lines here become Debian's " ." paragraph breaks.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Lintwick is a disk clean-up utility for the desktop. Pick the mounted
filesystems to examine and a file-name mask, then list every file whose name
occurs more than once, every file larger than a size, or every empty file.
Files can be moved to the trash from the list, every deletion is kept in an
audit log, and reports can be printed.

The lintwick-report command runs the same reports from the shell and writes
them as text, CSV or JSON.")

include(CPack)
