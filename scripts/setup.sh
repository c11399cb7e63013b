#!/usr/bin/env bash
# Installs what the build needs (Debian 12), then configures and builds.
# Usage: scripts/setup.sh [build-dir] [extra cmake args...]
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${1:-$ROOT/build}"
shift || true

PACKAGES=(
    cmake g++ pkg-config make
    libgtest-dev libgmock-dev
    qt6-base-dev libgl-dev qt6-svg-dev
    libsndfile1-dev libsoxr-dev sox flac
    nlohmann-json3-dev libssl-dev
    libbenchmark-dev
    libcli11-dev
    clang libclang-rt-14-dev
    help2man dpkg-dev file lintian appstream desktop-file-utils
    fuse3 libfuse3-dev
    bsdutils zsh fish
)

"$ROOT/scripts/install-packages.sh" "${PACKAGES[@]}"

cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE="${CMAKE_BUILD_TYPE:-Release}" "$@" >/dev/null
cmake --build "$BUILD_DIR" --parallel "$(nproc)"
