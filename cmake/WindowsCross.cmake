# The cross build for 64-bit Windows: the libraries built for it from Debian's source
# (scripts/build-audio-windows.sh and scripts/build-qt-windows.sh, each into its own
# prefix), and how the build's programs run under wine with their DLLs.
set(WAVELORN_AUDIO_PREFIX "" CACHE PATH "Where scripts/build-audio-windows.sh installed libsndfile and libsoxr")
set(dll_dirs "")
if(WAVELORN_AUDIO_PREFIX)
    # convert/ finds the libraries there, as in the mingw-w64 root.
    list(APPEND CMAKE_FIND_ROOT_PATH "${WAVELORN_AUDIO_PREFIX}")
    list(APPEND dll_dirs "${WAVELORN_AUDIO_PREFIX}/bin")
endif()
if(WAVELORN_GUI AND NOT WAVELORN_FUZZ)
    include(cmake/WindowsQt.cmake)
    list(APPEND dll_dirs "${WAVELORN_QT_BIN_DIR}")
endif()

# Programs of the build that run under wine (the icon writer, the tests, the screenshots)
# go through wine-run, which hands wine those folders as WINEPATH (paths of wine's drive
# Z:, the root of the host's file system).
list(TRANSFORM dll_dirs PREPEND "Z:")
set(WAVELORN_WINEPATH "${dll_dirs}")  # a list: its ; is also the separator of WINEPATH
set(WAVELORN_WINE "${CMAKE_CROSSCOMPILING_EMULATOR}")
set(WAVELORN_WINE_RUN "${CMAKE_BINARY_DIR}/wine-run")
configure_file("${CMAKE_CURRENT_LIST_DIR}/wine-run.in" "${WAVELORN_WINE_RUN}" @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${WAVELORN_WINE_RUN}")
