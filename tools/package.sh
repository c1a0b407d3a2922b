#!/usr/bin/env bash
# Makes what a Windows user downloads, from a Release build in build-release (CMake preset "release"):
# pelto-VERSION-win64.zip (pelto.exe, README.md, LICENSE.txt) and pelto-VERSION-setup.exe, the setup program made by
# NSIS, both with the version of project() in CMakeLists.txt. Only what changed is built again.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset release >/dev/null
cmake --build --preset release

version=$(sed -n 's/^#define PELTO_VERSION_TEXT "\(.*\)"$/\1/p' build-release/generated/version.h)
echo "$PWD/build-release/pelto-$version-win64.zip"
echo "$PWD/build-release/pelto-$version-setup.exe"
