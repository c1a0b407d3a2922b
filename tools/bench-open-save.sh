#!/usr/bin/env bash
# The open and save benchmark. For a 640x480 and a 1280x720 clip (25 fps, 10 s, uncompressed bottom-up RGB with a
# 16-bit stereo 44,100 Hz tone), round by round: Pelto's open and its save with a red box over every frame
# (pelto_bench open / save, and save-plain: the plain way the fast one is held to), ffmpeg doing the save's job
# (the same box laid over with only pure white transparent, 24-bit bottom-up frames, the sound copied), and one
# pass of the platform's writer over the same frames and sound (pelto_bench floor). Then a 10- and a 60-second clip are saved once each, for the peak memory against the length.
# Prints the median of every figure over the rounds, and the ratios of the times; it judges no figure.
# --tiny runs one 64x48 clip of a second once (ctest's bench_open_save_runs) and fails only when a job fails or
# prints no figures. Nothing is built here; the clips, and every file the programs write, live in a temporary
# folder that goes at the end.
#
#   bench-open-save.sh [--tiny] [--rounds N] [BUILD_DIR]      (default: 3 rounds, build/ of the source tree)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tiny=0
rounds=3
while [ $# -gt 0 ]; do
    case "$1" in
        --tiny) tiny=1; rounds=1; shift ;;
        --rounds) rounds=$2; shift 2 ;;
        *) break ;;
    esac
done
build=$(cd "${1:-$here/../build}" && pwd)
bench="$build/bin/pelto_bench.exe"
[ -f "$bench" ] || { echo "bench-open-save: $bench is not built" >&2; exit 2; }

# The files live in memory where it can hold them: the figures are the programs', not the disk's write-back.
work=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$work"' EXIT

source "$here/bench-lib.sh"

# The figure pelto_bench draws: a red box over the middle half of a white frame.
make_figure() {
    local width=$1 height=$2 output=$3
    ffmpeg -nostdin -loglevel error -y -f lavfi -i "color=white:size=${width}x${height}" \
        -vf "drawbox=x=$((width / 4)):y=$((height / 4)):w=$((width * 3 / 4 - width / 4)):h=$((height * 3 / 4 - height / 4)):color=0xFF0000:t=fill" \
        -frames:v 1 "$output"
}

# The program's temporary files go into the folder it is started in.
run_bench_here() { (cd "$work" && run_bench "$@"); }

seconds_now() { date +%s.%N; }

# ffmpeg's save: the figure keyed on pure white over every frame, flipped for bottom-up storage, the sound copied.
ffmpeg_save() {
    local clip=$1 figure=$2 output=$3
    local start end
    start=$(seconds_now)
    ffmpeg -nostdin -loglevel error -y -i "$clip" -i "$figure" \
        -filter_complex "[1:v]format=rgba,colorkey=color=0xFFFFFF:similarity=0.01:blend=0[key];[0:v][key]overlay=format=rgb,vflip" \
        -flipped_raw_rgb 1 -c:v rawvideo -pix_fmt bgr24 -c:a copy "$output"
    end=$(seconds_now)
    echo "ffmpeg save time (s): $(echo "$end - $start" | bc -l | xargs printf "%.3f")"
}

# Median of every "label: number" line of a figures file, in the labels' first order.
medians() {
    awk -F': ' '$2 ~ /^[0-9.]+$/ { if (!($1 in n)) order[++count] = $1; v[$1, ++n[$1]] = $2 }
        END {
            for (i = 1; i <= count; i++) {
                label = order[i]; m = n[label]
                for (a = 1; a <= m; a++) s[a] = v[label, a]
                for (a = 1; a <= m; a++) for (b = a + 1; b <= m; b++) if (s[b] < s[a]) { t = s[a]; s[a] = s[b]; s[b] = t }
                printf "%s: %s\n", label, (m % 2) ? s[(m + 1) / 2] : (s[m / 2] + s[m / 2 + 1]) / 2
            }
        }' "$1"
}

figure() { sed -n "s/^$1: //p" "$2" | head -1; }

bench_size() {
    local size=$1 seconds=$2
    local figures=$work/figures-$size.txt width=${size%x*} height=${size#*x}
    make_clip "$size" "$seconds" "$work/clip.avi"
    make_figure "$width" "$height" "$work/figure.png"
    : >"$figures"
    for round in $(seq "$rounds"); do
        run_bench_here open "$work/clip.avi" >>"$figures"
        run_bench_here save "$work/clip.avi" "$work/saved.avi" >>"$figures"
        run_bench_here save-plain "$work/clip.avi" "$work/plain.avi" >>"$figures"
        ffmpeg_save "$work/clip.avi" "$work/figure.png" "$work/ffmpeg.avi" >>"$figures"
        run_bench_here floor "$work/clip.avi" "$work/floor.avi" >>"$figures"
        rm -f "$work/saved.avi" "$work/plain.avi" "$work/ffmpeg.avi" "$work/floor.avi"
    done
    grep -q '^save time (s): ' "$figures" && grep -q '^one pass time (s): ' "$figures" ||
        { echo "bench-open-save: pelto_bench printed no figures" >&2; exit 1; }
    medians "$figures" >"$figures.median"
    local frames save open ffmpeg pass
    frames=$(figure frames "$figures.median")
    save=$(figure 'save time (s)' "$figures.median")
    open=$(figure 'open time (s)' "$figures.median")
    ffmpeg=$(figure 'ffmpeg save time (s)' "$figures.median")
    pass=$(figure 'one pass time (s)' "$figures.median")
    echo "== $size, $seconds s, $frames frames, median of $rounds round(s)"
    grep -v '^file: ' "$figures.median"
    echo "ffmpeg save frames per second: $(echo "$frames / $ffmpeg" | bc -l | xargs printf '%.1f')"
    echo "ratio save / ffmpeg save: $(echo "$save / $ffmpeg" | bc -l | xargs printf '%.2f')"
    echo "ratio plain save / ffmpeg save: $(echo "$(figure 'plain save time (s)' "$figures.median") / $ffmpeg" |
        bc -l | xargs printf '%.2f')"
    echo "ratio save / one pass: $(echo "$save / $pass" | bc -l | xargs printf '%.2f')"
    echo "ratio open / one pass: $(echo "$open / $pass" | bc -l | xargs printf '%.2f')"
}

if [ "$tiny" -eq 1 ]; then
    bench_size 64x48 1
    exit 0
fi
bench_size 640x480 10
bench_size 1280x720 10
# The peak memory against the length: one save each of a 10- and a 60-second clip (at 320x240, so that the longer
# stays within the one RIFF part of 1 GiB that the platform reads).
for seconds in 10 60; do
    make_clip 320x240 "$seconds" "$work/clip.avi"
    echo "== 320x240, $seconds s, one save"
    run_bench_here save "$work/clip.avi" "$work/saved.avi" | grep -E '^(frames|save time|save peak memory)'
    rm -f "$work/saved.avi"
done
