#!/usr/bin/env bash
# Runs a Windows program of the build on Wine, in a prefix of its own that this script makes on first use:
# Japanese locale (ANSI code page 932), Japanese fonts for "ＭＳ Ｐゴシック", Wine's Marlett font for the title
# bar's buttons, crashes end the process instead of starting the debugger, and the null graphics driver unless
# --display is given (then the X11 driver draws on $DISPLAY, in a second prefix next to the first).
# The program's output reaches the caller while it runs, in UTF-8, and the exit code is the program's.
#
#   wine-run.sh [--prefix DIR] [--display] program.exe [arguments...]
set -u
here=$(cd "$(dirname "$0")" && pwd)
prefix="$here/../build/wineprefix"
display=0
while [ $# -gt 0 ]; do
    case "$1" in
        --prefix) prefix="$2"; shift 2 ;;
        --display) display=1; shift ;;
        *) break ;;
    esac
done
[ "$display" -eq 1 ] && prefix="$prefix-x11"

# Without winemenubuilder a shortcut made in the prefix (the setup program's) stays there, out of the host's menus.
export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
[ "$display" -eq 1 ] || unset DISPLAY WAYLAND_DISPLAY

# The marker holds the version of what a ready prefix contains. A prefix marked with an older version (or by the
# old empty marker) gets the configuration steps again, so an existing build tree picks up a change here.
# 2: Marlett linked into C:\windows\Fonts.
prefix_version=2
marker="$WINEPREFIX/.pelto-ready"
setup_log="$WINEPREFIX-setup.log"

fail_prefix() {
    echo "wine-run: could not make the Wine prefix $WINEPREFIX: $*" >&2
    echo "wine-run: Wine's messages are in $setup_log; not marked ready, so the next run tries again" >&2
    exit 125
}

# Debian's Wine 8 looks for its own fonts (fonts-wine) in "<data dir>\../fonts", a path its file layer refuses
# (STATUS_OBJECT_NAME_INVALID), so it finds none of them. Without Marlett, the symbol font Wine draws the title
# bar's buttons with, they come out as the letters that stand for them: "0 1 r". Fonts in C:\windows\Fonts are
# found. Marlett alone goes there: the whole directory would also bring Tahoma, which then takes over
# "MS Shell Dlg" from the Japanese UI font.
find_marlett() {
    local wine_bin dir
    wine_bin=$(readlink -f "$(command -v wine)")
    for dir in "$(dirname "$wine_bin")/../share/wine/fonts" /usr/share/wine/fonts; do
        if [ -f "$dir/marlett.ttf" ]; then
            readlink -f "$dir/marlett.ttf"
            return 0
        fi
    done
    return 1
}

# Steps that are safe to repeat on a prefix that is already in use.
configure_prefix() {
    local reg rc marlett fonts="$WINEPREFIX/drive_c/windows/Fonts"
    reg=$(mktemp --suffix=.reg) || fail_prefix "no temporary file"
    {
        printf 'REGEDIT4\n\n'
        printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug]\n'
        printf '"Debugger"="no-such-debugger.exe"\n"Auto"="1"\n\n'
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\n"Managed"="N"\n\n'
        if [ "$display" -eq 0 ]; then
            printf '[HKEY_CURRENT_USER\\Software\\Wine\\Drivers]\n"Graphics"="null"\n\n'
        fi
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\n'
        printf '"ＭＳ Ｐゴシック"="IPAPGothic"\n"ＭＳ ゴシック"="IPAGothic"\n'
        printf '"MS PGothic"="IPAPGothic"\n"MS Gothic"="IPAGothic"\n"MS UI Gothic"="IPAPGothic"\n\n'
    } | iconv -f UTF-8 -t CP932 >"$reg" || { rm -f "$reg"; fail_prefix "the settings did not convert to CP932"; }
    # reg.exe, unlike regedit, answers a file it cannot import with a nonzero exit code. Wine's Z: drive is /.
    wine reg import "Z:${reg//\//\\}" </dev/null >>"$setup_log" 2>&1 9>&-
    rc=$?
    rm -f "$reg"
    [ "$rc" -eq 0 ] || fail_prefix "reg import of the settings failed (exit code $rc)"

    marlett=$(find_marlett) || fail_prefix "Wine's marlett.ttf is missing (package fonts-wine, see tools/setup.sh)"
    mkdir -p "$fonts" && ln -sfn "$marlett" "$fonts/marlett.ttf" || fail_prefix "cannot link $marlett into $fonts"
}

# A new prefix: Wine's own set-up, then ours.
make_prefix() {
    local rc
    : >"$setup_log"
    wineboot -i </dev/null >>"$setup_log" 2>&1 9>&-
    rc=$?
    [ "$rc" -eq 0 ] || fail_prefix "wineboot -i failed (exit code $rc)"
    configure_prefix
    # The registry reaches the disk when the server ends: only then is the prefix complete.
    wineserver -w </dev/null >>"$setup_log" 2>&1 9>&-
    rc=$?
    [ "$rc" -eq 0 ] || fail_prefix "wineserver -w failed (exit code $rc)"
    [ -s "$WINEPREFIX/system.reg" ] && [ -s "$WINEPREFIX/user.reg" ] || fail_prefix "no registry files were written"
    echo "$prefix_version" >"$marker" || fail_prefix "cannot write $marker"
}

# A prefix made by an older version of this script. Its server may be running (and persistent): no waiting for
# it to end, the settings are live at once and saved when it ends.
update_prefix() {
    : >"$setup_log"
    configure_prefix
    echo "$prefix_version" >"$marker" || fail_prefix "cannot write $marker"
}

# Output reaches the caller as UTF-8 line by line. iconv reads all its input before it writes anything, so the
# conversion is perl's (its Encode has Microsoft's code page 932, as iconv's CP932 has). Encode takes longer to
# load than most test programs take to run: it is loaded at the first line that is not ASCII.
to_utf8() {
    perl -e '$| = 1;
             while (my $line = <STDIN>) {
                 $line =~ tr/\r//d;
                 if ($line =~ /[\x80-\xff]/) {
                     require Encode;
                     $line = Encode::encode("UTF-8", Encode::decode("cp932", $line));
                 }
                 print $line;
             }'
}

# One prefix maker at a time: ctest may start several tests at once on a new build tree.
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
ready_version=""
[ -f "$marker" ] && read -r ready_version <"$marker"
if [ ! -f "$marker" ]; then
    make_prefix
elif [ "$ready_version" != "$prefix_version" ]; then
    update_prefix
fi
# A persistent server, started with no pipe attached, so that no later run waits for Wine's helpers.
wineserver -p </dev/null >/dev/null 2>&1 9>&-
flock -u 9
exec 9>&-

# The program writes to a file, not to a pipe: Wine's background processes (services.exe, explorer.exe, ...)
# inherit the program's output and would hold a pipe open as long as they run, which with the persistent server
# is until it is stopped. tail streams the file while the program runs, and ends once the program has ended and
# all of its output is shown.
out=$(mktemp) || { echo "wine-run: no temporary file" >&2; exit 125; }
wine_pid=""
trap 'rm -f "$out"' EXIT
# The program runs as a background job: a run that is interrupted or terminated ends it instead of leaving it behind.
trap '[ -z "$wine_pid" ] || kill -TERM "$wine_pid" 2>/dev/null; exit 130' INT
trap '[ -z "$wine_pid" ] || kill -TERM "$wine_pid" 2>/dev/null; exit 143' TERM
trap '[ -z "$wine_pid" ] || kill -TERM "$wine_pid" 2>/dev/null; exit 129' HUP
wine "$@" </dev/null >>"$out" 2>&1 &
wine_pid=$!
tail -n +1 -s 0.05 -f --pid="$wine_pid" "$out" | to_utf8 &
reader=$!
wait "$wine_pid"
rc=$?
wait "$reader"
exit "$rc"
