#!/usr/bin/env bash
# Installs what building and testing Pelto needs on Debian 12 / Ubuntu: the mingw-w64 cross compilers, clang and
# its format and tidy tools (the second compiler and the layout check),
# Wine 8 and its fonts, the Japanese locale and fonts, ffmpeg, Xvfb and xdotool, PulseAudio and its utilities (the
# sound server the tests play into, tools/sound-server.sh), and perl, which converts the output of test programs as
# it comes (tools/wine-run.sh). Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
    cmake ninja-build g++-mingw-w64-x86-64-posix mingw-w64-tools googletest clang clang-format clang-tidy
    wine wine64 fonts-wine locales fonts-ipafont-gothic
    nsis  # tools/package.sh: the setup program (CMake itself makes the zip)
    ffmpeg xvfb xdotool x11-apps imagemagick pulseaudio pulseaudio-utils perl
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

sudo_cmd=""
[ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"

if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The ANSI code page of a Wine process follows its locale: ja_JP.UTF-8 gives code page 932.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf-\?8$'; then
    echo "setup: generating the ja_JP.UTF-8 locale"
    $sudo_cmd sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo_cmd tee -a /etc/locale.gen >/dev/null
    $sudo_cmd locale-gen >/dev/null
fi
