# The Linux command-line tool as installed and as a Debian package: the
# program in bin, its manual page in man1. The package's dependencies are
# the shared libraries the program links, as dpkg-shlibdeps finds them.
include(GNUInstallDirs)

install(TARGETS tidewell-report RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Manual pages are installed compressed, as Debian's policy has them.
set(TIDEWELL_MANUAL ${CMAKE_CURRENT_BINARY_DIR}/tidewell-report.1.gz)
add_custom_command(OUTPUT ${TIDEWELL_MANUAL}
    COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/docs/tidewell-report.1 > ${TIDEWELL_MANUAL}
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/tidewell-report.1
    COMMENT "Compressing the manual page")
add_custom_target(tidewell_manual ALL DEPENDS ${TIDEWELL_MANUAL})
install(FILES ${TIDEWELL_MANUAL} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/README.md
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/tidewell-report)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tidewell-report)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Tidewell)
set(CPACK_PACKAGE_CONTACT "Tidewell developers <tidewell@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "report which programs a Windows machine started, and what could not be read")
set(CPACK_PACKAGE_DESCRIPTION
    "tidewell-report reads the records a Windows system drive keeps of program starts from \
a collected folder, a Velociraptor collection or a disk image with its shadow copies, and \
writes a CSV, JSON or timeline report whose header states what could and could not be read.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_INSTALL_DIRECTORY /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
