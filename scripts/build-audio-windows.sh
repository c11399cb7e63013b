#!/usr/bin/env bash
# Builds libsndfile (with FLAC, and the Ogg, Vorbis and Opus libraries its FLAC support
# comes with) and libsoxr for 64-bit Windows from Debian's own source packages, at the
# versions of the -dev packages the Linux build uses, with Debian's mingw-w64. libsndfile
# and libsoxr become DLLs (shipped beside the programs with their licence texts); the
# codec libraries are linked into libsndfile's DLL. The install goes to a cache outside
# the checkout, one folder per set of versions and options below; a complete one is used
# as it is. Prints the install folder as its only line on stdout.
# Usage: scripts/build-audio-windows.sh   (AUDIO_BUILD_JOBS, default 2: parallel compile jobs)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$ROOT/scripts/windows-cache.sh"
JOBS="${AUDIO_BUILD_JOBS:-2}"
TOOLCHAIN="$ROOT/cmake/mingw-w64-x86_64.cmake"

# In build order: source package, the -dev package whose version it takes, its build
# system, options. Without programs, tests, documentation, stack protector (mingw-w64
# would need its libssp DLL, which it also needs for Opus's default _FORTIFY_SOURCE) and,
# in libsndfile, without the MPEG codecs. Opus builds
# with its configure script: its release lacks some of its CMake files.
STATIC="-DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF"
LIBRARIES=(
    "libogg libogg-dev cmake $STATIC -DINSTALL_DOCS=OFF"
    "flac libflac-dev cmake $STATIC -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOCS=OFF
        -DBUILD_CXXLIBS=OFF -DINSTALL_MANPAGES=OFF -DWITH_STACK_PROTECTOR=OFF"
    "libvorbis libvorbis-dev cmake $STATIC"
    "opus libopus-dev configure --disable-shared --enable-static --disable-doc --disable-extra-programs
        --disable-stack-protector CPPFLAGS=-D_FORTIFY_SOURCE=0"
    "libsndfile libsndfile1-dev cmake -DBUILD_SHARED_LIBS=ON -DBUILD_TESTING=OFF -DBUILD_PROGRAMS=OFF
        -DBUILD_EXAMPLES=OFF -DENABLE_CPACK=OFF -DENABLE_MPEG=OFF -DENABLE_EXTERNAL_LIBS=ON
        -DINSTALL_MANPAGES=OFF -DCMAKE_C_FLAGS=-DFLAC__NO_DLL"
    "libsoxr libsoxr-dev cmake -DBUILD_SHARED_LIBS=ON -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF
        -DWITH_OPENMP=OFF -DWITH_LSR_BINDINGS=OFF"
)
BUILD_PACKAGES=(dpkg-dev cmake ninja-build pkg-config make g++-mingw-w64-x86-64-posix wine wine64
    libogg-dev libflac-dev libvorbis-dev libopus-dev libsndfile1-dev libsoxr-dev)

"$ROOT/scripts/install-packages.sh" "${BUILD_PACKAGES[@]}" >&2

versions=()
for entry in "${LIBRARIES[@]}"; do
    read -r _ dev _ <<<"$entry"
    versions+=("$(dpkg-query -W -f='${source:Version}' "$dev")")
done
# The key leaves out where the checkout is: every clone of the project shares the build.
key="$( (printf '%s\n' "${versions[@]}" "${LIBRARIES[@]}" && cat "$TOOLCHAIN") | sha256sum | cut -c1-12)"
open_cache audio-win64 "$key"
started=$SECONDS
mkdir -p "$prefix/licenses"

# build_cmake NAME SOURCE OPTIONS...: one library through CMake. Each library finds the
# ones before it in the prefix, through CMake (the staging prefix is searched even where
# the toolchain searches the mingw-w64 root only) and pkg-config.
build_cmake() {
    local name="$1" source_dir="$2"
    shift 2
    run_logged "configure-$name" cmake -S "$source_dir" -B "$work/build-$name" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_STAGING_PREFIX="$prefix" \
        -DCMAKE_SHARED_LINKER_FLAGS=-static-libgcc "$@"
    run_logged "build-$name" cmake --build "$work/build-$name" --parallel "$JOBS"
    run_logged "install-$name" cmake --install "$work/build-$name"
}

# build_configure NAME SOURCE OPTIONS...: one library through its configure script.
build_configure() {
    local name="$1" source_dir="$2"
    shift 2
    mkdir -p "$work/build-$name"
    (cd "$work/build-$name" &&
        run_logged "configure-$name" "$source_dir/configure" --host=x86_64-w64-mingw32 --prefix="$prefix" "$@" &&
        run_logged "build-$name" make -j"$JOBS" &&
        run_logged "install-$name" make install)
}

export PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig" PKG_CONFIG_PATH=""
for i in "${!LIBRARIES[@]}"; do
    read -r package _ system options <<<"${LIBRARIES[$i]//$'\n'/ }"
    source_dir="$(fetch_source "$package" "${versions[$i]}")"
    log "building $package ${versions[$i]}"
    # shellcheck disable=SC2086  # the options are words
    "build_$system" "$package" "$source_dir" $options
    cp "$source_dir/debian/copyright" "$prefix/licenses/$package-copyright.txt"
done
for dll in sndfile soxr; do
    [[ -n "$(find "$prefix/bin" -iname "lib$dll*.dll")" ]] || { log "no DLL of lib$dll was built"; exit 1; }
done
find "$prefix/bin" -name '*.dll' -exec x86_64-w64-mingw32-strip --strip-unneeded {} +
log "libsndfile and libsoxr built in $((SECONDS - started)) s into $prefix"
close_cache "${versions[*]}"
