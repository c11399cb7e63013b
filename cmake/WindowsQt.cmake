# The desktop program's Qt in the cross build: the DLL build scripts/build-qt-windows.sh
# makes, found through Qt's own toolchain file (see scripts/test-windows.sh), with the
# C++ runtime beside its DLLs in Qt's bin folder, which Qt then finds its plugins from.
# Wine hands no QT_* variable to a Windows program: the GUI tests name their platform on
# the command line (tests/gui/RunUnderWine.cmake).
find_package(Qt6 REQUIRED COMPONENTS Widgets)
set(WAVELORN_QT_BIN_DIR "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}")
# The runtime DLLs the Qt DLLs need, as scripts/build-qt-windows.sh puts them there.
set(WAVELORN_QT_RUNTIME_DLLS libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
