#!/usr/bin/env bash
# Black-box run of playback on the program's own message loop with no input at all: the mouse rests in the screen's
# far corner and Play arrives as a posted command, as a toolbar click sends it. The picture then has to move on by
# the program's timer alone, frame by frame, to the last frame in the clip's own time; a loop that does not come back
# to its idle step after a frame stands still there. Done for a silent clip (played on the system clock) and for one
# with sound (played on the sound's clock where a sound server answers).
#
#   playback.sh BUILD_DIR SOURCE_DIR
set -euo pipefail

name=playback
source "$(dirname "$0")/lib.sh"

# At 30 fps most frames start between two milliseconds, so the timer now and then fires on a time that still shows
# the frame before: nothing is repainted then, and only the loop's own return to its idle step arms the next frame.
# At 10 fps every frame starts on a whole millisecond, and a stalling loop can get through the whole clip.
width=160 height=120 seconds=3 fps=30
frames=$((fps * seconds))
# Slack either way: a sound device that starts late, or timers that fire late on a busy machine, cost up to ~100 ms
# here; a clock that runs at another rate, or a picture that waits for something else, misses by far more.
slack_ms=200

# FILE [sound]: the test pattern, stored bottom-up as annotate.sh's input, with 16-bit stereo 44,100 Hz sound if asked.
make_clip() {
    local audio_in=() audio_out=()
    if [ "${2:-}" = sound ]; then
        audio_in=(-f lavfi -t "$seconds" -i "sine=frequency=440:sample_rate=44100")
        audio_out=(-ac 2 -c:a pcm_s16le)
    fi
    ffmpeg -v error -f lavfi -t "$seconds" -i "testsrc=size=${width}x${height}:rate=$fps:decimals=2" "${audio_in[@]}" \
        -vf vflip -flipped_raw_rgb 1 -c:v rawvideo -pix_fmt bgr24 "${audio_out[@]}" "$1" || fail "ffmpeg made no $1"
}

# Opens the clip, plays it from where it opens and checks when, and through how many pictures, it reached its end.
play_clip() {
    local clip=${1##*/} path_w probe line rc=0 count from at reached distinct earliest latest
    path_w=$(windows_path "$1")
    open_by_keyboard "$path_w"
    park_mouse
    probe=$(run_on_display "$build/bin/window_probe.exe" play) || rc=$?
    line=$(grep '^play ' <<<"$probe") || fail "window_probe play printed no result (exit code $rc): $probe"
    log "$clip: $line"
    read -r _ _ count _ from _ at _ reached _ distinct <<<"${line//=/ }"
    [ "$count" -eq "$frames" ] || fail "$clip: the trackbar counts $count frames, the clip has $frames"
    [ "$rc" -eq 0 ] || fail "$clip: the picture stood still at frame $at, short of the last frame $((frames - 1))"
    # The last frame starts (last - from) / fps after Play and shows until the clip's end. Times are whole
    # milliseconds, rounded down as the platform's conversion does.
    earliest=$(((frames - 1 - from) * 1000 / fps - slack_ms)) latest=$(((frames - from) * 1000 / fps + slack_ms))
    [ "$reached" -ge "$earliest" ] && [ "$reached" -le "$latest" ] ||
        fail "$clip: the last frame came after $reached ms, not within $earliest to $latest ms"
    # A frame shows for 33 ms and the screen is read every ~2 ms: nine in ten of the frames at least must be seen.
    [ $((distinct * 10)) -ge $(((frames - from) * 9)) ] ||
        fail "$clip: the screen showed $distinct different pictures for the $((frames - from)) frames"
}

main() {
    local started
    begin_run work
    make_clip "$work_dir/silent.avi"
    make_clip "$work_dir/sound.avi" sound
    if pactl info >/dev/null 2>&1; then
        log "the sound server at ${PULSE_SERVER:-its default address} answered"
    else
        log "no sound server answered at ${PULSE_SERVER:-its default address}: the sound clip plays on the system clock"
    fi
    start_fresh_pelto
    play_clip "$work_dir/silent.avi"
    play_clip "$work_dir/sound.avi"

    close_by_keyboard
    forget_settings
    log "both clips played to their end on the timer alone; $((SECONDS - started)) s in all"
}

main
