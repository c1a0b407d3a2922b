#!/usr/bin/env bash
# Makes the README's picture from the program itself: Pelto, on a private Xvfb, opens the sample video through the
# open dialog and is widened by its size grip; the ellipse tool, taken from the Edit menu, draws an ellipse over the
# frame with the mouse, which then rests on the frame (the status bar shows frame, time and mouse position). The main
# window alone is saved as a 64-colour palette PNG, small enough to keep in the repository, and Pelto is closed
# without saving. tools/run.sh makes its screenshot with it when there is no display.
#
#   screenshot.sh [PNG] [BUILD_DIR]      (defaults: docs/pelto.png, build; pelto.exe and window_probe.exe built)
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/.." && pwd)
shot=$(realpath -m "${1:-$source_dir/docs/pelto.png}")
build=$(cd "${2:-$source_dir/build}" && pwd)
name=screenshot
source "$source_dir/tests/e2e/lib.sh"

edit_ellipse=7 # 編集: 元に戻す 切り取り コピー 貼り付け ペン 線 長方形 [楕円]

draw_ellipse() {
    local x y w h
    park_mouse
    focus_main_window
    xdotool key --clearmodifiers alt+e
    xdotool key --repeat "$edit_ellipse" Down
    xdotool key Return
    probe_rect view
    xdotool mousemove $((x + 90)) $((y + 60)) mousedown 1 mousemove $((x + 150)) $((y + 100)) \
        mousemove $((x + 230)) $((y + 180)) mouseup 1 mousemove $((x + 200)) $((y + 150))
}

# As a user widens the window by its size grip, so that the title and the status bar's panes show whole.
widen_window() {
    local WINDOW X Y WIDTH HEIGHT SCREEN
    eval "$(xdotool getwindowgeometry --shell "$wid")"
    xdotool mousemove $((X + WIDTH - 3)) $((Y + HEIGHT - 3)) mousedown 1 \
        mousemove $((X + WIDTH + 20)) $((Y + HEIGHT + 10)) mousemove $((X + 560)) $((Y + 440)) mouseup 1
}

# Alt+F4 asks whether to save the drawn figure: No.
close_without_saving() {
    focus_main_window
    xdotool key --clearmodifiers alt+F4
    poll 30 "the question whether to save" dialog_is_up
    poll 30 "keyboard focus on the question" focus_window "$dialog"
    xdotool key n
    poll 30 "end of pelto.exe" pelto_ended
    wait "$pelto_pid" || fail "pelto.exe exit code $?"
    pelto_pid=""
}

main() {
    local sample="$build/samples/sample.avi"
    "$source_dir/tools/make_sample.sh" "$sample" >/dev/null
    begin_run work
    start_xvfb
    forget_settings
    # Opened as C:\sample.avi, a link in the prefix's drive C: the title then names no folder of this machine.
    ln -sf "$sample" "$prefix-x11/drive_c/sample.avi"
    start_pelto
    wait_for_window
    open_by_keyboard 'C:\sample.avi'
    widen_window
    draw_ellipse
    wait_for_title 'C:\sample.avi * - Pelto'
    sleep 1 # the status bar follows the mouse
    import -window "$wid" "$work_dir/pelto.png"
    mkdir -p "$(dirname "$shot")"
    convert "$work_dir/pelto.png" -dither None -colors 64 "PNG8:$shot"
    close_without_saving
    forget_settings
    log "$shot, $(stat -c %s "$shot") bytes"
}

main
