#!/usr/bin/env bash
# Renders every window and page of the desktop program to PNG files under
# build/screenshots/, offscreen: both pages empty and filled, the File->MO page
# converting a file of another format, the project dialog, the Convert window mid-run, the About box, a message box, and the archive's dialog,
# its Convert window with the read figures and its result. The windows show a
# demo disk written by wavelorn-cli and a track exported from it.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
OUT="$BUILD_DIR/screenshots"

if [[ ! -f "$BUILD_DIR/CMakeCache.txt" ]]; then
    "$ROOT/scripts/setup.sh" "$BUILD_DIR"
fi
cmake --build "$BUILD_DIR" --parallel "$(nproc)" --target wavelorn-cli wavelorn_screenshots

WORK="$(mktemp -d "${TMPDIR:-/tmp}/wavelorn-shots.XXXXXX")"
trap 'rm -rf "$WORK"' EXIT
"$BUILD_DIR/wavelorn-cli" demo "$WORK/disk" >/dev/null 2>&1
"$BUILD_DIR/wavelorn-cli" export "$WORK/disk" --project 1 --tracks 1 --out "$WORK/take.wav" >/dev/null 2>&1
# A file of another format for the File->MO page to convert: stereo float at 96 kHz.
sox -n -r 96000 -c 2 -e floating-point -b 32 "$WORK/stereo96.wav" synth 0.5 sine 440

mkdir -p "$OUT"
QT_QPA_PLATFORM=offscreen "$BUILD_DIR/tests/wavelorn_screenshots" "$WORK/disk" "$WORK/take11.wav" "$WORK/stereo96.wav" "$OUT"
