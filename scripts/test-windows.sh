#!/usr/bin/env bash
# The Windows leg: cross-builds the whole project for 64-bit Windows into build-windows/
# (Qt from scripts/build-qt-windows.sh, built once into its cache), runs every engine,
# command-line and GUI test under wine, makes the zip and the installer, checks that they
# hold every DLL their programs need beyond the system's, installs and uninstalls with
# the installer, starts the desktop program from the zip on a display (Xvfb) and checks
# its main window appears, and runs the tool on folders given as Windows paths, relative
# paths and Linux-style paths.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build-windows}"
started=$SECONDS

"$ROOT/scripts/install-packages.sh" cmake make g++-mingw-w64-x86-64-posix wine wine64 bsdutils \
    libgtest-dev libgmock-dev libcli11-dev nlohmann-json3-dev nsis xvfb x11-utils sox

audio="$("$ROOT/scripts/build-audio-windows.sh")"
qt="$("$ROOT/scripts/build-qt-windows.sh")"
libraries_ready=$SECONDS
# Only the first configure reads the toolchain file, and the libraries found stay in the
# cache: a build folder made with other ones (or before the desktop program was built for
# Windows) starts afresh.
toolchain="$qt/lib/cmake/Qt6/qt.toolchain.cmake"
if [[ -f "$BUILD_DIR/CMakeCache.txt" ]] &&
    ! { grep -qx "CMAKE_TOOLCHAIN_FILE:[A-Z]*=$toolchain" "$BUILD_DIR/CMakeCache.txt" &&
        grep -qx "WAVELORN_AUDIO_PREFIX:[A-Z]*=$audio" "$BUILD_DIR/CMakeCache.txt"; }; then
    rm -rf "$BUILD_DIR"
fi

# One wine prefix inside the build, one wineserver for the whole run (the build runs
# the icon writer under wine too).
export WINEPREFIX="$BUILD_DIR/wine"
export WINEDEBUG=-all
# No .NET or HTML engine to install, and no menu entries of the host for what the
# installer adds to the Start menu.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mkdir -p "$WINEPREFIX"
scratch="$(mktemp -d /tmp/wavelorn-windows.XXXXXX)"
drive_link=""
finish() {
    [[ -n "$drive_link" ]] && rm -f "$drive_link"
    wineserver -k 2>/dev/null || true
    rm -rf "$scratch"
}
trap finish EXIT
wineserver -p
wine cmd /c exit >/dev/null 2>&1 || true  # creates the prefix on first use

# Qt's toolchain file finds Qt in the target's root and chains to the project's own.
cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DWAVELORN_AUDIO_PREFIX="$audio" -DCMAKE_BUILD_TYPE=Release -DWAVELORN_BENCH=OFF >/dev/null
cmake --build "$BUILD_DIR" --parallel 2

# A spare drive letter for the drive-root tests, mapped to an empty folder (never Z:\).
mkdir -p "$scratch/drive"
for letter in w v u t s r q p; do
    if [[ ! -e "$WINEPREFIX/dosdevices/$letter:" ]]; then
        drive_link="$WINEPREFIX/dosdevices/$letter:"
        ln -s "$scratch/drive" "$drive_link"
        export WAVELORN_TEST_DRIVE="${letter^^}:"
        break
    fi
done

# Under load, wine now and then fails to start a program (a test then ends at once
# without a line of output, or its child process never starts): a failed test runs
# once more, and one that fails twice fails the leg.
ctest --test-dir "$BUILD_DIR" -j2 --output-on-failure --repeat until-pass:2

# The zip and the installer.
(cd "$BUILD_DIR" && cpack >/dev/null)
version="$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$BUILD_DIR/CPackConfig.cmake")"
zip="$BUILD_DIR/wavelorn-$version-win64.zip"
setup="$BUILD_DIR/wavelorn-$version-win64-setup.exe"
for package in "$zip" "$setup"; do
    [[ -f "$package" ]] || { echo "missing $package" >&2; exit 1; }
done
mkdir -p "$scratch/zip"
(cd "$scratch/zip" && cmake -E tar xf "$zip")
for file in wavelorn-cli.exe wavelorn.exe README.txt qt.conf plugins/platforms/qwindows.dll licenses/LGPL-3.0-only.txt; do
    [[ -f "$scratch/zip/$file" ]] || { echo "the zip lacks $file" >&2; exit 1; }
done

# The DLLs a program or DLL of the zip imports.
imports() { x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p' | tr '[:upper:]' '[:lower:]' | sort -u; }
# The DLLs wavelorn-cli.exe may import: the system's own and the sound libraries beside
# it; and those Qt's DLLs and plugins import besides, all part of every Windows since 10.
cli_system_dlls="kernel32.dll msvcrt.dll bcrypt.dll advapi32.dll user32.dll shell32.dll ws2_32.dll"
cli_dlls="$cli_system_dlls libsndfile.dll libsoxr.dll"
system_dlls="$cli_system_dlls gdi32.dll ole32.dll oleaut32.dll comdlg32.dll imm32.dll winmm.dll uxtheme.dll
    dwmapi.dll shlwapi.dll version.dll netapi32.dll userenv.dll mpr.dll authz.dll d3d9.dll d3d11.dll dxgi.dll
    d2d1.dll dwrite.dll setupapi.dll wtsapi32.dll shcore.dll"
listed() { [[ "$1" == api-ms-win-* ]] || grep -qxF "$1" < <(tr -s ' \n' '\n' <<<"$2"); }
exe="$scratch/zip/wavelorn-cli.exe"
while read -r dll; do
    listed "$dll" "$cli_dlls" || { echo "wavelorn-cli.exe needs a DLL that is neither the system's nor libsndfile's or libsoxr's: $dll" >&2; exit 1; }
done < <(imports "$exe")
shipped="$(find "$scratch/zip" -iname '*.dll' -printf '%f\n' | tr '[:upper:]' '[:lower:]')"
while read -r module; do
    while read -r dll; do
        listed "$dll" "$shipped $system_dlls" ||
            { echo "${module#"$scratch/zip/"} needs $dll, which is neither in the zip nor the system's" >&2; exit 1; }
    done < <(imports "$module")
done < <(find "$scratch/zip" -iname '*.exe' -o -iname '*.dll')

# The tool from the zip on one disk named three ways: Z:\..., relative, /tmp/....
cli() { wine "$exe" "$@" 2>"$scratch/err" | tr -d '\r'; }
expect_list() {
    local listed
    listed="$(cli list "$1")"
    [[ "$(echo "$listed" | head -1)" == $'01 : Sine Demo\t44.1KHz\t16bit' ]] || {
        echo "list $1 gave: $listed $(cat "$scratch/err")" >&2
        exit 1
    }
}
work="$scratch/paths"
mkdir -p "$work"
windows_work="Z:${work//\//\\}"
cli demo "$windows_work\\disk" >/dev/null
[[ -f "$work/disk/FNB.BIN" ]] || { echo "demo on a Windows path wrote nothing" >&2; exit 1; }
expect_list "$windows_work\\disk"
expect_list "$work/disk"
(cd "$work" && expect_list disk)
cli export "$windows_work\\disk" --project 1 --tracks 1 --out "$windows_work\\win" >/dev/null
cli export "$work/disk" --project 1 --tracks 1 --out "$work/linux" >/dev/null
(cd "$work" && cli export disk --project 1 --tracks 1 --out relative >/dev/null)
for name in win linux relative; do
    [[ -s "$work/${name}11.wav" ]] || { echo "export to $name wrote nothing" >&2; exit 1; }
done
cmp "$work/win11.wav" "$work/linux11.wav"
cmp "$work/win11.wav" "$work/relative11.wav"
# Each import takes the next project number (the recorder has not taken them over yet).
imported="$(cli import "$windows_work\\disk" --name Win "$windows_work\\win11.wav" | head -1)"
imported+=" $(cli import "$work/disk" --name Linux "$work/linux11.wav" | head -1)"
imported+=" $(cd "$work" && cli import disk --name Relative relative11.wav | head -1)"
[[ "$imported" == "04 05 06" ]] || { echo "the imports gave projects $imported" >&2; exit 1; }
grep -q "SNGSERIAL: 06" "$work/disk/FNB.TXT" || { echo "FNB.TXT lacks the third import" >&2; exit 1; }

# The sound libraries beside the tool: a 96 kHz stereo float file imported as its left
# channel onto Track 2 (a 48 kHz 24-bit project, as on Linux), and a FLAC export that
# holds the samples of the WAVE export.
sox -n -r 96000 -c 2 -e floating-point -b 32 "$work/float.wav" synth 1 sine 440 sine 660 gain -3
[[ "$(cli import "$windows_work\\disk" --name Float "2=$windows_work\\float.wav:left" | head -1)" == 07 ]] ||
    { echo "the import of a stereo float file failed: $(cat "$scratch/err")" >&2; exit 1; }
grep -q "Track 2: .*float.wav: 96 kHz stereo float: left channel, resampled to 48 kHz, 24 bit" "$scratch/err" ||
    { echo "the converting import said: $(cat "$scratch/err")" >&2; exit 1; }
cli export "$windows_work\\disk" --project 1 --tracks 1 --out "$windows_work\\flac.flac" >/dev/null
cmp <(sox "$work/flac11.flac" -t raw -) <(sox "$work/win11.wav" -t raw -) ||
    { echo "the FLAC export differs from the WAVE export" >&2; exit 1; }

# On a console (wine makes one of the terminal script(1) gives it) the export draws its
# bar; redirected, it draws none (the tests check that side).
script -qfec "wine '$exe' export '$windows_work\\disk' --project 1 --tracks 1,2 --stereo --out '$windows_work\\bar.wav'" \
    "$scratch/console" >/dev/null 2>&1 || true
# wine's console paints with escape sequences, a space at times as a cursor move: compare
# the text without them.
sed 's/\x1b\[[0-9;?]*[A-Za-z]//g; s/ //g' "$scratch/console" | grep -q '#\]100%' ||
    { echo "no progress bar on the console: $(cat -v "$scratch/console")" >&2; exit 1; }

# The installer, silent: the files, the Start-menu entry and the uninstaller, which
# takes them away again.
install_dir="$scratch/installed"
wine "$setup" /S "/D=Z:${install_dir//\//\\}" >/dev/null 2>&1
for file in wavelorn.exe wavelorn-cli.exe Qt6Widgets.dll plugins/platforms/qwindows.dll Uninstall.exe; do
    [[ -f "$install_dir/$file" ]] || { echo "the installer did not install $file" >&2; exit 1; }
done
start_menu_entry() { find "$WINEPREFIX/drive_c" -path '*Start Menu/Programs/Wavelorn/Wavelorn.lnk' | head -1; }
[[ -n "$(start_menu_entry)" ]] || { echo "the installer made no Start-menu entry" >&2; exit 1; }
[[ "$(wine "$install_dir/wavelorn-cli.exe" --version 2>/dev/null | tr -d '\r')" == "wavelorn-cli $version" ]] ||
    { echo "the installed wavelorn-cli.exe does not run" >&2; exit 1; }
# _?= keeps the uninstaller where it is, so that it ends before this goes on.
wine "$install_dir/Uninstall.exe" /S "_?=Z:${install_dir//\//\\}" >/dev/null 2>&1
[[ ! -e "$install_dir/wavelorn.exe" && -z "$(start_menu_entry)" ]] ||
    { echo "the uninstaller left the program or its Start-menu entry" >&2; exit 1; }

# The desktop program from the zip on a display of its own: its main window, titled with
# the disk it was started with, appears.
# Xvfb picks a free display and names it on descriptor 3.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$scratch/display" >/dev/null 2>&1 &
xvfb=$!
wine_gui=""
stop_display() {
    [[ -n "$wine_gui" ]] && kill "$wine_gui" 2>/dev/null
    kill "$xvfb" 2>/dev/null || true
}
window_wait_seconds=60
for _ in $(seq "$window_wait_seconds"); do
    [[ -s "$scratch/display" ]] && break
    sleep 1
done
display=":$(cat "$scratch/display")"
trap 'stop_display; finish' EXIT
# Wine's desktop takes the display its first window program found: start it afresh on this one.
wineserver -k 2>/dev/null || true
wineserver -w
export DISPLAY="$display"
wineserver -p
wine "$scratch/zip/wavelorn.exe" "$windows_work\\disk" >"$scratch/gui.log" 2>&1 &
wine_gui=$!
title="$windows_work\\disk - Wavelorn"
for _ in $(seq "$window_wait_seconds"); do
    xwininfo -root -tree 2>/dev/null | grep -qF "\"$title\"" && break
    sleep 1
done
xwininfo -root -tree 2>/dev/null | grep -qF "\"$title\"" ||
    { echo "no main window \"$title\" on the display: $(cat "$scratch/gui.log")" >&2; exit 1; }
echo "wavelorn.exe shows its main window"

echo "Windows leg passed in $((SECONDS - started)) s (the libraries ready after $((libraries_ready - started)) s)"
