# Installation on Linux: `cmake --install` puts the programs into bin/, their manual pages into
# share/man/man1, the desktop entry, the software-centre metadata and the icons into share/, and
# the copyright and changelog into share/doc; `cpack` makes a .deb of the same that Debian's
# package checker accepts. Included from the top-level CMakeLists.txt after the programs are
# defined (add_subdirectory(src)) and before the tests, which check it.
if(WIN32)
    return()
endif()

include(GNUInstallDirs)

set(R512_PACKAGE_NAME r512-control-software)
set(R512_LINUX_DIR ${PROJECT_SOURCE_DIR}/resources/linux)

# Every program a user runs, each with its manual page (docs/man/<program>.1).
set(R512_USER_PROGRAMS R512 r512-sim r512ctl r512d)

# Manual pages and the changelog are installed compressed, as Debian wants them; gzip -n keeps
# the archive free of time stamps, so the package is the same from one build to the next.
set(r512_compressed)
function(r512_gzip source output)
    add_custom_command(OUTPUT ${output}
        COMMAND gzip -9nc ${source} > ${output}
        DEPENDS ${source} VERBATIM)
    set(r512_compressed ${r512_compressed} ${output} PARENT_SCOPE)
endfunction()

foreach(program ${R512_USER_PROGRAMS})
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
        set(page ${CMAKE_BINARY_DIR}/man/${program}.1.gz)
        r512_gzip(${PROJECT_SOURCE_DIR}/docs/man/${program}.1 ${page})
        install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    endif()
endforeach()
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/man)

set(r512_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/${R512_PACKAGE_NAME})
r512_gzip(${R512_LINUX_DIR}/changelog ${CMAKE_BINARY_DIR}/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/changelog.gz ${R512_LINUX_DIR}/copyright
        DESTINATION ${r512_doc_dir})
add_custom_target(r512_compressed_docs ALL DEPENDS ${r512_compressed})

install(FILES ${R512_LINUX_DIR}/r512.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${R512_LINUX_DIR}/example.zel.r512.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 32)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/icon/r512-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME r512.png)
endforeach()

# r512d as a system service: its unit, which starts nothing until a port is named in its
# settings file, and that file, kept as the administrator edits it (a conffile). Both lie beside
# the prefix (/lib and /etc for the package's /usr), never at absolute paths: an install into a
# test prefix must not write into the machine's own /etc.
if(TARGET r512d)
    install(FILES ${R512_LINUX_DIR}/r512d.service DESTINATION ../lib/systemd/system)
    install(FILES ${R512_LINUX_DIR}/r512d.default DESTINATION ../etc/default RENAME r512d)
    install(FILES ${PROJECT_SOURCE_DIR}/docs/r512d-json-protocol.md DESTINATION ${r512_doc_dir})
    file(WRITE ${CMAKE_BINARY_DIR}/conffiles "/etc/default/r512d\n")
    set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/conffiles)
endif()

# Read by tests/install: the install rules are there to be checked.
set(R512_LINUX_INSTALL_RULES ON)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${R512_PACKAGE_NAME})
set(CPACK_PACKAGE_VENDOR ZEL)
set(CPACK_PACKAGE_CONTACT "R512 Control Software developers <r512-developers@zel.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "control software for the R512 surround processor")
set(CPACK_PACKAGE_DESCRIPTION
    "Shows the front panel of the R512, a home-cinema surround processor with a
second listening zone, and operates the device over its RS-232 port. The
buttons and the volume knob work as on the device, and the two-line display
follows every change, whether made on the screen, on the device or with its
remote control.
.
Menus switch the power, the sources, the tape monitor, the second zone and
the modes; the Control Panel shows every register of the device in one
window; small panels step the tone and the speaker levels; an editor changes
the source names and the messages stored in the device.
.
r512ctl operates the device from scripts: its status, any key, settings
followed until the device reports them, the names memory. A serial-to-Ethernet
bridge is reached by the port name socket://HOST:PORT.
.
r512d owns the device's port and shares it: the desktop program, r512ctl and
scripts (one JSON object a line) use the device at the same time, within a
volume cap and an allow-list; a systemd unit runs it as a service.
.
r512-sim plays the device on a pseudo-terminal, for trying the program
without one.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://zel.example/r512/)
# No debugging symbols in the package: users install the programs, not their sources.
set(CPACK_STRIP_FILES ON)
# The Qt libraries the programs link against become the package's dependencies.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
