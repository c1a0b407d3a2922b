#!/usr/bin/env bash
# Builds Pelto and runs every test on Wine: installs what is missing, configures the cross build,
# builds, and runs ctest. Wine's server for the test prefix is stopped again at the end.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup.sh
cmake --preset wine
cmake --build --preset wine

status=0
ctest --preset wine "$@" || status=$?
WINEPREFIX="$PWD/build/wineprefix" wineserver -k 2>/dev/null || true
exit $status
