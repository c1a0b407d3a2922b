#!/usr/bin/env bash
# Black-box run of what pelto.exe keeps between two starts, done as a user does it: from empty settings, drag the
# drawing bar's gripper below the standard bar, open a video through the open dialog, close with Alt+F4; start again.
# The standard bar must come first again (left of or above the drawing bar), and the File menu's first recent file,
# chosen with Alt+F 1, must open the video.
#
#   restart.sh BUILD_DIR SOURCE_DIR
set -euo pipefail

name=restart
source "$(dirname "$0")/lib.sh"

# The screen rectangles of the standard bar (101) and the drawing bar (102) in the rebar, as window_probe prints them:
# std_x, std_y, std_w, std_h and draw_x, draw_y, draw_w, draw_h.
read_bands() {
    local probe std draw
    probe=$(run_on_display "$build/bin/window_probe.exe") || fail "$probe"
    std=$(grep '^band 101 ' <<<"$probe") && draw=$(grep '^band 102 ' <<<"$probe") ||
        fail "window_probe found no standard and drawing bar: $probe"
    read -r _ _ std_x std_y std_w std_h <<<"$std"
    read -r _ _ draw_x draw_y draw_w draw_h <<<"$draw"
}

standard_bar_first() {
    read_bands
    [ $((std_x + std_w)) -le "$draw_x" ] || [ $((std_y + std_h)) -le "$draw_y" ]
}

# The band's gripper is the strip left of its toolbar. Dropped below the rebar, the first band goes to a row of its
# own under the other one.
move_drawing_bar_down() {
    read_bands
    log "drawing bar at $draw_x,$draw_y, standard bar at $std_x,$std_y"
    ! standard_bar_first || fail "the standard bar comes first in fresh settings"
    local x=$((draw_x - 5)) y=$((draw_y + draw_h / 2))
    xdotool mousemove "$x" "$y" mousedown 1 mousemove "$x" $((y + 10)) mousemove "$x" $((y + 2 * draw_h)) mouseup 1
    poll 10 "the standard bar first after dragging the drawing bar down" standard_bar_first
    park_mouse
}

main() {
    local started src src_w
    begin_run work
    src="$work_dir/kept.avi"
    src_w=$(windows_path "$src")
    ffmpeg -v error -f lavfi -i "testsrc=size=160x120:rate=10:duration=1" -vf vflip -flipped_raw_rgb 1 \
        -c:v rawvideo -pix_fmt bgr24 "$src" || fail "ffmpeg made no input"
    start_fresh_pelto
    move_drawing_bar_down
    open_by_keyboard "$src_w"
    close_by_keyboard
    log "moved the drawing bar down, opened $src_w and closed after $((SECONDS - started)) s"

    start_pelto
    wait_for_window
    standard_bar_first || fail "after a restart the drawing bar ($draw_x,$draw_y) comes before the standard bar" \
        "($std_x,$std_y)"
    focus_main_window
    xdotool key --clearmodifiers alt+f 1
    wait_for_title "$src_w - Pelto"
    close_by_keyboard
    forget_settings
    log "the standard bar stayed first and the File menu reopened $src_w; $((SECONDS - started)) s in all"
}

main
