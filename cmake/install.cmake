# What `cmake --install` puts next to the programs (each program installs from its folder), and
# the Debian package that `cpack -G DEB` (or `make package`) builds from the same rules.
include(GNUInstallDirs)

install(DIRECTORY examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
install(FILES README.md LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kvt)
set(CPACK_PACKAGE_VENDOR "kvt")
set(CPACK_PACKAGE_CONTACT "kvt developers <kvt@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "bench tool for the KV380 contactless reader chip")
set(CPACK_PACKAGE_DESCRIPTION
    "kvt reads and writes the registers of a KV380 reader chip on an RS-232 port, runs command \
files, reads Korvex cards and records register accesses as tester vectors. kvt-cli is the tool \
without a window, kvt-sim a simulated chip on a pseudo-terminal, kvt the Qt window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# kvt_VERSION_ARCH.deb, with the dependencies found by dpkg-shlibdeps from the linked libraries.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "bash-completion")
include(CPack)
