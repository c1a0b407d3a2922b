#!/usr/bin/env bash
# Black-box smoke run of pelto.exe: starts it on a private Xvfb with Wine's X11 driver, waits for the main window,
# checks that its menu bar is there and drawn, saves a screenshot, closes the program with Alt+F4 as a user would
# and expects exit code 0. Whatever happens, Xvfb and the X11 prefix's wineserver end with the script.
#
#   smoke.sh BUILD_DIR SOURCE_DIR [SCREENSHOT]      (SCREENSHOT defaults to BUILD_DIR/artifacts/smoke.png)
set -euo pipefail

name=smoke
source "$(dirname "$0")/lib.sh"
shot=${3:-$build/artifacts/smoke.png}

# The menu bar's strip must hold dark text on a light bar: both ends of the grey scale appear in it.
has_drawn_menu_bar() {
    local x=$1 y=$2 w=$3 h=$4 range
    import -window root "$shot"
    range=$(convert "$shot" -crop "${w}x${h}+${x}+${y}" +repage -colorspace Gray -format '%[fx:minima] %[fx:maxima]' info:)
    awk -v r="$range" 'BEGIN { split(r, v, " "); exit !(v[1] < 0.3 && v[2] > 0.7) }'
}

check_menu_bar() {
    local x y w h
    probe_rect menubar
    for _ in $(seq 1 20); do
        has_drawn_menu_bar "$x" "$y" "$w" "$h" && return 0
        sleep 0.5
    done
    fail "the menu bar stayed blank for 10 s (see $shot)"
}

main() {
    local started
    mkdir -p "$(dirname "$shot")"
    begin_run
    start_xvfb
    log "Xvfb on $DISPLAY"

    started=$SECONDS
    start_pelto
    wait_for_window
    log "window $wid after $((SECONDS - started)) s"

    check_menu_bar
    log "screenshot $shot"

    close_by_keyboard
    log "closed with Alt+F4, exit code 0, $((SECONDS - started)) s in all"
}

main
