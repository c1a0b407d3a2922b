#!/usr/bin/env bash
# Black-box smoke run of pelto.exe: starts it on a private Xvfb with Wine's X11 driver, waits for the main window,
# checks that its menu bar is there and drawn, saves a screenshot, closes the program with Alt+F4 as a user would
# and expects exit code 0. Whatever happens, Xvfb and the X11 prefix's wineserver end with the script.
#
#   smoke.sh BUILD_DIR SOURCE_DIR [SCREENSHOT]      (SCREENSHOT defaults to BUILD_DIR/artifacts/smoke.png)
set -euo pipefail

build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
shot=${3:-$build/artifacts/smoke.png}
prefix="$build/wineprefix"
xvfb_pid=""
pelto_pid=""

log() { echo "smoke: $*"; }
fail() { echo "smoke: FAILED: $*" >&2; exit 1; }

run_on_display() {
    "$source_dir/tools/wine-run.sh" --prefix "$prefix" --display "$@"
}

# Display numbers from 90 up; one that another server took in the meantime makes Xvfb exit, and the next is tried.
start_xvfb() {
    local n
    for n in $(seq 90 129); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        xvfb_pid=$!
        while kill -0 "$xvfb_pid" 2>/dev/null; do
            if [ -S "/tmp/.X11-unix/X$n" ]; then
                export DISPLAY=":$n"
                return 0
            fi
            sleep 0.1
        done
        xvfb_pid=""
    done
    fail "no free display number for Xvfb"
}

# The X11 prefix holds one wineserver for one display: runs on the same build tree take turns (tools/run.sh too),
# and a server left over by a killed run goes before this run starts its own.
take_x11_prefix() {
    mkdir -p "$build"
    exec 8>"$prefix-x11.session.lock"
    flock -w 60 8 || fail "the X11 prefix stayed in use by another run"
    WINEPREFIX="$prefix-x11" wineserver -k 2>/dev/null || true
}

clean_up() {
    if [ -n "$pelto_pid" ] && kill -0 "$pelto_pid" 2>/dev/null; then
        run_on_display "$build/bin/window_probe.exe" close >/dev/null || true
        sleep 2
    fi
    WINEPREFIX="$prefix-x11" wineserver -k 2>/dev/null || true
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    flock -u 8 2>/dev/null || true
}

wait_for_window() {
    for _ in $(seq 1 120); do
        kill -0 "$pelto_pid" 2>/dev/null || fail "pelto.exe ended before its window appeared"
        xdotool search --name '^Pelto$' 2>/dev/null | head -n 1 && return 0
        sleep 0.5
    done
    fail "no window titled Pelto within 60 s"
}

# The menu bar's strip must hold dark text on a light bar: both ends of the grey scale appear in it.
has_drawn_menu_bar() {
    local x=$1 y=$2 w=$3 h=$4 range
    import -window root "$shot"
    range=$(convert "$shot" -crop "${w}x${h}+${x}+${y}" +repage -colorspace Gray -format '%[fx:minima] %[fx:maxima]' info:)
    awk -v r="$range" 'BEGIN { split(r, v, " "); exit !(v[1] < 0.3 && v[2] > 0.7) }'
}

check_menu_bar() {
    local probe bar x y w h
    probe=$(run_on_display "$build/bin/window_probe.exe") || fail "$probe"
    bar=$(grep '^menubar ' <<<"$probe") || fail "window_probe printed no menu bar: $probe"
    log "$bar"
    read -r _ x y w h <<<"$bar"
    for _ in $(seq 1 20); do
        has_drawn_menu_bar "$x" "$y" "$w" "$h" && return 0
        sleep 0.5
    done
    fail "the menu bar stayed blank for 10 s (see $shot)"
}

close_by_keyboard() {
    local wid=$1
    xdotool windowfocus --sync "$wid"
    xdotool key --clearmodifiers alt+F4
    for _ in $(seq 1 60); do
        kill -0 "$pelto_pid" 2>/dev/null || return 0
        sleep 0.5
    done
    fail "pelto.exe still runs 30 s after Alt+F4"
}

main() {
    local started wid rc=0
    mkdir -p "$(dirname "$shot")"
    take_x11_prefix
    trap clean_up EXIT
    trap 'exit 1' INT TERM HUP
    start_xvfb
    log "Xvfb on $DISPLAY"

    started=$SECONDS
    run_on_display "$build/bin/pelto.exe" &
    pelto_pid=$!
    wid=$(wait_for_window)
    log "window $wid after $((SECONDS - started)) s"

    check_menu_bar
    log "screenshot $shot"

    close_by_keyboard "$wid"
    wait "$pelto_pid" || rc=$?
    pelto_pid=""
    [ "$rc" -eq 0 ] || fail "pelto.exe exit code $rc"
    log "closed with Alt+F4, exit code 0, $((SECONDS - started)) s in all"
}

main
