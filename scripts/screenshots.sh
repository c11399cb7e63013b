#!/usr/bin/env bash
# Renders every window and page of the desktop program to PNG files under
# build/screenshots/, offscreen: both pages empty and filled, the File->MO page
# converting a file of another format, the project dialog, the Convert window mid-run,
# the About box, a message box, and the archive's dialog, its Convert window with the read figures and its result. The windows show a
# demo disk written by wavelorn-cli and a track exported from it.
# Usage: scripts/screenshots.sh [--windows]   (--windows: the same pictures from the
# Windows build in build-windows/ under wine, into build-windows/screenshots/; run
# scripts/test-windows.sh once first)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
windows=false
if [[ "${1:-}" == "--windows" ]]; then
    windows=true
    BUILD_DIR="${BUILD_DIR:-$ROOT/build-windows}"
fi
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
OUT="$BUILD_DIR/screenshots"

if [[ ! -f "$BUILD_DIR/CMakeCache.txt" ]]; then
    if $windows; then
        echo "no Windows build in $BUILD_DIR: run scripts/test-windows.sh first" >&2
        exit 1
    fi
    "$ROOT/scripts/setup.sh" "$BUILD_DIR"
fi
cmake --build "$BUILD_DIR" --parallel 2 --target wavelorn-cli wavelorn_screenshots

WORK="$(mktemp -d "${TMPDIR:-/tmp}/wavelorn-shots.XXXXXX")"
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$OUT"
if $windows; then
    # The programs as CTest runs them: with their DLLs through the build's wine-run, the
    # platform as an argument (wine hands no QT_* variable to the program), paths on
    # wine's drive Z:.
    export WINEPREFIX="$BUILD_DIR/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    run() { "$BUILD_DIR/wine-run" "$@"; }
    native() { echo "Z:${1//\//\\}"; }
    platform=(-platform offscreen)
    suffix=.exe
else
    run() { QT_QPA_PLATFORM=offscreen "$@"; }
    native() { echo "$1"; }
    platform=()
    suffix=""
fi
run "$BUILD_DIR/wavelorn-cli$suffix" demo "$(native "$WORK/disk")" >/dev/null 2>&1
run "$BUILD_DIR/wavelorn-cli$suffix" export "$(native "$WORK/disk")" --project 1 --tracks 1 \
    --out "$(native "$WORK/take.wav")" >/dev/null 2>&1
# A file of another format for the File->MO page to convert: stereo float at 96 kHz.
sox -n -r 96000 -c 2 -e floating-point -b 32 "$WORK/stereo96.wav" synth 0.5 sine 440
run "$BUILD_DIR/tests/wavelorn_screenshots$suffix" "${platform[@]}" "$(native "$WORK/disk")" \
    "$(native "$WORK/take11.wav")" "$(native "$WORK/stereo96.wav")" "$(native "$OUT")"
