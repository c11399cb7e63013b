# The desktop program's Qt in the cross build: the DLL build scripts/build-qt-windows.sh
# makes, found through Qt's own toolchain file (see scripts/test-windows.sh), with the
# C++ runtime beside its DLLs in Qt's bin folder. Programs of the build that run under
# wine (the icon writer, the tests) find those DLLs through WINEPATH, and Qt then finds
# its plugins in its own prefix. Wine hands no QT_* variable to a Windows program: the
# GUI tests name their platform on the command line (tests/gui/RunUnderWine.cmake).
find_package(Qt6 REQUIRED COMPONENTS Widgets)
set(WAVELORN_QT_BIN_DIR "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}")
# The runtime DLLs the Qt DLLs need, as scripts/build-qt-windows.sh puts them there.
set(WAVELORN_QT_RUNTIME_DLLS libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
set(WAVELORN_WINE "${CMAKE_CROSSCOMPILING_EMULATOR}")
# As a path of wine's drive Z:, the root of the host's file system.
set(WAVELORN_WINEPATH "Z:${WAVELORN_QT_BIN_DIR}" CACHE INTERNAL "WINEPATH of the programs that use Qt")
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_COMMAND};-E;env;WINEPATH=${WAVELORN_WINEPATH};${WAVELORN_WINE}")
