# What the benchmark scripts share, sourced by them with $here (tools/), $build and $bench set: the clips they
# make and the start of pelto_bench on files of this machine.

# A clip of 25 fps uncompressed RGB with a 16-bit stereo 44,100 Hz tone, stored bottom-up: ffmpeg writes raw RGB
# top-down unless flipped once and told so.
make_clip() {
    local size=$1 seconds=$2 output=$3
    ffmpeg -nostdin -loglevel error -y \
        -f lavfi -i "testsrc=size=$size:rate=25:duration=$seconds" \
        -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=$seconds" \
        -vf vflip -flipped_raw_rgb 1 -c:v rawvideo -pix_fmt bgr24 \
        -c:a pcm_s16le -ar 44100 -ac 2 -t "$seconds" "$output"
}

# pelto_bench MODE FILE...: Wine sees the host's / as Z:.
run_bench() {
    local mode=$1 path
    shift
    local paths=()
    for path in "$@"; do paths+=("Z:${path//\//\\}"); done
    bash "$here/wine-run.sh" --prefix "$build/wineprefix" "$bench" "$mode" "${paths[@]}"
}
