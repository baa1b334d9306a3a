#!/usr/bin/env bash
# Runs a test exe on a display of its own size and scale: an Xvfb display of the given geometry and
# a Wine prefix and server of their own whose DPI (LogPixels) is the given one, so the shared
# 1280 x 1024 session at 96 DPI is not disturbed. The test learns the scale from CARRIER_DPI.
# CARRIER_PALETTE names a contrast theme's system colours for the prefix (white-on-black or
# black-on-white); without it, Wine's own.
# Everything started here is ended by its pid.
# Usage: display.sh BUILD ARCH WIDTHxHEIGHT DPI TEST_EXE [ARGUMENTS...]
set -euo pipefail
build=$1
arch=$2
geometry=$3
dpi=$4
test_exe=$5
shift 5
# Exits 77 (skipped) where this kernel cannot run the build.
"$build/wine-run.sh" --version >/dev/null || exit
# shellcheck source=../../scripts/lib/wine-session.sh
source "$(dirname "$0")/../../scripts/lib/wine-session.sh"
use_wine_arch "$arch"
unset DISPLAY
shared_prefix=$build/wineprefix
prefix=$build/wineprefix-display
if ! cmp -s "$shared_prefix/.carrier-recipe" "$prefix/.carrier-recipe" 2>/dev/null; then
    rm -rf "$prefix"
    cp -a "$shared_prefix" "$prefix"
fi
start_wine_session "$build" "${geometry}x24" "$prefix"
# Read by each program as it starts; a palette of an earlier row is removed.
palette() {
    case ${CARRIER_PALETTE:-} in
    white-on-black) set -- "0 0 0" "255 255 255" "26 235 255" ;;
    black-on-white) set -- "255 255 255" "0 0 0" "55 0 110" ;;
    *) return ;;
    esac
    printf '[HKEY_CURRENT_USER\\Control Panel\\Colors]\n'
    printf '"%s"="%s"\n' Window "$1" Background "$1" ButtonFace "$1" WindowText "$2" \
        ButtonText "$2" WindowFrame "$2" Hilight "$3" HilightText "$1" GrayText "$3"
}
{
    printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%08x\n\n' "$dpi"
    printf '[-HKEY_CURRENT_USER\\Control Panel\\Colors]\n\n'
    palette
} >"$prefix/display.reg"
wine_exec "$WINE_LOADER" regedit /S "$(winepath_of "$prefix/display.reg")"
CARRIER_DPI=$dpi "$build/wine-run.sh" "$test_exe" "$@"
