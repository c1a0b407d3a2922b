#!/usr/bin/env bash
# Black-box run of the whole job, done as a user does it with keyboard and mouse on pelto.exe: open a video through
# the open dialog, draw a box over the picture with the rectangle tool, put the figure on frames 2 to 5 with the
# View menu's commands, save under a new name through the save dialog, close with Alt+F4. ffmpeg then reads both
# files back: frames 2 to 5 carry the box's black outline and are the source's everywhere else, the other frames
# and the sound are the source's byte for byte.
#
#   annotate.sh BUILD_DIR SOURCE_DIR
set -euo pipefail

name=annotate
source "$(dirname "$0")/lib.sh"

# The input: ten test pattern frames, 160 x 120, each showing its own time in tenths of a second so that no two are
# alike, stored bottom-up so that ffmpeg and the platform read the same picture, with a second of tone.
width=160 height=120 frames=10
# The box, dragged from (40, 30) to (120, 90) in the view. The rectangle leaves out its right and bottom edge, as
# the platform's Rectangle does: a one-pixel outline on columns 40 and 119, rows 30 and 89.
box_left=40 box_top=30 box_right=120 box_bottom=90
# The frames that carry the figure.
first=2 last=5

# Places below the first item of a menu, as the Down key counts them: it passes over separators only.
edit_rectangle=6      # 編集: 元に戻す 切り取り コピー 貼り付け ペン 線 [長方形]
view_next_frame=3     # 表示: 再生 停止 コマ戻し [コマ送り]
view_set_start=6      # 表示: ... コマ送り 最初へ 最後へ [図形の始まりに設定]
view_set_end=7        # 表示: ... [図形の終わりに設定]

# Opens the menu with its Alt key and picks the item COUNT places below the first, which the menu opens on. The
# mouse pointer goes out of the way first: a menu that opens under it selects the item it rests on.
choose_menu_item() {
    local menu_key=$1 count=$2
    park_mouse
    focus_main_window
    xdotool key --clearmodifiers "$menu_key"
    xdotool key --repeat "$count" Down
    xdotool key Return
}

make_input() {
    ffmpeg -v error -f lavfi -t 1 -i "testsrc=size=${width}x${height}:rate=10:decimals=1" \
        -f lavfi -t 1 -i "sine=frequency=440:sample_rate=22050" \
        -vf vflip -flipped_raw_rgb 1 -c:v rawvideo -pix_fmt bgr24 -c:a pcm_s16le "$1" || fail "ffmpeg made no input"
}

draw_box() {
    local x y w h
    probe_rect view
    if [ "$w" -lt "$box_right" ] || [ "$h" -lt "$box_bottom" ]; then fail "the view is too small for the box"; fi
    choose_menu_item alt+e "$edit_rectangle"
    xdotool mousemove "$((x + box_left))" "$((y + box_top))" mousedown 1 \
        mousemove "$((x + box_left + 20))" "$((y + box_top + 10))" \
        mousemove "$((x + box_right))" "$((y + box_bottom))" mouseup 1
}

# From frame 0, where the opened video starts: forward to the first frame, start, forward to the last frame, end.
set_figure_range() {
    local i
    for ((i = 0; i < first; i++)); do choose_menu_item alt+v "$view_next_frame"; done
    choose_menu_item alt+v "$view_set_start"
    for ((i = first; i < last; i++)); do choose_menu_item alt+v "$view_next_frame"; done
    choose_menu_item alt+v "$view_set_end"
}

# Prints "frame x y" for each pixel that differs between the two decoded videos, once per pixel. cmp lists the
# differing bytes, counted from 1, and answers 1 when there are some.
changed_pixels() {
    { cmp -l "$1" "$2" || [ $? -eq 1 ]; } | awk -v w="$width" -v h="$height" '
        BEGIN { last = -1 }
        { p = int(($1 - 1) / 3); f = int(p / (w * h)); q = p % (w * h)
          if (p != last) print f, q % w, int(q / w); last = p }'
}

on_box_awk='function on_box(f, x, y) {
    if (f < first || f > last) return 0
    if ((x == l || x == r - 1) && y >= t && y < b) return 1
    return (y == t || y == b - 1) && x >= l && x < r
}'

run_awk() {
    awk -v first="$first" -v last="$last" -v l="$box_left" -v t="$box_top" -v r="$box_right" -v b="$box_bottom" \
        -v w="$width" -v h="$height" "$on_box_awk $1"
}

check_saved_file() {
    local src=$1 saved=$2 dir=$work_dir report
    ffmpeg -v error -i "$src" -map 0:v -f rawvideo -pix_fmt bgr24 "$dir/src.bgr" || fail "ffmpeg cannot read $src"
    ffmpeg -v error -i "$saved" -map 0:v -f rawvideo -pix_fmt bgr24 "$dir/saved.bgr" || fail "ffmpeg cannot read $saved"
    [ "$(stat -c %s "$dir/saved.bgr")" -eq $((frames * width * height * 3)) ] ||
        fail "the saved file does not decode to $frames frames of ${width}x${height}"

    # Every pixel that changed lies on the box's outline in a frame of the range, and each of those frames changed.
    report=$(changed_pixels "$dir/src.bgr" "$dir/saved.bgr" | run_awk '
        on_box($1, $2, $3) { changed[$1]++; next }
        { if (stray++ < 5) print "frame " $1 " pixel (" $2 ", " $3 ") changed off the box" }
        END { for (f = first; f <= last; f++) if (!changed[f]) print "frame " f " kept no box" }')
    [ -z "$report" ] || fail "$report"

    # Every pixel of the outline in the range is black (blue, green, red all 0), whatever the source had there.
    report=$(od -An -v -tu1 -w3 "$dir/saved.bgr" | run_awk '
        { p = NR - 1; f = int(p / (w * h)); q = p % (w * h) }
        on_box(f, q % w, int(q / w)) && $1 + $2 + $3 != 0 {
            if (bad++ < 5) print "frame " f " pixel (" q % w ", " int(q / w) ") is " $3 "," $2 "," $1 " (r,g,b), not black" }')
    [ -z "$report" ] || fail "$report"

    ffmpeg -v error -i "$src" -map 0:a -c:a copy -f data "$dir/src.pcm" || fail "ffmpeg cannot read the source's sound"
    ffmpeg -v error -i "$saved" -map 0:a -c:a copy -f data "$dir/saved.pcm" || fail "ffmpeg found no sound in $saved"
    [ -s "$dir/src.pcm" ] || fail "the source has no sound to compare"
    cmp "$dir/src.pcm" "$dir/saved.pcm" >&2 || fail "the saved sound differs from the source's"
}

main() {
    local started src saved src_w saved_w
    begin_run work
    src="$work_dir/in.avi" saved="$work_dir/out.avi"
    src_w=$(windows_path "$src") saved_w=$(windows_path "$saved")
    make_input "$src"
    start_fresh_pelto
    log "window $wid after $((SECONDS - started)) s"

    open_by_keyboard "$src_w"
    log "opened $src_w"

    draw_box
    wait_for_title "$src_w * - Pelto"
    set_figure_range

    park_mouse
    focus_main_window
    xdotool key --clearmodifiers alt+f a
    answer_file_dialog "$saved_w"
    wait_for_title "$saved_w - Pelto"
    log "saved as $saved_w after $((SECONDS - started)) s"

    close_by_keyboard
    forget_settings

    check_saved_file "$src" "$saved"
    log "frames $first to $last carry the box, the rest and the sound are the source's; $((SECONDS - started)) s in all"
}

main
