#!/usr/bin/env bash
# Sets up the machine, builds everything, then shows the tool at work on a demo
# disk: writes it, lists it, exports tracks to WAVE files, imports them back as a
# new project and shows the new project's lines in FNB.TXT.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="$ROOT/build"
"$ROOT/scripts/setup.sh" "$BUILD_DIR"

CLI="$BUILD_DIR/wavelorn-cli"
WORK="$(mktemp -d "${TMPDIR:-/tmp}/wavelorn-demo.XXXXXX")"
DISK="$WORK/disk"
EXPORTED="$WORK/exported"
mkdir -p "$EXPORTED"

step() { printf '\n== %s\n' "$*"; }

step "wavelorn-cli demo $DISK"
"$CLI" demo "$DISK"

step "wavelorn-cli list $DISK"
"$CLI" list "$DISK"

step "Export project 01, tracks 1 and 2, one WAVE file per track"
"$CLI" export "$DISK" --project 1 --tracks 1,2 --out "$EXPORTED/demo.wav"

step "Export project 03, tracks 1 and 3, as one stereo WAVE file"
"$CLI" export "$DISK" --project 3 --tracks 1,3 --stereo --out "$EXPORTED/stereo.wav"

step "Import the two mono files back as a new project (Track 1 and Track 2)"
"$CLI" import "$DISK" --name "Round Trip" "$EXPORTED/demo11.wav" "$EXPORTED/demo21.wav"

step "FNB.TXT now describes the new project (the recorder takes it over; FNB.BIN is never written)"
tr -d '\000' <"$DISK/FNB.TXT" | sed 's/\r$//'

step "Where everything is"
echo "Command-line tool: $CLI"
echo "Demo disk:         $DISK"
echo "Exported files:    $EXPORTED"
ls -l "$EXPORTED"

step "The desktop program"
GUI="$BUILD_DIR/wavelorn"
if [[ -t 1 && ( -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ) ]]; then
    echo "Starting $GUI on the demo disk in the background"
    nohup "$GUI" "$DISK" >/dev/null 2>&1 &
else
    echo "Start it with: $GUI $DISK"
    echo "(without a folder it asks for the MO disk with a folder browser)"
fi
