#!/usr/bin/env bash
# Runs a Windows program of the build on Wine, in a prefix of its own that this script makes on first use:
# Japanese locale (ANSI code page 932), Japanese fonts for "ＭＳ Ｐゴシック", crashes end the process instead
# of starting the debugger, and the null graphics driver unless --display is given (then the X11 driver
# draws on $DISPLAY, in a second prefix next to the first).
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

export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
[ "$display" -eq 1 ] || unset DISPLAY WAYLAND_DISPLAY

make_prefix() {
    mkdir -p "$(dirname "$WINEPREFIX")"
    wineboot -i </dev/null >/dev/null 2>&1
    local reg
    reg=$(mktemp --suffix=.reg)
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
    } | iconv -f UTF-8 -t CP932 >"$reg"
    wine regedit /S "$(winepath -w "$reg" 2>/dev/null)" </dev/null >/dev/null 2>&1
    wineserver -w
    rm -f "$reg"
    touch "$WINEPREFIX/.pelto-ready"
}

# One prefix maker at a time: ctest may start several tests at once on a new build tree.
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
[ -f "$WINEPREFIX/.pelto-ready" ] || make_prefix
# A persistent server, started with no pipe attached, so that no later run waits for Wine's helpers.
wineserver -p </dev/null >/dev/null 2>&1
flock -u 9

# Output goes through a file: a pipe would be held open by Wine's background processes.
out=$(mktemp)
wine "$@" </dev/null >"$out" 2>&1
rc=$?
iconv -f CP932 -t UTF-8 -c <"$out" | tr -d '\r'
rm -f "$out"
exit $rc
