# What Windows users download, made by `cpack` in the cross build: wavelorn-<version>-win64.zip
# (unpack anywhere and run) and wavelorn-<version>-win64-setup.exe, an NSIS installer with a
# Start-menu entry and an uninstaller. Both hold wavelorn-cli.exe (the C++ runtime linked
# in), the DLLs of libsndfile and libsoxr both programs load, wavelorn.exe with the Qt DLLs
# and plugins it loads and the C++ runtime those need, the licence texts of all of them,
# and README.txt.
install(FILES "${PROJECT_SOURCE_DIR}/cmake/package/windows/README.txt" DESTINATION .)
set(CPACK_GENERATOR ZIP)

if(WAVELORN_AUDIO_PREFIX)
    file(GLOB audio_dlls "${WAVELORN_AUDIO_PREFIX}/bin/*.dll")
    install(FILES ${audio_dlls} DESTINATION .)
    install(DIRECTORY "${WAVELORN_AUDIO_PREFIX}/licenses/" DESTINATION licenses)
endif()

if(TARGET wavelorn)
    install(FILES $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets> DESTINATION .)
    foreach(dll IN LISTS WAVELORN_QT_RUNTIME_DLLS)
        install(FILES "${WAVELORN_QT_BIN_DIR}/${dll}" DESTINATION .)
    endforeach()
    # Qt looks for its plugins below the prefix qt.conf names: the program's own folder,
    # never the folder above it.
    set(qt_conf "${PROJECT_BINARY_DIR}/package/qt.conf")
    file(WRITE "${qt_conf}" "[Paths]\nPrefix = .\n")
    install(FILES "${qt_conf}" DESTINATION .)
    install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION plugins/platforms)
    install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION plugins/styles)
    install(DIRECTORY "${QT6_INSTALL_PREFIX}/licenses/" DESTINATION licenses)

    list(APPEND CPACK_GENERATOR NSIS64)
    set(CPACK_PACKAGE_VENDOR Wavelorn)
    set(CPACK_PACKAGE_INSTALL_DIRECTORY Wavelorn)
    set(CPACK_PACKAGE_EXECUTABLES wavelorn Wavelorn)  # the Start-menu entry
    set(CPACK_NSIS_PACKAGE_NAME Wavelorn)
    set(CPACK_NSIS_DISPLAY_NAME "Wavelorn ${PROJECT_VERSION}")
    set(CPACK_NSIS_MUI_ICON "${WAVELORN_ICON_FILE}")
    set(CPACK_NSIS_MUI_UNIICON "${WAVELORN_ICON_FILE}")
    set(CPACK_NSIS_INSTALLED_ICON_NAME wavelorn.exe)
    set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
    set(CPACK_NSIS_UNINSTALL_NAME Uninstall)
    set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
    # A 64-bit installer for the 64-bit programs (NSIS makes 32-bit ones unless told),
    # which wine64 also runs without 32-bit wine.
    set(CPACK_NSIS_DEFINES "  Target amd64-unicode")
    # The installer's own name ends in -setup (see the file).
    set(CPACK_PROJECT_CONFIG_FILE "${PROJECT_SOURCE_DIR}/cmake/package/windows/CPackOptions.cmake")
endif()

set(CPACK_PACKAGE_NAME wavelorn)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_FILE_NAME "wavelorn-${PROJECT_VERSION}-win64")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES ON)
include(CPack)
