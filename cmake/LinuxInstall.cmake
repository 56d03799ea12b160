# Installation on Linux: `cmake --install` puts the programs into bin/ and the desktop entry and
# icons into share/; `cpack` makes a .deb of the same. Included from the top-level CMakeLists.txt
# after the programs are defined (add_subdirectory(src)) and before the tests, which check it.
if(WIN32)
    return()
endif()

include(GNUInstallDirs)

# The main program exists only where Qt was found; the simulator and r512ctl everywhere.
foreach(program R512 r512-sim r512ctl)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/docs/man/r512ctl.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/resources/linux/r512.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 32)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/icon/r512-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME r512.png)
endforeach()

# Read by tests/install: the install rules are there to be checked.
set(R512_LINUX_INSTALL_RULES ON)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME r512-control-software)
set(CPACK_PACKAGE_VENDOR ZEL)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Control software for the R512 surround processor")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "R512 Control Software developers")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
# The Qt libraries the programs link against become the package's dependencies.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
