# Installation into the usual places and a Debian package built with "cpack -G DEB".
include(GNUInstallDirs)

install(TARGETS curvalon RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/curvalon.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/curvalon.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Whoever builds the package maintains it: the name and address Debian's own tools use
# (DEBFULLNAME, DEBEMAIL), else the builder's account on this machine, which local mail reaches.
# -DCURVALON_MAINTAINER="Name <address>" sets it outright.
function(curvalon_default_maintainer out)
    set(name "$ENV{DEBFULLNAME}")
    set(mail "$ENV{DEBEMAIL}")
    if(name STREQUAL "")
        set(name "Curvalon developers")
    endif()
    if(mail STREQUAL "")
        cmake_host_system_information(RESULT host QUERY FQDN)
        set(user "$ENV{USER}")
        if(user STREQUAL "")
            set(user "curvalon")
        endif()
        set(mail "${user}@${host}")
    endif()
    set(${out} "${name} <${mail}>" PARENT_SCOPE)
endfunction()
curvalon_default_maintainer(default_maintainer)
set(CURVALON_MAINTAINER "${default_maintainer}"
    CACHE STRING "Maintainer named in the Debian package, its changelog and copyright file")

# The documents every Debian package carries, compressed as Debian keeps them.
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/curvalon)
configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright ${PROJECT_BINARY_DIR}/copyright @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog ${PROJECT_BINARY_DIR}/changelog @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/curvalon.1 ${PROJECT_BINARY_DIR}/curvalon.1 @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/copyright DESTINATION ${doc_dir})
find_program(GZIP gzip)
if(GZIP)
    foreach(doc changelog curvalon.1)
        add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/${doc}.gz
            COMMAND ${GZIP} -9 -n -c ${PROJECT_BINARY_DIR}/${doc} > ${PROJECT_BINARY_DIR}/${doc}.gz
            DEPENDS ${PROJECT_BINARY_DIR}/${doc} VERBATIM)
    endforeach()
    add_custom_target(compressed_docs ALL
        DEPENDS ${PROJECT_BINARY_DIR}/changelog.gz ${PROJECT_BINARY_DIR}/curvalon.1.gz)
    install(FILES ${PROJECT_BINARY_DIR}/changelog.gz DESTINATION ${doc_dir})
    install(FILES ${PROJECT_BINARY_DIR}/curvalon.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
    install(FILES ${PROJECT_BINARY_DIR}/changelog DESTINATION ${doc_dir})
    install(FILES ${PROJECT_BINARY_DIR}/curvalon.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(CPACK_PACKAGE_NAME curvalon)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${CURVALON_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Waveform reader and viewer for a digital oscilloscope")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The default build keeps debug information; users of the package do not need it.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_NAME curvalon)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CURVALON_MAINTAINER})
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
