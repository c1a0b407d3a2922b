# Shell functions of the black-box runs, sourced by the scripts of tests/e2e and by tools/screenshot.sh. The script
# sets `name` (its tag in messages and in the failure screenshot's name) before it sources this file; a script of
# tests/e2e is run as SCRIPT BUILD_DIR SOURCE_DIR, another caller sets `build` and `source_dir` first. The functions
# keep the ids of what they start in xvfb_pid and pelto_pid, the main window's X window in wid, and clean_up removes
# `work_dir` when the script made one.
if [ -z "${build:-}" ]; then
    build=$(cd "$1" && pwd)
    source_dir=$(cd "$2" && pwd)
fi
prefix="$build/wineprefix"
screen_width=1280 screen_height=1024
xvfb_pid=""
pelto_pid=""
wid=""
dialog=""
work_dir=""

log() { echo "$name: $*"; }

# A command that fails where nothing else checks it ends the run through fail too, with its line and a screenshot.
set -E
trap 'fail "a command failed at line $LINENO"' ERR

# A failure on our own Xvfb leaves a picture of the screen behind: what was open, and where, tells most of the story.
fail() {
    echo "$name: FAILED: $*" >&2
    if [ -n "$xvfb_pid" ]; then
        mkdir -p "$build/artifacts"
        import -window root "$build/artifacts/$name-failed.png" 2>/dev/null &&
            echo "$name: screenshot $build/artifacts/$name-failed.png" >&2
    fi
    exit 1
}

run_on_display() {
    "$source_dir/tools/wine-run.sh" --prefix "$prefix" --display "$@"
}

# The screen rectangle window_probe prints for WHAT ("menubar" or "view"), into the caller's x, y, w and h.
probe_rect() {
    local probe line
    probe=$(run_on_display "$build/bin/window_probe.exe") || fail "$probe"
    line=$(grep "^$1 " <<<"$probe") || fail "window_probe printed no $1: $probe"
    log "$line"
    read -r _ x y w h <<<"$line"
}

# Runs the command every 0.2 s until it succeeds. Fails after TIMEOUT seconds, or at once when pelto.exe has ended.
# Not to be run in a subshell: only this shell can collect pelto.exe's exit code.
poll() {
    local timeout=$1 what=$2 deadline
    shift 2
    deadline=$((SECONDS + timeout))
    until "$@"; do
        if [ -n "$pelto_pid" ] && ! kill -0 "$pelto_pid" 2>/dev/null; then
            local rc=0
            wait "$pelto_pid" || rc=$?
            pelto_pid=""
            fail "pelto.exe ended with exit code $rc while waiting for $what"
        fi
        [ "$SECONDS" -lt "$deadline" ] || fail "no $what within $timeout s"
        sleep 0.2
    done
}

# Display numbers from 90 up; one that another server took in the meantime makes Xvfb exit, and the next is tried.
start_xvfb() {
    local n
    for n in $(seq 90 129); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 "${screen_width}x${screen_height}x24" -nolisten tcp >/dev/null 2>&1 &
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

# The start of every run: the prefix for the X11 driver, and whatever happens Xvfb, the program and work_dir end with
# the script. With "work" it also makes work_dir.
begin_run() {
    take_x11_prefix
    trap clean_up EXIT
    trap 'exit 1' INT TERM HUP
    [ "${1:-}" != work ] || work_dir=$(mktemp -d /tmp/pelto-e2e.XXXXXX)
}

# The X11 prefix holds one wineserver for one display: runs on the same build tree take turns (tools/run.sh too),
# and a server left over by a killed run goes before this run starts its own.
take_x11_prefix() {
    mkdir -p "$build"
    exec 8>"$prefix-x11.session.lock"
    flock -w 60 8 || fail "the X11 prefix stayed in use by another run"
    WINEPREFIX="$prefix-x11" wineserver -k 2>/dev/null || true
}

pelto_ended() { ! kill -0 "$pelto_pid" 2>/dev/null; }

clean_up() {
    if [ -n "$pelto_pid" ] && kill -0 "$pelto_pid" 2>/dev/null; then
        run_on_display "$build/bin/window_probe.exe" close >/dev/null || true
        for _ in $(seq 1 10); do
            pelto_ended && break
            sleep 0.2
        done
    fi
    WINEPREFIX="$prefix-x11" wineserver -k 2>/dev/null || true
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    [ -z "$work_dir" ] || rm -rf "$work_dir"
    flock -u 8 2>/dev/null || true
}

# pelto.exe on the display, in the background; wait_for_window then sets wid to the X window of its main window.
start_pelto() {
    run_on_display "$build/bin/pelto.exe" &
    pelto_pid=$!
}

# The window must be on the screen before it can take the keyboard focus.
untitled_window() { wid=$(xdotool search --onlyvisible --name '^Pelto$' 2>/dev/null) && wid=${wid%%$'\n'*}; }

wait_for_window() { poll 60 "window titled Pelto" untitled_window; }

# Gives the window the keyboard focus. A window that is not quite on the screen yet refuses it with an X error.
focus_window() { xdotool windowfocus --sync "$1" 2>/dev/null; }

focus_main_window() { poll 30 "keyboard focus on the main window" focus_window "$wid"; }

# The screen's far corner, away from the main window and its menus.
park_mouse() { xdotool mousemove "$((screen_width - 1))" "$((screen_height - 1))"; }

windows_path() { local p=${1//\//\\}; echo "Z:$p"; }

title_is() { [ "$(xdotool getwindowname "$wid" 2>/dev/null)" = "$1" ]; }

wait_for_title() { poll 30 "title \"$1\"" title_is "$1"; }

# A dialog is up when a window with a caption other than the main window is on the screen; dialog holds its X window.
dialog_is_up() {
    dialog=$(xdotool search --onlyvisible --name . 2>/dev/null | grep -vx "$wid") && dialog=${dialog%%$'\n'*}
}

# Types the path into the file dialog's name box, which has the dialog's focus and whose text is selected, and
# confirms it. The dialog does not always get the keyboard focus of the display on its own: a user would click it.
answer_file_dialog() {
    poll 30 "file dialog" dialog_is_up
    poll 30 "keyboard focus on the file dialog" focus_window "$dialog"
    xdotool type --delay 20 "$1"
    xdotool key Return
}

# Opens the file at the Windows path with Ctrl+O and the open dialog; done when the title names it.
open_by_keyboard() {
    focus_main_window
    xdotool key --clearmodifiers ctrl+o
    answer_file_dialog "$1"
    wait_for_title "$1 - Pelto"
}

# The settings key goes before a run, so that the program starts from its defaults whatever an earlier run on this
# build tree's X11 prefix chose (annotate.sh draws with the default pen), and again after it, with its list of
# recent files that name the run's temporary folder.
forget_settings() {
    run_on_display reg delete 'HKCU\Software\Norbek\Pelto' /f >/dev/null || true
}

# Xvfb, then Pelto from its default settings, up to its window; $started holds the second it was started.
start_fresh_pelto() {
    start_xvfb
    log "Xvfb on $DISPLAY"
    started=$SECONDS
    forget_settings
    start_pelto
    wait_for_window
}

# Alt+F4, as a user ends the program: it must end, and with exit code 0.
close_by_keyboard() {
    local rc=0
    focus_main_window
    xdotool key --clearmodifiers alt+F4
    poll 30 "end of pelto.exe after Alt+F4" pelto_ended
    wait "$pelto_pid" || rc=$?
    pelto_pid=""
    [ "$rc" -eq 0 ] || fail "pelto.exe exit code $rc"
}
