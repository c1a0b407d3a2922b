#!/usr/bin/env bash
# The playback benchmark: plays a 640x480 and a 1280x720 clip (25 fps, 10 s, uncompressed bottom-up RGB with a
# 16-bit stereo 44,100 Hz tone) through pelto_bench of a build tree, into a sound server of its own, and prints
# the figures pelto_bench gives for each: frames painted and skipped, distance from the clocks, wall and
# processor time. It judges no figure. The clips live in a temporary folder that goes at the end.
# --tiny plays one 64x48 clip of a second into the sound server of $PULSE_SERVER (ctest's bench_playback_runs)
# and fails only when pelto_bench fails or prints no figures. Nothing is built here.
#
#   bench-playback.sh [--tiny] [BUILD_DIR]      (default: build/ of the source tree)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tiny=0
if [ "${1:-}" = "--tiny" ]; then
    tiny=1
    shift
fi
build=$(cd "${1:-$here/../build}" && pwd)
bench="$build/bin/pelto_bench.exe"
[ -f "$bench" ] || { echo "bench-playback: $bench is not built" >&2; exit 2; }

work=$(mktemp -d)
cleanup() {
    [ "$tiny" -eq 1 ] || bash "$here/sound-server.sh" stop "$work/sound" >/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

source "$here/bench-lib.sh"

if [ "$tiny" -eq 1 ]; then
    make_clip 64x48 1 "$work/tiny.avi"
    run_bench play "$work/tiny.avi" | tee "$work/figures.txt"
    grep -q '^CPU per second of video (ms): ' "$work/figures.txt" ||
        { echo "bench-playback: pelto_bench printed no figures" >&2; exit 1; }
    exit 0
fi

bash "$here/sound-server.sh" start "$work/sound"
export PULSE_SERVER="unix:$work/sound/pulse/native"
for size in 640x480 1280x720; do
    echo "== playback of $size"
    make_clip "$size" 10 "$work/clip-$size.avi"
    run_bench play "$work/clip-$size.avi"
    rm -f "$work/clip-$size.avi"
done
