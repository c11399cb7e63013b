#!/usr/bin/env bash
# Builds Qt (Core, Gui, Widgets, Test and the platform plugins) for 64-bit Windows as DLLs
# from Debian's own qt6-base source, with Debian's mingw-w64 and the host tools of
# qt6-base-dev-tools. The install goes to a cache outside the checkout, one folder per Qt
# version and set of options below; a complete one is used as it is, without a build.
# Prints the install folder (the prefix for CMAKE_PREFIX_PATH) as its only line on stdout.
# Usage: scripts/build-qt-windows.sh   (QT_BUILD_JOBS, default 2: parallel compile jobs)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
CACHE="${XDG_CACHE_HOME:-$HOME/.cache}/wavelorn"
JOBS="${QT_BUILD_JOBS:-2}"
SOURCE_PACKAGE=qt6-base
HOST_TOOLS_PACKAGE=qt6-base-dev-tools

# What Wavelorn needs and nothing more: Qt's own copies of the image, font and regex
# libraries, no modules beyond Core, Gui, Widgets and Test, no Direct2D platform plugin.
# Debian's source lacks the tablet headers, hence no tablet events.
CONFIGURE_OPTIONS=(
    -release -shared -opensource -confirm-license
    -xplatform win32-g++ -qt-host-path /usr
    -nomake examples -nomake tests
    -qt-zlib -qt-libpng -qt-libjpeg -qt-freetype -qt-harfbuzz -qt-pcre -no-icu
    -no-opengl -no-dbus -no-vulkan
    -no-feature-sql -no-feature-network -no-feature-printsupport -no-feature-concurrent
    -no-feature-xml -no-feature-tabletevent -no-feature-direct2d1_1
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

log() { echo "build-qt-windows: $*" >&2; }

# apt-get source needs the source indexes; a clean Debian 12 lists only the binary ones.
enable_sources() {
    if apt-cache showsrc "$SOURCE_PACKAGE" 2>/dev/null | grep -q '^Package:'; then
        return
    fi
    log "enabling deb-src for bookworm"
    local sudo=""
    [[ $(id -u) -ne 0 ]] && sudo=sudo
    $sudo tee /etc/apt/sources.list.d/wavelorn-deb-src.sources >/dev/null <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
    $sudo apt-get update >&2
}

"$ROOT/scripts/install-packages.sh" "${BUILD_PACKAGES[@]}" >&2

# The source must be the version of the host tools: Debian's version of both, and the key.
version="$(dpkg-query -W -f='${source:Version}' "$HOST_TOOLS_PACKAGE")"
# The key leaves out where the checkout is: every clone of the project shares the build.
key="$( (printf '%s\n' "$version" "${CONFIGURE_OPTIONS[@]}" "${CMAKE_OPTIONS[@]#*cmake/}" && cat "$TOOLCHAIN") |
    sha256sum | cut -c1-12)"
upstream="${version%%+*}"
prefix="$CACHE/qt-$upstream-win64-$key"
stamp="$prefix/.complete"
# One build at a time: a second run waits for the first and then finds its cache.
mkdir -p "$CACHE"
exec {lock}>"$CACHE/.lock"
flock "$lock"
if [[ -f "$stamp" ]]; then
    echo "$prefix"
    exit 0
fi

work="$CACHE/work-$key"
rm -rf "$work" "$prefix"
mkdir -p "$work/source"
started=$SECONDS
enable_sources
log "fetching $SOURCE_PACKAGE $version"
(cd "$work/source" && apt-get source -q "$SOURCE_PACKAGE=$version" >"$work/source.log" 2>&1) || {
    tail -20 "$work/source.log" >&2
    exit 1
}
source_dir="$(find "$work/source" -mindepth 1 -maxdepth 1 -type d -name "${SOURCE_PACKAGE}-*" | head -1)"

mkdir -p "$work/build"
log "configuring Qt $upstream for x86_64-w64-mingw32 (log: $work/configure.log)"
(cd "$work/build" && "$source_dir/configure" -prefix "$prefix" "${CONFIGURE_OPTIONS[@]}" -- "${CMAKE_OPTIONS[@]}" \
    >"$work/configure.log" 2>&1) || {
    tail -40 "$work/configure.log" >&2
    exit 1
}
log "building with $JOBS jobs (log: $work/build.log)"
cmake --build "$work/build" --parallel "$JOBS" >"$work/build.log" 2>&1 || {
    grep -B2 -A10 -m3 -E 'error|FAILED' "$work/build.log" >&2 || tail -40 "$work/build.log" >&2
    exit 1
}
cmake --install "$work/build" >"$work/install.log" 2>&1 || {
    tail -20 "$work/install.log" >&2
    exit 1
}
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
echo "$version" >"$stamp"
rm -rf "$work"
log "Qt $upstream built in $((SECONDS - started)) s into $prefix"
echo "$prefix"
