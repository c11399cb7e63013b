#!/usr/bin/env bash
# Cuts a release from a clean work tree: runs the test command of the README
# (scripts/test.sh: installs what is missing, builds into build/, runs every test),
# builds the Debian package into build/ and checks it with lintian.
# Usage: scripts/release.sh        (BUILD_DIR=... to build elsewhere)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
cd "$ROOT"

if [[ -n "$(git status --porcelain --untracked-files=all)" ]]; then
    echo "release: the work tree is not clean; commit or remove these first:" >&2
    git status --short --untracked-files=all >&2
    exit 1
fi

BUILD_DIR="$BUILD_DIR" scripts/test.sh

version="$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$BUILD_DIR/CPackConfig.cmake")"
package="$BUILD_DIR/wavelorn_${version}_$(dpkg --print-architecture).deb"
rm -f "$package"
cpack -G DEB --config "$BUILD_DIR/CPackConfig.cmake" -B "$BUILD_DIR"
if [[ ! -f "$package" ]]; then
    echo "release: cpack wrote no $package" >&2
    exit 1
fi

# Errors and warnings stop the release. The project has not chosen a licence yet, so the
# package has no copyright file.
lintian --display-info --fail-on error,warning --suppress-tags no-copyright-file "$package"

echo "release: $package"
echo "install it with: sudo apt install $package"
