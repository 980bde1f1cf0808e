# What `cmake --install` puts next to the programs (each program installs from its folder), and
# the Debian package that `cpack -G DEB` (or `make package`) builds from the same rules.
include(GNUInstallDirs)

install(DIRECTORY examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
# The licence goes in the Debian copyright file; the change log is gzipped, as Debian wants it
# (-n: the same bytes from build to build).
install(FILES README.md cmake/debian/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
configure_file(cmake/debian/changelog.in debian/changelog @ONLY)
find_program(GZIP gzip REQUIRED)
add_custom_command(OUTPUT debian/changelog.gz
  COMMAND ${GZIP} -9nc debian/changelog > debian/changelog.gz
  DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog
  COMMENT "Compressing the change log")
add_custom_target(debian-changelog ALL DEPENDS debian/changelog.gz)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kvt)
set(CPACK_PACKAGE_VENDOR "kvt")
set(CPACK_PACKAGE_CONTACT "kvt developers <kvt@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "bench tool for the KV380 contactless reader chip")
# Lines of the package description stay under 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "kvt reads and writes the registers of a KV380 reader chip on an RS-232 port,\n\
runs command files, reads Korvex cards and records register accesses as\n\
tester vectors. kvt-cli is the tool without a window, kvt-sim a simulated\n\
chip on a pseudo-terminal, kvt the Qt window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# kvt_VERSION_ARCH.deb, with the dependencies found by dpkg-shlibdeps from the linked libraries.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "bash-completion")
include(CPack)
