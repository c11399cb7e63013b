#!/usr/bin/env bash
# Builds Qt (Core, Gui, Widgets, Test and the platform plugins) for 64-bit Windows as DLLs
# from Debian's own qt6-base source, with Debian's mingw-w64 and the host tools of
# qt6-base-dev-tools. The install goes to a cache outside the checkout, one folder per Qt
# version and set of options below; a complete one is used as it is, without a build.
# Prints the install folder (the prefix for CMAKE_PREFIX_PATH) as its only line on stdout.
# Usage: scripts/build-qt-windows.sh   (QT_BUILD_JOBS, default 2: parallel compile jobs)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$ROOT/scripts/windows-cache.sh"
JOBS="${QT_BUILD_JOBS:-2}"
SOURCE_PACKAGE=qt6-base
HOST_TOOLS_PACKAGE=qt6-base-dev-tools

# What Wavelorn needs and nothing more: Qt's own copies of the PNG, font and regex
# libraries, no modules beyond Core, Gui, Widgets and Test, no Direct2D platform plugin,
# no JPEG or GIF reader and no PDF writer. Debian's source lacks the tablet headers,
# hence no tablet events. Optimised for size: smaller DLLs to download, and a shorter
# build on CI, where a machine without the cache builds all of it.
CONFIGURE_OPTIONS=(
    -release -shared -opensource -confirm-license -optimize-size
    -xplatform win32-g++ -qt-host-path /usr
    -nomake examples -nomake tests
    -qt-zlib -qt-libpng -no-libjpeg -no-gif -qt-freetype -qt-harfbuzz -qt-pcre -no-icu
    -no-opengl -no-dbus -no-vulkan
    -no-feature-sql -no-feature-network -no-feature-printsupport -no-feature-concurrent
    -no-feature-xml -no-feature-tabletevent -no-feature-direct2d1_1 -no-feature-pdf
)
# The project's own cross compiler (mingw-w64 with posix threads); the host tools' CMake
# files where Debian keeps them.
TOOLCHAIN="$ROOT/cmake/mingw-w64-x86_64.cmake"
CMAKE_OPTIONS=(
    -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN"
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
)
RUNTIME_DLLS=(libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
BUILD_PACKAGES=(
    dpkg-dev cmake ninja-build perl python3 xz-utils fonts-dejavu-core
    g++-mingw-w64-x86-64-posix "$HOST_TOOLS_PACKAGE" qt6-base-dev
)

"$ROOT/scripts/install-packages.sh" "${BUILD_PACKAGES[@]}" >&2

# The source must be the version of the host tools: Debian's version of both, and the key.
version="$(dpkg-query -W -f='${source:Version}' "$HOST_TOOLS_PACKAGE")"
# The key leaves out where the checkout is: every clone of the project shares the build.
key="$( (printf '%s\n' "$version" "${CONFIGURE_OPTIONS[@]}" "${CMAKE_OPTIONS[@]#*cmake/}" && cat "$TOOLCHAIN") |
    sha256sum | cut -c1-12)"
upstream="${version%%+*}"
open_cache "qt-$upstream-win64" "$key"
started=$SECONDS
source_dir="$(fetch_source "$SOURCE_PACKAGE" "$version")"

mkdir -p "$work/build"
log "configuring Qt $upstream for x86_64-w64-mingw32 (log: $work/configure.log)"
(cd "$work/build" && run_logged configure "$source_dir/configure" -prefix "$prefix" "${CONFIGURE_OPTIONS[@]}" -- "${CMAKE_OPTIONS[@]}")
log "building with $JOBS jobs (log: $work/build.log)"
run_logged build cmake --build "$work/build" --parallel "$JOBS"
run_logged install cmake --install "$work/build"
# Qt's licence texts travel with its DLLs, and so do the C++ runtime's, whose DLLs go
# beside Qt's: programs run from Qt's bin folder as they would from an unpacked zip.
mkdir -p "$prefix/licenses"
cp "$source_dir"/LICENSES/* "$prefix/licenses/"
cp "$source_dir/debian/copyright" "$prefix/licenses/qt6-base-copyright.txt"
for dll in "${RUNTIME_DLLS[@]}"; do
    file="$(realpath "$(x86_64-w64-mingw32-g++-posix -print-file-name="$dll")")"
    cp "$file" "$prefix/bin/"
    package="$(dpkg-query -S "$file" | cut -d: -f1)"
    cp "/usr/share/doc/$package/copyright" "$prefix/licenses/$package-copyright.txt"
done
# The DLLs without their symbols and debugging sections: they are shipped, and a third
# of the size to download.
find "$prefix/bin" "$prefix/plugins" -name '*.dll' -exec x86_64-w64-mingw32-strip --strip-unneeded {} +
# Qt ships no fonts, and its offscreen platform on Windows reads them from lib/fonts: the
# GUI tests and the screenshots under wine draw their text with Debian's DejaVu Sans.
mkdir -p "$prefix/lib/fonts"
cp /usr/share/fonts/truetype/dejavu/DejaVuSans*.ttf "$prefix/lib/fonts/"
log "Qt $upstream built in $((SECONDS - started)) s into $prefix"
close_cache "$version"
