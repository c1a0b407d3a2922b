#!/usr/bin/env bash
# Builds Pelto and starts it: on $DISPLAY when there is one (returns when Pelto is closed), otherwise on a private
# Xvfb, where it opens the sample, draws a figure, saves a screenshot to build/artifacts/pelto.png
# (tools/screenshot.sh), prints that path and closes Pelto again.
# It installs what is missing first (tools/setup.sh), so this one command serves a fresh Debian 12 machine.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"

build_pelto() {
    "$root/tools/setup.sh"
    cmake --preset wine
    cmake --build --preset wine
    "$root/tools/make_sample.sh" "$build/samples/sample.avi"
}

# Same X11 prefix as the black-box test: take turns with it, and leave no wineserver behind on this display.
start_on_desktop() {
    local rc=0
    exec 8>"$build/wineprefix-x11.session.lock"
    flock -w 60 8 || { echo "run: a test run keeps the X11 prefix busy" >&2; return 1; }
    "$root/tools/wine-run.sh" --prefix "$build/wineprefix" --display "$build/bin/pelto.exe" || rc=$?
    WINEPREFIX="$build/wineprefix-x11" wineserver -k 2>/dev/null || true
    return "$rc"
}

# The README's picture is made the same way: Xvfb, Pelto with the sample and a figure, a screenshot, and all ends.
start_headless() {
    local shot="$build/artifacts/pelto.png"
    "$root/tools/screenshot.sh" "$shot" "$build"
    echo "$shot"
}

main() {
    cd "$root"
    build_pelto
    if [ -n "${DISPLAY:-}" ]; then start_on_desktop; else start_headless; fi
}

main
