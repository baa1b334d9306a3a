#!/usr/bin/env bash
# Runs small_screen_test.exe on an 800 x 600 Xvfb display with a Wine prefix and server of its own,
# so the shared 1280 x 1024 session is not disturbed. Everything started here is ended by its pid.
set -euo pipefail
build=$1
test_exe=$2
arch=$3
# Exits 77 (skipped) where this kernel cannot run the build.
"$build/wine-run.sh" --version >/dev/null || exit
# shellcheck source=../../scripts/lib/wine-session.sh
source "$(dirname "$0")/../../scripts/lib/wine-session.sh"
use_wine_arch "$arch"
unset DISPLAY
shared_prefix=$build/wineprefix
prefix=$build/wineprefix-small
if ! cmp -s "$shared_prefix/.carrier-recipe" "$prefix/.carrier-recipe" 2>/dev/null; then
    rm -rf "$prefix"
    cp -a "$shared_prefix" "$prefix"
fi
start_wine_session "$build" 800x600x24 "$prefix"
"$build/wine-run.sh" "$test_exe"
