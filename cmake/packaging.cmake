# Installation into the usual places and a Debian package built with "cpack -G DEB".
include(GNUInstallDirs)

install(TARGETS curvalon RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/curvalon.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/curvalon.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CURVALON_PACKAGE_CONTACT "Curvalon developers <curvalon@example.org>"
    CACHE STRING "Maintainer named in the Debian package")

set(CPACK_PACKAGE_NAME curvalon)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${CURVALON_PACKAGE_CONTACT})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Waveform reader and viewer for a digital oscilloscope")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The default build keeps debug information; users of the package do not need it.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_NAME curvalon)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CURVALON_PACKAGE_CONTACT})
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# CPack puts the summary above this text and indents it as the control file wants.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Curvalon reads the settings and waveform records of a four-channel digital
oscilloscope over a serial port and redraws them, with zoom, stored
references and a readout of the instrument's settings. Without an instrument
it shows demo waveforms.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its window-system plugin at run time, so no linked library pulls it in; without it
# the window cannot open.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)

include(CPack)
