#!/usr/bin/env bash
# Installs Pelto as a Windows user gets it: the setup program that tools/package.sh made in build-release runs
# silently in a fresh prefix of its own on a private Xvfb. The installed pelto.exe must be the zip's, both carrying
# CMake's version, with a Start menu shortcut to it and an Uninstall entry; the installed program must start and end
# with Alt+F4 and exit code 0. The silent uninstall must then leave no file of ours and no entry, but keep the
# user's settings.
#
#   install.sh BUILD_DIR SOURCE_DIR VERSION VERSION_COMMAS ABOUT_VERSION   (e.g. 1.0, 1,0,0,0 and 1.00, from project())
set -euo pipefail

name=install
source "$(dirname "$0")/lib.sh"
version=$3 version_commas=$4 about_version=$5
prefix="$build/install-test/wineprefix"
drive_c="$prefix-x11/drive_c"
setup="$source_dir/build-release/pelto-$version-setup.exe"
zip="$source_dir/build-release/pelto-$version-win64.zip"
install_dir="$drive_c/Program Files/Pelto"
shortcut="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Pelto.lnk"
entry='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pelto'
settings='HKCU\Software\Norbek\Pelto'

# A setup program that is not silent waits for a click that never comes.
run_silently() { timeout 60 "$source_dir/tools/wine-run.sh" --prefix "$prefix" --display "$@"; }

# Value NAME of the Uninstall entry as reg printed it in entry_text: "    NAME    REG_SZ    VALUE".
expect_entry_value() {
    local value
    value=$(sed -n "s/^ *$1 *REG_[A-Z]* *//p" <<<"$entry_text")
    [ "$value" = "$2" ] || fail "Uninstall entry $1 is \"$value\", not \"$2\""
}

# The version resource and the About box, as binutils reads them from the program.
check_version_of() {
    local rc
    rc=$(x86_64-w64-mingw32-windres -J coff -O rc -i "$1") || fail "windres cannot read $1"
    [ "$(sed -n 's/^ *FILEVERSION *//p' <<<"$rc" | tr -d ' ')" = "$version_commas" ] ||
        fail "$1: FILEVERSION is not $version_commas"
    grep -qF "VALUE \"ProductVersion\", \"$version\"" <<<"$rc" || fail "$1: ProductVersion is not $version"
    grep -qF "\"Pelto Version $about_version\"" <<<"$rc" ||
        fail "$1: the About box does not say Pelto Version $about_version"
}

check_installation() {
    [ "$(cmake -E tar tf "$zip" | sort | tr '\n' ' ')" = "LICENSE.txt README.md pelto.exe " ] ||
        fail "the zip does not hold just pelto.exe, README.md and LICENSE.txt"
    (cd "$work_dir" && cmake -E tar xf "$zip")
    cmp "$work_dir/pelto.exe" "$install_dir/pelto.exe" || fail "the installed pelto.exe is not the zip's"
    check_version_of "$install_dir/pelto.exe"
    # The link's target, as its LinkInfo stores it: a path in the ANSI code page, ended by a zero byte.
    grep -qaP 'C:\\Program Files\\Pelto\\pelto\.exe\x00' "$shortcut" || fail "no Start menu shortcut to pelto.exe"
    entry_text=$(run_on_display reg query "$entry") || fail "no Uninstall entry"
    expect_entry_value DisplayName Pelto
    expect_entry_value DisplayVersion "$version"
    expect_entry_value Publisher Norbek
    expect_entry_value DisplayIcon 'C:\Program Files\Pelto\pelto.exe,0'
    # The installed files' size in KB, as the Apps list shows it.
    expect_entry_value EstimatedSize "$(printf '0x%x' $(($(cat "$install_dir"/* | wc -c) / 1024)))"
}

# NSIS's uninstaller copies itself to the temporary folder and runs from there, without waiting. Run so, with the
# folder it removes named by _?=, it finishes before it returns. That name must reach it unquoted, which only a
# command line of cmd's own gives.
uninstall() {
    cp "$install_dir/uninstall.exe" "$work_dir/uninstall-copy.exe"
    printf '"%s" /S _?=C:\\Program Files\\Pelto\r\n' "$(windows_path "$work_dir/uninstall-copy.exe")" \
        >"$work_dir/uninstall.bat"
    run_silently cmd /c "$(windows_path "$work_dir/uninstall.bat")" || fail "the silent uninstall failed"
    local left
    left=$(find "$drive_c" -iname '*pelto*')
    [ -z "$left" ] || fail "left after the uninstall: $left"
    ! run_on_display reg query "$entry" >/dev/null 2>&1 || fail "the Uninstall entry is still there"
    run_on_display reg query "$settings" /v Kept | grep -q 'Kept *REG_SZ *yes' ||
        fail "the uninstall took the user's settings"
}

main() {
    local started
    mkdir -p "$build/install-test"
    begin_run work
    rm -rf "$prefix-x11"
    start_xvfb
    log "Xvfb on $DISPLAY"

    # A user of an earlier installation has settings already; the first Wine call makes the prefix.
    started=$SECONDS
    run_on_display reg add "$settings" /v Kept /d yes /f >/dev/null
    log "fresh prefix in $((SECONDS - started)) s"

    started=$SECONDS
    run_silently "$(windows_path "$setup")" /S || fail "the silent install of $setup failed"
    check_installation
    log "installed and checked in $((SECONDS - started)) s"

    started=$SECONDS
    run_on_display 'C:\Program Files\Pelto\pelto.exe' &
    pelto_pid=$!
    wait_for_window
    close_by_keyboard
    log "the installed Pelto started and closed with exit code 0 in $((SECONDS - started)) s"

    started=$SECONDS
    uninstall
    log "uninstalled and checked in $((SECONDS - started)) s"
    WINEPREFIX="$prefix-x11" wineserver -k 2>/dev/null || true
    rm -rf "$prefix-x11"
}

main
