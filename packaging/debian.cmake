# The Debian package: cpack -G DEB in the build folder gives velmora_<version>_amd64.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "Ormel <ormel@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "workbench for testing RS-232 and RS-485 serial links")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Velmora sends a command as text or hexadecimal bytes through a serial port,
once or periodically, and shows what arrives on a second port (or the same
one) in text or hexadecimal form. It can also play the far end, answering an
expected command with a prepared reply, and captures the traffic into one
text file per day, which its viewer lists and shows.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared-library needs are read from the binaries; the window texts are Chinese.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CPACK_PACKAGING_INSTALL_PREFIX}/${VELMORA_PROGRAM_DIR})
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-noto-cjk)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_STRIP_FILES ON)
# Control files with the permissions dpkg and lintian expect.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
