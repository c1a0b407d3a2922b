#!/usr/bin/env bash
# The sound server the tests play into: a PulseAudio of the user's own with a null sink, "nullsink" (16-bit stereo,
# 44,100 Hz), reachable at unix:DIR/pulse/native. It resamples by holding and picking samples ("trivial"), so a
# sound of a quarter of the sink's rate, 8-bit mono 11,025 Hz, comes back from the monitor recorded in its own
# format bit for bit. A low-latency reader stays on the monitor: without one, the sink drifts to ~1.5x real time.
# Works as root, without a sound card or D-Bus. A server that cannot start is reported and the tests that need
# it skip themselves; the script itself never fails a run.
#
#   sound-server.sh start DIR | stop DIR
set -u
action=${1:?start or stop}
dir=$(mkdir -p "${2:?runtime folder}" && cd "$2" && pwd)
export XDG_RUNTIME_DIR="$dir" PULSE_SERVER="unix:$dir/pulse/native"

stop_server() {
    [ -f "$dir/reader.pid" ] && kill "$(cat "$dir/reader.pid")" 2>/dev/null
    rm -f "$dir/reader.pid"
    if [ -f "$dir/pulse/pid" ]; then
        pactl exit 2>/dev/null || kill "$(cat "$dir/pulse/pid")" 2>/dev/null
        for _ in $(seq 50); do kill -0 "$(cat "$dir/pulse/pid" 2>/dev/null)" 2>/dev/null || break; sleep 0.1; done
    fi
    rm -rf "$dir/pulse"
}

case "$action" in
start)
    stop_server
    if ! command -v pulseaudio >/dev/null || ! command -v parec >/dev/null; then
        echo "sound-server: pulseaudio or parec is not installed (tools/setup.sh installs them); sound tests skip"
        exit 0
    fi
    mkdir -p "$dir" && chmod 700 "$dir"
    if ! pulseaudio --daemonize=yes --system=false -n --exit-idle-time=-1 --disallow-exit --resample-method=trivial --log-target=file:"$dir/server.log" \
        --load="module-null-sink sink_name=nullsink rate=44100 channels=2" \
        --load="module-native-protocol-unix auth-anonymous=1" 2>>"$dir/server.log" ||
        ! pactl set-default-sink nullsink; then
        echo "sound-server: PulseAudio did not start (see $dir/server.log); sound tests skip"
        exit 0
    fi
    parec --latency-msec=20 -d nullsink.monitor >/dev/null 2>&1 </dev/null &
    echo $! >"$dir/reader.pid"
    echo "sound-server: PulseAudio with a null sink at $PULSE_SERVER"
    ;;
stop)
    stop_server
    ;;
*)
    echo "usage: sound-server.sh start DIR | stop DIR" >&2
    exit 2
    ;;
esac
