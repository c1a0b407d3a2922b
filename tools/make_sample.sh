#!/usr/bin/env bash
# Makes the sample video a newcomer can open in Pelto: 10 s of ffmpeg's test pattern, 320x240 at 25 fps, with a
# 440 Hz tone. Video is uncompressed 24-bit RGB stored bottom-up (positive height, as every decoder here reads it),
# audio 16-bit PCM stereo at 44100 Hz. Does nothing when the file is already there.
#
#   make_sample.sh [OUTPUT]      (default: build/samples/sample.avi in the source tree)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
output=${1:-$here/../build/samples/sample.avi}

# ffmpeg writes raw RGB top-down unless told otherwise; flipped once here and stored flipped, it reads upright.
encode_sample() {
    local target=$1
    ffmpeg -nostdin -loglevel error -y \
        -f lavfi -i testsrc=size=320x240:rate=25:duration=10 \
        -f lavfi -i sine=frequency=440:sample_rate=44100:duration=10 \
        -vf vflip -c:v rawvideo -pix_fmt bgr24 -flipped_raw_rgb 1 \
        -c:a pcm_s16le -ar 44100 -ac 2 \
        -t 10 "$target"
}

main() {
    [ -s "$output" ] && return 0
    mkdir -p "$(dirname "$output")"
    # Written under a temporary name first, so an interrupted run leaves no half file that counts as done.
    local partial="$output.part.avi"
    encode_sample "$partial"
    mv "$partial" "$output"
    echo "made $output"
}

main
