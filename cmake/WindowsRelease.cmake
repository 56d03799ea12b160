# The Windows release: R512.exe, Setup.exe and uninstall.exe side by side in one folder, which a
# user unpacks and then runs Setup.exe in (the programs are linked statically: nothing else is
# needed). After building build-win:
#   cmake --install build-win --prefix FOLDER      the release folder
#   cmake --build build-win --target package       the same three files as R512-<version>-windows.zip
# Only these three are installed: the tests and tools of the build install nothing.
install(TARGETS R512 setup uninstall RUNTIME DESTINATION . COMPONENT release)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME R512)
set(CPACK_PACKAGE_VENDOR ZEL)
set(CPACK_PACKAGE_FILE_NAME "R512-${PROJECT_VERSION}-windows")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_COMPONENTS_ALL release)
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
include(CPack)
